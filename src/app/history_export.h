#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_rows.h"
#include "history/ledger_location.h"

// The ledger of every computer as one CSV file: `tidewell --history-csv FILE` and the tray
// menu's "Export history…".

// What the save dialog offers: the file's name, and CSV as its one type.
inline constexpr wchar_t kHistoryCsvFileName[] = L"tidewell-history.csv";
inline constexpr wchar_t kHistoryCsvTypeName[] = L"CSV (comma-separated values)";
inline constexpr wchar_t kHistoryCsvPattern[] = L"*.csv";
inline constexpr wchar_t kHistoryCsvExtension[] = L"csv";  // added to a name typed without one

struct HistoryExportResult {
    bool written = false;
    std::wstring unreadableLedger;      // this computer's ledger, there but unreadable
    std::vector<std::wstring> skipped;  // other computers' ledgers left out (unreadable)
};

// Reads every computer's ledger at `location` and writes the CSV to `outputPath`, replaced
// whole (a device or a pipe is written as it stands). When this computer's own ledger is there
// and cannot be read, nothing is written: a file without it would pass for the whole history.
// Another computer's unreadable ledger (a synchronisation half done) is left out and named.
// `now` is Unix seconds. Safe while the desktop program writes its ledger. This computer's rows
// recorded before logins were told apart take the names of `defaults`.
HistoryExportResult ExportHistoryCsv(const LedgerLocation& location, const std::wstring& outputPath,
                                     int64_t now, const DefaultAccounts& defaults = {});

// What the command line prints on standard error about an export to `outputPath`: one line
// for a failure, one line for each ledger left out, nothing when all went well.
std::string HistoryExportErrorText(const HistoryExportResult& result,
                                   const std::wstring& outputPath);

// The balloon the desktop program shows after an export from its menu; an empty title when
// there is nothing to say (the file holds every computer's history).
struct HistoryExportNotice {
    std::wstring title;
    std::wstring text;
};
HistoryExportNotice HistoryExportNoticeFor(const HistoryExportResult& result,
                                           const std::wstring& outputPath);

// This computer's ledger location from its settings: the history folder the user chose, or
// the data folder.
LedgerLocation ConfiguredLedgerLocation(const std::wstring& historyFolder);

// `tidewell --history-csv FILE`: loads the settings, exports, tells standard error what went
// wrong. Returns the exit code: 0 when the file was written, 1 when not.
int RunHistoryCsvExport(const std::wstring& outputPath);
