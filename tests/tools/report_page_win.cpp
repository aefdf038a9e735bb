// Writes to standard output the usage report that the portable builder makes from one scan of
// the logs that the environment points at, as of the Unix time given: report_page NOW.
// The desktop e2e test compares it with the page the running program writes.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "sources/place_scan.h"
#include "core/settings.h"
#include "report/usage_report.h"

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
    const std::string page = BuildUsageReport(snapshot, now);
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(page.data(), 1, page.size(), stdout);
    return 0;
}
