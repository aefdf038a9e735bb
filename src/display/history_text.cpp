#include "display/history_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "history/history_csv.h"
#include "history/ledger_location.h"

namespace {

constexpr wchar_t kEllipsis[] = L"\u2026";

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// `bytes` in whole `unit`s, halves up, without overflowing near the top of the range.
uint64_t RoundedUnits(uint64_t bytes, uint64_t unit) {
    return bytes / unit + (bytes % unit >= unit / 2 ? 1 : 0);
}

}  // namespace

std::wstring FormatHistoryDollars(double dollars) {
    // Not-a-number fails every comparison: it shows as zero too.
    return L"$" + Widen(FormatCsvDollars(dollars > 0 ? dollars : 0.0));
}

std::wstring FormatHistoryTotals(double todayDollars, double sevenDayDollars) {
    return L"Today " + FormatHistoryDollars(todayDollars) + L" \u00b7 7 days " +
           FormatHistoryDollars(sevenDayDollars);
}

std::wstring FormatHistoryProgress(uint64_t bytesRead, uint64_t bytesTotal) {
    if (bytesTotal == 0)
        return L"Reading history\u2026";
    const uint64_t read = std::min(bytesRead, bytesTotal);  // a file grew after it was counted
    char text[96];
    const uint64_t totalTenths = RoundedUnits(bytesTotal, 100'000'000);
    if (totalTenths > 0) {
        const uint64_t readTenths =
            read == bytesTotal ? totalTenths : std::min(read / 100'000'000, totalTenths);
        std::snprintf(text, sizeof text, "Reading history: %llu.%llu of %llu.%llu GB",
                      static_cast<unsigned long long>(readTenths / 10),
                      static_cast<unsigned long long>(readTenths % 10),
                      static_cast<unsigned long long>(totalTenths / 10),
                      static_cast<unsigned long long>(totalTenths % 10));
    } else {
        const uint64_t totalMb = std::max<uint64_t>(RoundedUnits(bytesTotal, 1'000'000), 1);
        const uint64_t readMb = read == bytesTotal ? totalMb : std::min(read / 1'000'000, totalMb);
        std::snprintf(text, sizeof text, "Reading history: %llu of %llu MB",
                      static_cast<unsigned long long>(readMb),
                      static_cast<unsigned long long>(totalMb));
    }
    return Widen(text);
}

std::wstring ShownHistoryFolder(const std::wstring& chosen, const std::wstring& dataFolder) {
    return chosen.empty() ? dataFolder : chosen;
}

std::wstring HistoryFolderSetting(const std::wstring& picked, const std::wstring& dataFolder) {
    if (picked.empty())
        return {};
    // The ledger's own rule of what names the data folder.
    const LedgerLocation location = LedgerLocationFor(dataFolder, picked, L"");
    return !dataFolder.empty() && location.folder == dataFolder ? std::wstring() : picked;
}

std::wstring FitPathToWidth(std::wstring_view path, int32_t width,
                            const std::function<int32_t(std::wstring_view)>& measure) {
    const auto fits = [&](const std::wstring& text) { return measure(text) <= width; };
    if (measure(path) <= width)
        return std::wstring(path);
    while (path.size() > 1 && IsSeparator(path.back()))
        path.remove_suffix(1);

    // The start: leading separators (a share's "\\"), then the first name and its separator.
    size_t rootEnd = 0;
    while (rootEnd < path.size() && IsSeparator(path[rootEnd]))
        ++rootEnd;
    const size_t firstSeparator = path.find_first_of(L"\\/", rootEnd);
    const std::wstring head = firstSeparator == std::wstring_view::npos
                                  ? std::wstring()
                                  : std::wstring(path.substr(0, firstSeparator + 1));

    // The longest run of last folders (each starting at a separator after the start) that fits
    // after `prefix`.
    const auto longestTail = [&](const std::wstring& prefix, size_t after) {
        std::wstring best;
        for (size_t at = path.find_last_of(L"\\/"); at != std::wstring_view::npos && at >= after;
             at = at == 0 ? std::wstring_view::npos : path.find_last_of(L"\\/", at - 1)) {
            const std::wstring candidate = prefix + std::wstring(path.substr(at));
            if (!fits(candidate))
                break;
            best = candidate;
        }
        return best;
    };
    if (!head.empty()) {
        const std::wstring both = longestTail(head + kEllipsis, head.size());
        if (!both.empty())
            return both;
    }
    const std::wstring tail = longestTail(kEllipsis, 0);
    if (!tail.empty())
        return tail;

    // Not even the last name fits: as much of its end as does.
    std::wstring best = kEllipsis;
    for (size_t length = 1; length < path.size(); ++length) {
        const size_t start = path.size() - length;
        if (IsLowSurrogate(path[start]))
            continue;
        const std::wstring candidate = kEllipsis + std::wstring(path.substr(start));
        if (!fits(candidate))
            break;
        best = candidate;
    }
    return best;
}
