#include "limits/history_cycle.h"

#include "core/settings.h"
#include "history/ledger_days.h"
#include "history/login_places.h"
#include "platform/system.h"

std::vector<HistoryPlace> HistoryPlacesAfterScan(LogPlaceFinder& finder,
                                                 const ClaudeLogScanner& claude,
                                                 const CodexScanner& codex, int64_t now) {
    std::vector<LogPlace> places = finder.Places(now);
    if (finder.agentRootsFound) {
        places.insert(places.begin() + static_cast<ptrdiff_t>(finder.localCount()),
                      LogPlace{kAgentSessionsName, finder.agentRoots, {}});
    }
    std::vector<std::wstring> unread = claude.unreadFolders();
    unread.insert(unread.end(), codex.unreadFolders().begin(), codex.unreadFolders().end());
    std::vector<std::wstring> unfinished = claude.unfinishedRoots();
    unfinished.insert(unfinished.end(), codex.unfinishedFolders().begin(),
                      codex.unfinishedFolders().end());
    return HistoryPlacesByLogin(HistoryPlacesOf(places, unread, unfinished), finder.Logins(now));
}

std::vector<HistoryFile> HistoryFilesAfterScan(const ClaudeLogScanner& claude,
                                               const CodexScanner& codex) {
    std::vector<HistoryFile> files;
    files.reserve(claude.files().size() + codex.files().size());
    for (const auto& [path, state] : claude.files())
        files.push_back({path, state.sizeSeen, LedgerTool::kClaude});
    for (const auto& [path, state] : codex.files()) {
        if (state.sizeSeen > 0) files.push_back({path, state.sizeSeen, LedgerTool::kCodex});
    }
    return files;
}

LedgerLocation LedgerLocationNow(const std::wstring& historyFolder) {
    // The computer's name cannot change while the program runs.
    static const std::wstring computer = ComputerName();
    return LedgerLocationFor(DataDirectory(), historyFolder, computer);
}

HistoryState RecordHistoryOnce(const std::wstring& historyFolder, int64_t now) {
    ClaudeLogScanner claude;
    CodexScanner codex;
    LogPlaceFinder finder;
    AtomicDouble maxblock;
    ScanClaudePlaces(claude, finder, now, now, maxblock, nullptr);
    ScanCodexPlaces(codex, finder, now);
    HistoryRecorder recorder(LocalDayOf);
    recorder.Record(LedgerLocationNow(historyFolder), HistoryPlacesAfterScan(finder, claude, codex, now),
                    HistoryFilesAfterScan(claude, codex), now);
    while (recorder.ReadHistorySlice(now)) {
    }
    return recorder.state();
}
