// The history's CSV export, as the command line and the tray menu run it.
#include "app/history_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "history/history_csv.h"
#include "history/ledger_store.h"
#include "platform/system.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kNow = 1796911200;

LedgerRow Row(const std::string& day, const std::string& project, int64_t messages,
              double dollars) {
    LedgerRow row;
    row.key = {day, LedgerTool::kClaude, "This computer", project, "claude-opus-4-1"};
    row.totals.messages = messages;
    row.totals.output = messages * 10;
    row.totals.dollars = dollars;
    return row;
}

void MakeLedger(const std::wstring& path, const std::vector<LedgerRow>& rows) {
    LedgerOpenResult opened = LedgerStore::Open(path, true, kNow);
    ASSERT_TRUE(opened.store);
    ASSERT_TRUE(opened.store->Apply(LedgerWrite{rows, {}, {}}));
}

std::wstring In(const std::wstring& folder, const char* name) {
    return WideFromPath(PathFromWide(folder) / name);
}

TEST(HistoryExport, WritesEveryComputersRowsAndReplacesAnOlderFile) {
    TempDir dir;
    const std::wstring shared = dir.File("shared");
    const LedgerLocation location = LedgerLocationFor(dir.File("data"), shared, L"DESK");
    MakeLedger(location.ownPath, {Row("2026-12-01", "/w/a,b", 3, 0.5)});
    MakeLedger(In(shared, "usage-LAPTOP.db"), {Row("2026-11-30", "/w/\"q\"", 1, 2.125)});
    const std::wstring out = dir.File("out.csv");
    WriteBytes(PathFromWide(out), std::string(500, 'x'));

    const HistoryExportResult result = ExportHistoryCsv(location, out, kNow);
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.unreadableLedger.empty());
    EXPECT_TRUE(result.skipped.empty());
    EXPECT_EQ(ReadWholeFile(out),
              std::string(kHistoryCsvHeader) +
                  "\r\n2026-11-30,LAPTOP,claude,This computer,\"/w/\"\"q\"\"\",claude-opus-4-1,1,"
                  "0,10,0,0,0,2.13,0,\r\n2026-12-01,DESK,claude,This computer,\"/w/a,b\","
                  "claude-opus-4-1,3,0,30,0,0,0,0.50,0,\r\n");
    EXPECT_EQ(HistoryExportErrorText(result, out), "");
    EXPECT_EQ(HistoryExportNoticeFor(result, out).title, L"");
}

TEST(HistoryExport, NoLedgerYetGivesTheHeaderOnly) {
    TempDir dir;
    const LedgerLocation location = LedgerLocationFor(dir.File("data"), L"", L"DESK");
    const std::wstring out = dir.File("out.csv");
    EXPECT_TRUE(ExportHistoryCsv(location, out, kNow).written);
    EXPECT_EQ(ReadWholeFile(out), std::string(kHistoryCsvHeader) + "\r\n");
    EXPECT_FALSE(fs::exists(PathFromWide(location.ownPath)));  // a reader never makes one
}

TEST(HistoryExport, WritesNothingWithoutThisComputersLedgerOrWhereItCannot) {
    TempDir dir;
    const std::wstring shared = dir.File("shared");
    const LedgerLocation location = LedgerLocationFor(dir.File("data"), shared, L"DESK");
    MakeLedger(In(shared, "usage-LAPTOP.db"), {Row("2026-11-30", "/w", 1, 1)});
    WriteBytes(PathFromWide(In(shared, "usage-OLD.db")), std::string(4096, '\x05'));

    // Another computer's unreadable ledger is left out and named; the file is written.
    const std::wstring out = dir.File("out.csv");
    HistoryExportResult result = ExportHistoryCsv(location, out, kNow);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.skipped, std::vector<std::wstring>{In(shared, "usage-OLD.db")});
    EXPECT_NE(ReadWholeFile(out).find(",LAPTOP,"), std::string::npos);

    // This computer's own unreadable: an earlier export stays as it was.
    WriteBytes(PathFromWide(location.ownPath), std::string(4096, '\x06'));
    WriteBytes(PathFromWide(out), "earlier");
    result = ExportHistoryCsv(location, out, kNow);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.unreadableLedger, location.ownPath);
    EXPECT_EQ(ReadWholeFile(out), "earlier");

    // A folder that is not there.
    const std::wstring nowhere = dir.File("missing/out.csv");
    result = ExportHistoryCsv(LedgerLocationFor(dir.File("data"), L"", L"DESK"), nowhere, kNow);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(fs::exists(PathFromWide(dir.File("missing"))));
}

TEST(HistoryExport, SaysWhatWentWrongOnceAndNamesTheFiles) {
    const std::wstring out = L"/home/u/h.csv";
    HistoryExportResult written;
    written.written = true;
    HistoryExportResult partial = written;
    partial.skipped = {L"/s/usage-A.db", L"/s/usage-B.db"};
    HistoryExportResult notWritten;
    HistoryExportResult unreadable;
    unreadable.unreadableLedger = L"/s/usage-DESK.db";
    const struct {
        HistoryExportResult result;
        std::string error;
        std::wstring title;
        std::wstring text;
    } cases[] = {
        {written, "", L"", L""},
        {partial,
         "tidewell: left out /s/usage-A.db, which cannot be read\n"
         "tidewell: left out /s/usage-B.db, which cannot be read\n",
         L"History exported in part",
         L"Saved without ledgers that cannot be read: usage-A.db, usage-B.db"},
        {notWritten, "tidewell: cannot write /home/u/h.csv\n", L"History not exported",
         L"The file cannot be written: /home/u/h.csv"},
        {unreadable, "tidewell: the ledger /s/usage-DESK.db cannot be read; nothing was written\n",
         L"History not exported", L"This computer's ledger cannot be read: /s/usage-DESK.db"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HistoryExportErrorText(c.result, out), c.error);
        const HistoryExportNotice notice = HistoryExportNoticeFor(c.result, out);
        EXPECT_EQ(notice.title, c.title);
        EXPECT_EQ(notice.text, c.text);
    }
}

TEST(HistoryExport, TheSaveDialogOffersACsvFile) {
    const std::wstring name = kHistoryCsvFileName;
    const std::wstring extension = kHistoryCsvExtension;
    EXPECT_EQ(name, L"tidewell-history.csv");
    EXPECT_EQ(name.substr(name.size() - extension.size() - 1), L"." + extension);
    EXPECT_EQ(std::wstring(kHistoryCsvPattern), L"*." + extension);
}

}  // namespace
