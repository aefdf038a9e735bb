#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "claude_logs/log_scanner.h"
#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"
#include "core/atomic_double.h"
#include "core/walk_gate.h"
#include "core/wsl_watcher.h"
#include "sources/log_places.h"
#include "sources/login_finder.h"

// Finds the places logs come from, cycle after cycle: this computer's folders, the desktop app's
// agent sessions and the running WSL distributions, keeping what is costly to find out.
class LogPlaceFinder {
public:
    // Logins are discovered with `listFolders` and `exists`, and `readSmall` (this system's when
    // not given).
    LogPlaceFinder(PlaceEnvironment environment, WslSystem wsl, ListFolders listFolders,
                   std::function<bool(const std::wstring&)> exists,
                   std::function<std::optional<std::string>(const std::wstring&, size_t)>
                       readSmall = nullptr);
    // This process's environment and system.
    LogPlaceFinder();

    // This computer's places (its logins' folders among them), then one per WSL distribution,
    // at `now` (Unix seconds).
    const std::vector<LogPlace>& Places(int64_t now);
    size_t localCount() const { return localCount_; }  // the first places, this computer's

    // The folders that hold agent sessions (looked for again every ten minutes), and the
    // sessions' "projects" folders below them, found afresh by a bounded walk.
    const std::vector<std::wstring>& AgentBases(int64_t now);
    std::vector<std::wstring> FindAgentRoots() const;

    // Every login of this computer and of the running WSL distributions, as last looked for
    // (again every ten minutes, or when the distributions or agent sessions changed). Call it
    // after the scans of a cycle: the agent sessions they found decide the desktop entry.
    const std::vector<Login>& Logins(int64_t now);

    std::vector<SourceLine> claudeLines;  // the Claude places as the last walk found them
    std::vector<std::wstring> agentRoots;  // the agent sessions as last found
    bool agentRootsFound = false;

private:
    PlaceEnvironment environment_;
    WslWatcher wsl_;
    LoginFinder logins_;
    std::vector<WslHomes> wslHomes_;  // of the running distributions at the last Places()
    ListFolders listFolders_;
    std::function<bool(const std::wstring&)> exists_;
    std::vector<LogPlace> places_;
    size_t localCount_ = 0;
    int64_t placesAt_ = 0;
    bool havePlaces_ = false;
    std::vector<std::wstring> agentBases_;
    int64_t agentBasesAt_ = 0;
    bool haveAgentBases_ = false;
};

// Scans Claude Code's logs in every place `finder` knows with `scanner`, raising `maxblock` as
// blocks end; with a `gate`, walks only when it says something there changed (WSL's folders,
// polled, always do). The summary lists the places and how many files gave records.
ClaudeLogSummary ScanClaudePlaces(ClaudeLogScanner& scanner, LogPlaceFinder& finder, int64_t now,
                                  int64_t clockNow, AtomicDouble& maxblock, WalkGate* gate,
                                  LocalDays* days = nullptr);

// Scans the Codex sessions folders of every place; the result lists the places.
CodexLimits ScanCodexPlaces(CodexScanner& scanner, LogPlaceFinder& finder, int64_t now,
                            WalkGate* gate = nullptr);
