// Writes to standard output the usage report that the portable builder makes from one scan of
// the logs that the environment points at and the ledgers where the settings put them, as of
// the Unix time given: report_page NOW [reading] ("reading": the history is still being read).
// The desktop e2e test compares it with the page the running program writes.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/history_export.h"
#include "core/settings.h"
#include "history/history_rows.h"
#include "report/usage_report.h"
#include "sources/place_scan.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const int64_t now = std::atoll(argv[1]);
    Settings settings = LoadSettings();
    ClaudeLogScanner claudeScanner;
    CodexScanner codexScanner;
    UsageSnapshot snapshot;
    LogPlaceFinder places;
    snapshot.claude = ScanClaudePlaces(claudeScanner, places, now, now, settings.maxblock, nullptr);
    snapshot.codex = ScanCodexPlaces(codexScanner, places, now);
    const ReportHistory history =
        ReportHistoryFrom(ReadHistoryRows(ConfiguredLedgerLocation(settings.historyFolder), now),
                          argc > 2 && std::strcmp(argv[2], "reading") == 0);
    const std::string page = BuildUsageReport(snapshot, history, now);
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(page.data(), 1, page.size(), stdout);
    return 0;
}
