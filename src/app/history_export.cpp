#include "app/history_export.h"

#include <ctime>
#include <optional>
#include <utility>

#include "core/settings.h"
#include "history/history_csv.h"
#include "history/history_rows.h"
#include "history/login_places.h"
#include "platform/atomic_file.h"
#include "platform/std_streams.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "sources/place_scan.h"

HistoryExportResult ExportHistoryCsv(const LedgerLocation& location, const std::wstring& outputPath,
                                     int64_t now, const DefaultAccounts& defaults) {
    HistoryRows history = ReadHistoryRows(location, now, defaults);
    HistoryExportResult result;
    result.unreadableLedger = std::move(history.ownUnreadable);
    result.skipped = std::move(history.othersUnreadable);
    if (!result.unreadableLedger.empty())
        return result;
    const std::string csv = BuildHistoryCsv(std::move(history.rows));
    if (const std::optional<bool> written = WriteToDevice(outputPath, csv)) {
        result.written = *written;
    } else {
        result.written = WriteFileAtomically(outputPath, csv);
    }
    return result;
}

std::string HistoryExportErrorText(const HistoryExportResult& result,
                                   const std::wstring& outputPath) {
    std::string text;
    if (!result.unreadableLedger.empty()) {
        text += "tidewell: the ledger " + WideToUtf8(result.unreadableLedger) +
                " cannot be read; nothing was written\n";
    } else if (!result.written) {
        text += "tidewell: cannot write " + WideToUtf8(outputPath) + "\n";
    }
    for (const std::wstring& path : result.skipped)
        text += "tidewell: left out " + WideToUtf8(path) + ", which cannot be read\n";
    return text;
}

HistoryExportNotice HistoryExportNoticeFor(const HistoryExportResult& result,
                                           const std::wstring& outputPath) {
    if (!result.unreadableLedger.empty()) {
        return {L"History not exported",
                L"This computer's ledger cannot be read: " + result.unreadableLedger};
    }
    if (!result.written)
        return {L"History not exported", L"The file cannot be written: " + outputPath};
    if (result.skipped.empty())
        return {};
    std::wstring text = L"Saved without ledgers that cannot be read:";
    for (size_t i = 0; i < result.skipped.size(); ++i)
        text += (i == 0 ? L" " : L", ") + WideFromPath(PathFromWide(result.skipped[i]).filename());
    return {L"History exported in part", text};
}

LedgerLocation ConfiguredLedgerLocation(const std::wstring& historyFolder) {
    return LedgerLocationFor(DataDirectory(), historyFolder, ComputerName());
}

int RunHistoryCsvExport(const std::wstring& outputPath) {
    const Settings settings = LoadSettings();
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    LogPlaceFinder places;
    const HistoryExportResult result =
        ExportHistoryCsv(ConfiguredLedgerLocation(settings.historyFolder), outputPath, now,
                         DefaultAccountsOf(places.Logins(now)));
    const std::string errors = HistoryExportErrorText(result, outputPath);
    if (!errors.empty())
        WriteStandardError(errors);
    return result.written ? 0 : 1;
}
