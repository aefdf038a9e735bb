// The panel's texts about the usage history: dollars, the read's progress, fitted paths.
#include "display/history_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

TEST(HistoryText, DollarsRoundToTheCentAsTheReportDoes) {
    const std::pair<double, const wchar_t*> cases[] = {
        {0, L"$0.00"},
        {0.004999, L"$0.00"},
        {0.005, L"$0.01"},  // halves away from zero, after whole millionths
        {1.005, L"$1.01"},
        {4.1, L"$4.10"},
        {999.994999, L"$999.99"},
        {999.995, L"$1000.00"},
        {1000, L"$1000.00"},  // no grouping, as elsewhere in the program
        {123456.789, L"$123456.79"},
        {-0.01, L"$0.00"},  // no figure to show
        {std::nan(""), L"$0.00"},
    };
    for (const auto& [dollars, text] : cases)
        EXPECT_EQ(FormatHistoryDollars(dollars), text) << dollars;
    EXPECT_EQ(FormatHistoryTotals(4.1, 31.2), L"Today $4.10 \u00b7 7 days $31.20");
    EXPECT_EQ(FormatHistoryTotals(0, 1234.565), L"Today $0.00 \u00b7 7 days $1234.57");
}

TEST(HistoryText, ProgressCutsWhatWasReadAndRoundsTheTotal) {
    constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
    const std::tuple<uint64_t, uint64_t, const wchar_t*> cases[] = {
        {0, 0, L"Reading history\u2026"},
        {5, 0, L"Reading history\u2026"},
        {1'200'000'000, 3'400'000'000, L"Reading history: 1.2 of 3.4 GB"},
        {1'199'999'999, 3'400'000'000, L"Reading history: 1.1 of 3.4 GB"},
        {3'399'999'999, 3'400'000'000, L"Reading history: 3.3 of 3.4 GB"},
        {3'400'000'000, 3'400'000'000, L"Reading history: 3.4 of 3.4 GB"},
        {0, 3'449'999'999, L"Reading history: 0.0 of 3.4 GB"},
        {0, 3'450'000'000, L"Reading history: 0.0 of 3.5 GB"},
        {3'460'000'000, 3'460'000'000, L"Reading history: 3.5 of 3.5 GB"},  // all read
        {5'000'000'000, 3'400'000'000, L"Reading history: 3.4 of 3.4 GB"},  // a file grew
        {100'000'000, 300'000'000, L"Reading history: 0.1 of 0.3 GB"},
        {0, 50'000'000, L"Reading history: 0.0 of 0.1 GB"},
        {12'345'678, 49'999'999, L"Reading history: 12 of 50 MB"},
        {49'999'999, 49'999'999, L"Reading history: 50 of 50 MB"},
        {0, 400'000, L"Reading history: 0 of 1 MB"},
        {999'950'000'000, 1'000'000'000'000, L"Reading history: 999.9 of 1000.0 GB"},
        {0, kMax, L"Reading history: 0.0 of 18446744073.7 GB"},
    };
    for (const auto& [read, total, text] : cases)
        EXPECT_EQ(FormatHistoryProgress(read, total), text) << read << " of " << total;
}

TEST(HistoryText, PathsKeepTheirStartAndLastFoldersWhenCut) {
    const auto measure = [](std::wstring_view text) {
        return static_cast<int32_t>(text.size()) * 7;
    };
    const std::wstring roaming =
        L"C:\\Users\\someone\\AppData\\Roaming\\Tidewell";  // 41 characters
    // Three characters outside the BMP as Windows holds them (UTF-16), on every platform.
    const std::wstring emoji = {0xD83D, 0xDE00, 0xD83D, 0xDE00, 0xD83D, 0xDE00};
    const std::tuple<std::wstring, int32_t, std::wstring> cases[] = {
        {roaming, 41 * 7, roaming},
        {roaming, 41 * 7 - 1, L"C:\\\u2026\\someone\\AppData\\Roaming\\Tidewell"},
        {roaming, 14 * 7, L"C:\\\u2026\\Tidewell"},
        {roaming, 13 * 7, L"C:\\\u2026\\Tidewell"},
        {roaming, 12 * 7, L"\u2026\\Tidewell"},
        {roaming, 7 * 7, L"\u2026dewell"},
        {roaming, 5, L"\u2026"},
        {L"\\\\server\\share\\history", 20 * 7, L"\\\\server\\\u2026\\history"},
        {L"/home/me/.local/share/tidewell", 24 * 7, L"/home/\u2026/share/tidewell"},
        {L"D:\\sync\\history\\", 14 * 7, L"D:\\\u2026\\history"},  // a trailing separator
        {emoji, 3 * 7, std::wstring{L'\u2026', 0xD83D, 0xDE00}},   // never half a character
        {emoji, 2 * 7, L"\u2026"},
        {L"", 0, L""},
    };
    for (const auto& [path, width, text] : cases)
        EXPECT_EQ(FitPathToWidth(path, width, measure), text) << width;
}

TEST(HistoryText, TheDataFolderPickedIsTheDefault) {
    const std::tuple<std::wstring, std::wstring, std::wstring> cases[] = {
        {L"", L"C:\\data", L""},
        {L"C:\\data", L"C:\\data", L""},
        {L"C:\\data\\", L"C:\\data", L""},
        {L"C:\\data\\history", L"C:\\data", L"C:\\data\\history"},
        {L"D:\\sync", L"C:\\data", L"D:\\sync"},
        {L"D:\\sync", L"", L"D:\\sync"},  // no data folder: whatever was picked
    };
    for (const auto& [picked, data, stored] : cases)
        EXPECT_EQ(HistoryFolderSetting(picked, data), stored);
    EXPECT_EQ(ShownHistoryFolder(L"", L"C:\\data"), L"C:\\data");
    EXPECT_EQ(ShownHistoryFolder(L"D:\\sync", L"C:\\data"), L"D:\\sync");
}

}  // namespace
