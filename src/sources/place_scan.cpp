#include "sources/place_scan.h"

#include <algorithm>
#include <ctime>

#include "platform/file_walk.h"

namespace {

constexpr size_t kMaxListedFolders = 256;  // a level of the bounded walks

std::vector<std::wstring> Flatten(const std::vector<LogPlace>& places,
                                  std::vector<std::wstring> LogPlace::* member) {
    std::vector<std::wstring> all;
    for (const LogPlace& place : places) {
        all.insert(all.end(), (place.*member).begin(), (place.*member).end());
    }
    return all;
}

}  // namespace

LogPlaceFinder::LogPlaceFinder(
    PlaceEnvironment environment, WslSystem wsl, ListFolders listFolders,
    std::function<bool(const std::wstring&)> exists,
    std::function<std::optional<std::string>(const std::wstring&, size_t)> readSmall)
    : environment_(environment),
      wsl_(std::move(wsl)),
      logins_(std::move(environment),
              DiscoveryFiles{listFolders, exists,
                             readSmall ? std::move(readSmall)
                                       : DiscoveryFilesOfThisSystem().readSmall}),
      listFolders_(std::move(listFolders)),
      exists_(std::move(exists)) {}

LogPlaceFinder::LogPlaceFinder()
    : LogPlaceFinder(
          PlaceEnvironmentOfThisProcess(), ThisWslSystem(),
          [](const std::wstring& folder) { return ListSubfolders(folder, kMaxListedFolders); },
          PathExists) {
    // A home may hold more folders than a level of the bounded walks lists.
    logins_ = LoginFinder(environment_, DiscoveryFilesOfThisSystem());
}

const std::vector<LogPlace>& LogPlaceFinder::Places(int64_t now) {
    if (havePlaces_ && now == placesAt_) return places_;  // asked again in the same cycle
    places_ = LocalPlaces(environment_);
    localCount_ = places_.size();
    const std::vector<WslPlace>& distributions = wsl_.Places(now);
    wslHomes_ = WslHomesOf(distributions);
    for (LogPlace& place : WslLogPlaces(distributions)) places_.push_back(std::move(place));
    localCount_ = AddLoginPlaces(places_, localCount_, Logins(now));
    placesAt_ = now;
    havePlaces_ = true;
    return places_;
}

const std::vector<Login>& LogPlaceFinder::Logins(int64_t now) {
    return logins_.Logins(now, wslHomes_, agentRoots);
}

const std::vector<std::wstring>& LogPlaceFinder::AgentBases(int64_t now) {
    if (!haveAgentBases_ || now - agentBasesAt_ >= kFullWalkInterval || now < agentBasesAt_) {
        agentBases_ = AgentSessionBases(environment_, listFolders_);
        agentBasesAt_ = now;
        haveAgentBases_ = true;
    }
    return agentBases_;
}

std::vector<std::wstring> LogPlaceFinder::FindAgentRoots() const {
    return FindAgentProjectRoots(agentBases_, listFolders_, exists_);
}

ClaudeLogSummary ScanClaudePlaces(ClaudeLogScanner& scanner, LogPlaceFinder& finder, int64_t now,
                                  int64_t clockNow, AtomicDouble& maxblock, WalkGate* gate,
                                  LocalDays* days) {
    std::vector<LogPlace> places = finder.Places(now);
    // The gate watches the roots, then the agent sessions' folders whole: a new session there
    // has the sessions looked for again.
    std::vector<std::wstring> watched = Flatten(places, &LogPlace::claudeRoots);
    const size_t rootCount = watched.size();
    const std::vector<std::wstring>& bases = finder.AgentBases(now);
    watched.insert(watched.end(), bases.begin(), bases.end());
    std::vector<bool> due(watched.size(), true);
    if (gate) due = gate->RootsDue(watched, now);
    const bool anyDue = std::find(due.begin(), due.end(), true) != due.end();
    if (anyDue) {
        const bool agentsDue = std::find(due.begin() + static_cast<ptrdiff_t>(rootCount), due.end(),
                                         true) != due.end();
        if (agentsDue || !finder.agentRootsFound) {
            finder.agentRoots = finder.FindAgentRoots();
            finder.agentRootsFound = true;
        }
        size_t localRoots = 0;
        for (size_t i = 0; i < finder.localCount(); ++i) localRoots += places[i].claudeRoots.size();
        places.insert(places.begin() + static_cast<ptrdiff_t>(finder.localCount()),
                      LogPlace{kAgentSessionsName, finder.agentRoots, {}});
        // Which roots to walk, in scan order: this computer's, the sessions', WSL's.
        std::vector<bool> walk(due.begin(), due.begin() + static_cast<ptrdiff_t>(localRoots));
        walk.insert(walk.end(), finder.agentRoots.size(), agentsDue || !gate);
        walk.insert(walk.end(), due.begin() + static_cast<ptrdiff_t>(localRoots),
                    due.begin() + static_cast<ptrdiff_t>(rootCount));
        const std::vector<std::wstring> roots = Flatten(places, &LogPlace::claudeRoots);
        try {
            scanner.Scan(roots, now, clockNow, &walk);
        } catch (...) {
            if (gate) gate->WalkFailed();
            throw;
        }
        finder.claudeLines = PlaceLines(
            places, [](const LogPlace& p) -> const auto& { return p.claudeRoots; },
            scanner.FilesWithRecords(roots), scanner.unreadFolders());
        if (gate) {
            for (const std::wstring& root : scanner.unfinishedRoots()) gate->WalkAgain(root);
        }
    }
    const ClaudeLogSelection& selection = anyDue ? scanner.Selection() : scanner.Reselect(now);
    ClaudeLogSummary summary =
        SummarizeClaudeUsage(selection.found, selection.records, now, maxblock, days);
    summary.sources = finder.claudeLines;
    return summary;
}

CodexLimits ScanCodexPlaces(CodexScanner& scanner, LogPlaceFinder& finder, int64_t now,
                            WalkGate* gate) {
    const std::vector<LogPlace>& places = finder.Places(now);
    const std::vector<std::wstring> folders = Flatten(places, &LogPlace::codexFolders);
    CodexLimits limits = ScanCodexFolders(scanner, folders, now, gate);
    limits.sources = PlaceLines(
        places, [](const LogPlace& p) -> const auto& { return p.codexFolders; },
        scanner.FilesWithFigures(folders), scanner.unreadFolders());
    return limits;
}
