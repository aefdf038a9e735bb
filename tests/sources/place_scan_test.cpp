// The places logs come from, end to end on real folders: this computer's, the desktop app's
// agent sessions and WSL distributions (a stand-in system), each record counted once, a stopped
// distribution never touched, and a quiet cycle that reads nothing.
#include "sources/place_scan.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "core/iso_time.h"
#include "core/log_files.h"
#include "platform/file_walk.h"
#include "platform/system.h"
#include "sources/login_estimate.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const int64_t kNow = ParseIsoTime("2025-03-01T12:00:00Z");

std::string Reply(const std::string& id, const std::string& time) {
    AssistantReply reply;
    reply.messageId = id;
    reply.requestId = "req_" + id;
    reply.timestamp = time;
    return AssistantLine(reply) + "\n";
}

std::string CodexEvent(const std::string& time, double percent) {
    return R"({"timestamp":")" + time + R"(","type":"event_msg","payload":{"type":"token_count",)"
           R"("rate_limits":{"primary":{"used_percent":)" + std::to_string(percent) +
           R"(,"window_minutes":300,"resets_at":1740844800}}}})" "\n";
}

// A file with the times the scan expects: written now, so within the 8 days of the wall clock.
void Write(const fs::path& path, const std::string& bytes) { WriteBytes(path, bytes); }

struct Machine {
    TempDir dir;
    fs::path home = dir.path() / "home";
    fs::path wsl = dir.path() / "wsl";
    std::vector<std::wstring> running = {L"Ubuntu"};
    std::multiset<std::wstring> touched;  // every distribution path the finder asked about
    size_t asks = 0;

    LogPlaceFinder Finder() {
        PlaceEnvironment env;
        env.userProfile = WideFromPath(home);
        env.appData = WideFromPath(dir.path() / "roaming");
        WslSystem system;
        system.registered = [] {
            return std::vector<WslDistribution>{{L"Ubuntu", 2}, {L"Debian", 2}, {L"docker-desktop", 2}};
        };
        system.processSignature = [] { return uint64_t{7}; };
        system.askRunning = [this] {
            ++asks;
            return std::optional<std::vector<std::wstring>>(running);
        };
        system.folderOf = [this](const std::wstring& name) {
            touched.insert(name);
            return WideFromPath(wsl / fs::path(name));
        };
        const auto list = [this](const std::wstring& folder) {
            if (folder.find(L"Debian") != std::wstring::npos) touched.insert(L"Debian");
            return ListSubfolders(folder, 64);
        };
        system.listFolders = list;
        return LogPlaceFinder(env, system, list, PathExists);
    }
};

TEST(PlaceScan, EveryPlaceCountedOnceAndAStoppedDistributionNeverTouched) {
    Machine m;
    // This computer: one record that WSL and the agent session have too, and one of its own.
    Write(m.home / ".claude/projects/app/a.jsonl",
          Reply("shared", "2025-03-01T10:00:00Z") + Reply("win", "2025-03-01T10:01:00Z"));
    // An agent session of the desktop app, with its audit copy (left unread) beside it.
    const fs::path session = m.dir.path() / "roaming/Claude/local-agent-mode-sessions/app-1/machine-1/"
                                            "local_3f2a/.claude/projects/h";
    Write(session / "0d9e.jsonl", Reply("agent", "2025-03-01T10:02:00Z") +
                                      Reply("shared", "2025-03-01T10:00:00Z"));
    Write(session / "audit.jsonl", Reply("audit-only", "2025-03-01T10:03:00Z"));
    // Two distributions with logs; Debian is stopped.
    Write(m.wsl / "Ubuntu/home/dev/.claude/projects/p/u.jsonl",
          Reply("wsl", "2025-03-01T10:04:00Z") + Reply("shared", "2025-03-01T10:00:00Z"));
    Write(m.wsl / "Ubuntu/home/dev/.codex/sessions/2025/03/01/r.jsonl",
          CodexEvent("2025-03-01T10:05:00Z", 41));
    Write(m.wsl / "Debian/root/.claude/projects/p/d.jsonl", Reply("debian", "2025-03-01T10:06:00Z"));
    Write(m.wsl / "Debian/root/.codex/sessions/r.jsonl", CodexEvent("2025-03-01T11:00:00Z", 99));

    LogPlaceFinder finder = m.Finder();
    ClaudeLogScanner claude;
    CodexScanner codex;
    AtomicDouble maxblock = 0;
    const ClaudeLogSummary summary = ScanClaudePlaces(claude, finder, kNow, kNow, maxblock, nullptr);
    const CodexLimits limits = ScanCodexPlaces(codex, finder, kNow);

    EXPECT_EQ(summary.blocks.at(0).messages, 4) << "shared, win, agent, wsl: each once, no audit";
    EXPECT_EQ(limits.primary.usedPercent, 41) << "Debian's newer event is never read";
    EXPECT_EQ(m.touched.count(L"Debian"), 0u);
    EXPECT_EQ(m.touched.count(L"docker-desktop"), 0u);
    EXPECT_EQ(ShownSourceLines(summary.sources, limits.sources),
              (std::vector<SourceLine>{{std::wstring(kThisSystemName) + L" ~/.claude", 1, false},
                                       {kAgentSessionsName, 1, false},
                                       {L"Ubuntu (WSL)", 2, false},
                                       {L"Debian (WSL)", 0, true}}));
}

// A watch that says what the test sets, once; polled folders say "changed" every time.
struct Watch : FolderWatch {
    explicit Watch(FolderChange* next) : next(next) {}
    FolderChange Take() override {
        return next ? std::exchange(*next, FolderChange::kNone) : FolderChange::kChanged;
    }
    FolderChange* next;
};

TEST(PlaceScan, AQuietCycleWithRunningDistributionsReadsNothingAndWalksOnlyThem) {
    Machine m;
    m.running = {L"Ubuntu", L"Debian"};
    Write(m.home / ".claude/projects/app/a.jsonl", Reply("win", "2025-03-01T10:01:00Z"));
    Write(m.wsl / "Ubuntu/home/dev/.claude/projects/p/u.jsonl", Reply("u", "2025-03-01T10:04:00Z"));
    Write(m.wsl / "Debian/home/dev/.claude/projects/p/d.jsonl", Reply("d", "2025-03-01T10:05:00Z"));
    LogPlaceFinder finder = m.Finder();
    std::vector<std::wstring> walked;
    ClaudeLogScanner claude([&](const std::wstring& root, const VisitFile& visit,
                                const VisitUnlisted& unlisted) {
        walked.push_back(root);
        WalkRegularFiles(root, visit, unlisted);
    });
    FolderChange local = FolderChange::kNone;
    const std::wstring wsl = WideFromPath(m.wsl);
    WalkGate gate([&](const std::wstring& folder) -> std::unique_ptr<FolderWatch> {
        if (!PathExists(folder)) return nullptr;
        return std::make_unique<Watch>(folder.starts_with(wsl) ? nullptr : &local);
    });
    AtomicDouble maxblock = 0;
    const auto cycle = [&](int64_t now) {
        walked.clear();
        return ScanClaudePlaces(claude, finder, now, now, maxblock, &gate);
    };
    EXPECT_EQ(cycle(kNow).blocks.at(0).messages, 3);
    EXPECT_EQ(claude.lastScanStats().filesOpened, 3u);
    EXPECT_EQ(cycle(kNow + 45).blocks.at(0).messages, 3);
    EXPECT_EQ(claude.lastScanStats().filesOpened, 0u) << "no file changed, none opened";
    EXPECT_EQ(walked.size(), 2u) << "the two distributions' roots that exist, polled";
    for (const std::wstring& root : walked) EXPECT_TRUE(root.starts_with(wsl));
    EXPECT_EQ(m.asks, 1u) << "wsl.exe is not asked every cycle";
}

TEST(PlaceScan, ASlowRootIsReadNewestFirstWithinTheBudget) {
    TempDir dir;
    const fs::path root = dir.path() / "slow";
    std::string older, newer;
    for (int i = 0; i < 10; ++i) older += Reply("old" + std::to_string(i), "2025-03-01T09:00:00Z");
    for (int i = 0; i < 10; ++i) newer += Reply("new" + std::to_string(i), "2025-03-01T11:00:00Z");
    Write(root / "a-older.jsonl", older);
    Write(root / "b-newer.jsonl", newer);
    fs::last_write_time(root / "a-older.jsonl", fs::file_time_type::clock::now() - std::chrono::hours(2));
    ClaudeLogScanner scanner;
    scanner.SlowRootsAre([](const std::wstring&) { return true; }, newer.size() + older.size() / 2);
    const std::vector<std::wstring> roots{WideFromPath(root)};
    EXPECT_EQ(scanner.Scan(roots, kNow, kNow).records.size(), 10u);
    EXPECT_EQ(scanner.unfinishedRoots(), roots);
    EXPECT_EQ(scanner.Selection().records.front().time, ParseIsoTime("2025-03-01T11:00:00Z"));
    EXPECT_EQ(scanner.Scan(roots, kNow, kNow).records.size(), 20u) << "the rest, next scan";
    EXPECT_TRUE(scanner.unfinishedRoots().empty());
}

TEST(WslWatcher, AsksWslOnlyWhenItsProcessesChangedOrTheAnswerIsOld) {
    uint64_t signature = 0;
    size_t asks = 0;
    int32_t version = 2;
    WslSystem system;
    system.registered = [&] { return std::vector<WslDistribution>{{L"Ubuntu", version}}; };
    system.processSignature = [&] { return signature; };
    system.askRunning = [&] {
        ++asks;
        return std::optional<std::vector<std::wstring>>({L"Ubuntu"});
    };
    system.folderOf = [](const std::wstring& name) { return L"/wsl/" + name; };
    system.listFolders = [](const std::wstring&) { return std::vector<std::wstring>{}; };
    WslWatcher watcher(system);
    struct Step {
        int64_t now;
        uint64_t signature;
        size_t asks;
        bool running;
    };
    const Step steps[] = {
        {1000, 0, 0, false},  // no WSL process: no WSL 2 distribution runs, nothing asked
        {1045, 5, 1, true},   // WSL started: asked
        {1090, 5, 1, true},   // the same processes: the answer stands
        {1104, 6, 1, false},  // they changed, the answer is under a minute old: none counts
        {1105, 6, 2, true},   // a minute on: asked again
        {1284, 6, 2, true},  {1285, 6, 3, true},  // three minutes old: asked again
        {1290, 0, 3, false},  // the virtual machine is gone: stopped at once, nothing asked
        {1295, 6, 4, true},
    };
    for (const Step& step : steps) {
        signature = step.signature;
        const auto& places = watcher.Places(step.now);
        ASSERT_EQ(places.size(), 1u);
        EXPECT_EQ(asks, step.asks) << step.now;
        EXPECT_EQ(places[0].running, step.running) << step.now;
    }
    version = 1;  // WSL 1 runs without the virtual machine: asked even without its processes
    signature = 0;
    EXPECT_TRUE(watcher.Places(2000).at(0).running);
    EXPECT_EQ(asks, 5u);

    // wsl.exe gave no answer: nothing counts as running, and it is asked again a minute on.
    WslSystem failing = system;
    failing.askRunning = [&] {
        ++asks;
        return std::optional<std::vector<std::wstring>>();
    };
    WslWatcher failed(failing);
    signature = 5;
    EXPECT_FALSE(failed.Places(3000).at(0).running);
    EXPECT_FALSE(failed.Places(3059).at(0).running);
    EXPECT_EQ(asks, 6u);
    failed.Places(3060);
    EXPECT_EQ(asks, 7u);
}

// Ubuntu as a distribution of a system whose answers and processes the test sets.
struct FakeWsl {
    uint64_t signature = 5;
    std::vector<std::wstring> running = {L"Ubuntu"};
    size_t asks = 0;
    size_t listings = 0;

    WslSystem System() {
        WslSystem system;
        system.registered = [] { return std::vector<WslDistribution>{{L"Ubuntu", 2}}; };
        system.processSignature = [this] { return signature; };
        system.askRunning = [this] {
            ++asks;
            return std::optional<std::vector<std::wstring>>(running);
        };
        system.folderOf = [](const std::wstring& name) { return L"/wsl/" + name; };
        system.listFolders = [this](const std::wstring&) {
            ++listings;
            return std::vector<std::wstring>{L"dev"};
        };
        return system;
    }
};

TEST(WslWatcher, AStoppedDistributionIsNotReadBetweenTheChangeAndTheNextAnswer) {
    FakeWsl wsl;
    WslWatcher watcher(wsl.System());
    EXPECT_TRUE(watcher.Places(1000).at(0).running);
    // The distribution stops; a process of WSL goes with it. Its old "running" is not trusted.
    wsl.running.clear();
    wsl.signature = 6;
    for (const int64_t now : {1010, 1045, 1059}) {
        const WslPlace& place = watcher.Places(now).at(0);
        EXPECT_FALSE(place.running) << now;
        EXPECT_TRUE(place.folders.claudeRoots.empty()) << now;
    }
    EXPECT_EQ(wsl.asks, 1u);
    EXPECT_FALSE(watcher.Places(1060).at(0).running);
    EXPECT_EQ(wsl.asks, 2u);
    // The processes return to what the last answer was given with: that answer stands.
    wsl.signature = 5;
    EXPECT_FALSE(watcher.Places(1070).at(0).running);
    wsl.running = {L"Ubuntu"};
    wsl.signature = 7;
    EXPECT_FALSE(watcher.Places(1080).at(0).running);
    EXPECT_TRUE(watcher.Places(1120).at(0).running);
}

TEST(WslWatcher, AClockSetBackAsksAgain) {
    FakeWsl wsl;
    WslWatcher watcher(wsl.System());
    watcher.Places(1000);
    watcher.Places(1030);
    EXPECT_EQ(wsl.asks, 1u);
    // An hour back: the last answer's age can no longer be told, so it is not trusted.
    EXPECT_TRUE(watcher.Places(1000 - 3600).at(0).running);
    EXPECT_EQ(wsl.asks, 2u);
    watcher.Places(1000 - 3600 + 30);
    EXPECT_EQ(wsl.asks, 2u) << "and from the new time on, as usual";
}

TEST(WslWatcher, ADistributionThatStartsLaterHasItsHomesListedOnce) {
    FakeWsl wsl;
    wsl.running.clear();
    WslWatcher watcher(wsl.System());
    EXPECT_FALSE(watcher.Places(1000).at(0).running);
    EXPECT_EQ(wsl.listings, 0u) << "a stopped distribution's folders are not listed";
    wsl.running = {L"Ubuntu"};
    wsl.signature = 6;
    const WslPlace& place = watcher.Places(1060).at(0);
    EXPECT_TRUE(place.running);
    const std::wstring root = L"/wsl/Ubuntu";
    EXPECT_EQ(place.folders.claudeRoots,
              (std::vector<std::wstring>{
                  JoinPath(root, {L"root", L".claude", L"projects"}),
                  JoinPath(root, {L"root", L".config", L"claude", L"projects"}),
                  JoinPath(root, {L"home", L"dev", L".claude", L"projects"}),
                  JoinPath(root, {L"home", L"dev", L".config", L"claude", L"projects"})}));
    EXPECT_EQ(watcher.Places(1105).at(0).folders.claudeRoots.size(), 4u);
    EXPECT_EQ(wsl.listings, 1u);
}

TEST(PlaceScan, ADistributionThatStartsAfterTheProgramIsReadFromThenOn) {
    Machine m;
    m.running = {};
    uint64_t signature = 5;
    Write(m.wsl / "Ubuntu/home/dev/.claude/projects/p/u.jsonl", Reply("u", "2025-03-01T10:04:00Z"));
    WslSystem system;
    system.registered = [] { return std::vector<WslDistribution>{{L"Ubuntu", 2}}; };
    system.processSignature = [&] { return signature; };
    system.askRunning = [&] { return std::optional<std::vector<std::wstring>>(m.running); };
    system.folderOf = [&](const std::wstring& name) {
        return WideFromPath(m.wsl / fs::path(name));
    };
    system.listFolders = [](const std::wstring& folder) { return ListSubfolders(folder, 64); };
    PlaceEnvironment env;
    env.userProfile = WideFromPath(m.home);
    LogPlaceFinder later(env, system, system.listFolders, PathExists);
    ClaudeLogScanner claude;
    AtomicDouble maxblock = 0;
    EXPECT_TRUE(ScanClaudePlaces(claude, later, kNow, kNow, maxblock, nullptr).blocks.empty());
    m.running = {L"Ubuntu"};
    signature = 6;  // WSL started a distribution
    const ClaudeLogSummary summary =
        ScanClaudePlaces(claude, later, kNow + 60, kNow + 60, maxblock, nullptr);
    ASSERT_EQ(summary.blocks.size(), 1u);
    EXPECT_EQ(summary.blocks[0].messages, 1);
    EXPECT_EQ(ShownSourceLines(summary.sources, {}),
              (std::vector<SourceLine>{{L"Ubuntu (WSL)", 1, false}}));
}

TEST(PlaceScan, AFolderThatCouldNotBeListedShowsItsPlaceAsNotRead) {
    TempDir dir;
    const fs::path home = dir.path() / "home";
    Write(home / ".claude/projects/a/ok.jsonl", Reply("ok", "2025-03-01T10:00:00Z"));
    const std::wstring locked = WideFromPath(home / ".claude" / "projects" / "b");
    bool denied = true;
    ClaudeLogScanner claude(
        [&](const std::wstring& root, const VisitFile& visit, const VisitUnlisted& unlisted) {
            WalkRegularFiles(root, visit, unlisted);
            if (denied && fs::exists(PathFromWide(root)))
                unlisted(locked);
        });
    PlaceEnvironment env;
    env.userProfile = WideFromPath(home);
    WslSystem none = ThisWslSystem();
    none.registered = [] { return std::vector<WslDistribution>{}; };
    LogPlaceFinder finder(
        env, none, [](const std::wstring&) { return std::vector<std::wstring>{}; }, PathExists);
    AtomicDouble maxblock = 0;
    const std::wstring name = std::wstring(kThisSystemName) + L" ~/.claude";
    const auto lines = [&](int64_t now) {
        return ShownSourceLines(
            ScanClaudePlaces(claude, finder, now, now, maxblock, nullptr).sources, {});
    };
    SourceLine expected{name, 1, false, true};
    EXPECT_EQ(lines(kNow), std::vector<SourceLine>{expected});
    EXPECT_EQ(FormatSourceLine(expected), name + L" · 1 file, some not read");
    denied = false;  // listed again: read in full
    EXPECT_EQ(lines(kNow + 45), (std::vector<SourceLine>{{name, 1, false}}));
}

TEST(SourceLines, PlacesNotReadInPartOrWhole) {
    const std::vector<LogPlace> places = {{L"a", {L"/a/projects"}, {}},
                                          {L"b", {L"/b/projects"}, {}}};
    const auto pick = [](const LogPlace& p) -> const std::vector<std::wstring>& {
        return p.claudeRoots;
    };
    const struct {
        std::vector<std::wstring> unread;
        bool a, b;
    } cases[] = {
        {{}, false, false},
        {{L"/a/projects"}, true, false},  // the root itself
        {{L"/b/projects/x/y"}, false, true},
        {{L"/a/projects-old"}, false, false},  // beside a root, not below it
        {{L"/a"}, false, false},
    };
    for (const auto& c : cases) {
        const std::vector<SourceLine> lines = PlaceLines(places, pick, {0, 2}, c.unread);
        EXPECT_EQ(lines.at(0).unreadable, c.a) << (c.unread.empty() ? L"" : c.unread[0]);
        EXPECT_EQ(lines.at(1).unreadable, c.b) << (c.unread.empty() ? L"" : c.unread[0]);
    }
    EXPECT_EQ(SourceDetail({L"x", 0, false, true}), L"not read");
    EXPECT_EQ(SourceDetail({L"x", 1204, false, true}), L"1,204 files, some not read");
    EXPECT_EQ(SourceDetail({L"x", 0, true, true}), L"stopped, not read");
    // Not read in whole: shown although it gave no file.
    EXPECT_EQ(ShownSourceLines({{L"x", 0, false, true}, {L"y", 0, false, false}}, {}),
              (std::vector<SourceLine>{{L"x", 0, false, true}}));
    EXPECT_EQ(ShownSourceLines({{L"x", 3, false, false}}, {{L"x", 0, false, true}}),
              (std::vector<SourceLine>{{L"x", 3, false, true}}));
}

TEST(SourceLines, AStoppedAndARunningLineOfOneNameReadAsRunning) {
    const SourceLine stopped{L"Ubuntu (WSL)", 0, true};
    const SourceLine running{L"Ubuntu (WSL)", 3, false};
    const std::vector<SourceLine> expected = {running};
    EXPECT_EQ(ShownSourceLines({stopped}, {running}), expected);
    EXPECT_EQ(ShownSourceLines({running}, {stopped}), expected);
    EXPECT_EQ(ShownSourceLines({stopped}, {stopped}), (std::vector<SourceLine>{stopped}));
}

TEST(WslWatcher, RunningListsAndSkippedNames) {
    const auto utf16 = [](std::u16string_view text) {
        return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    };
    EXPECT_EQ(ParseWslRunningList(utf16(u"\uFEFFUbuntu-24.04\r\nDebian \r\n\r\n")),
              (std::vector<std::wstring>{L"Ubuntu-24.04", L"Debian"}));
    EXPECT_TRUE(ParseWslRunningList("").empty());
    EXPECT_EQ(ParseWslRunningList(utf16(u"Arch") + "x"), (std::vector<std::wstring>{L"Arch"}));
    EXPECT_TRUE(IsSkippedWslDistribution(L"docker-desktop"));
    EXPECT_TRUE(IsSkippedWslDistribution(L"Docker-Desktop-Data"));
    EXPECT_FALSE(IsSkippedWslDistribution(L"docker"));
    EXPECT_FALSE(IsSkippedWslDistribution(L"Ubuntu"));
}

TEST(SourceLines, NamesCountsAndStoppedDistributions) {
    EXPECT_EQ(FormatSourceLine({L"Windows ~/.claude", 1204, false}),
              L"Windows ~/.claude \u00b7 1,204 files");
    EXPECT_EQ(FormatSourceLine({L"x", 1, false}), L"x \u00b7 1 file");
    EXPECT_EQ(FormatSourceLine({L"x", 999, false}), L"x \u00b7 999 files");
    EXPECT_EQ(FormatSourceLine({L"x", 1000000, false}), L"x \u00b7 1,000,000 files");
    EXPECT_EQ(FormatSourceLine({L"Ubuntu (WSL)", 0, true}), L"Ubuntu (WSL) \u00b7 stopped, not read");
}

}  // namespace

TEST(PlaceScan, EachLoginsEstimateFromTheScanOfEveryPlace) {
    struct Case {
        const char* what;
        bool work;    // a second login in ~/.claude-work
        bool ubuntu;  // a WSL distribution with its own login runs
        std::vector<std::wstring> names;
        std::vector<int> messages;  // each login's, in order
    };
    const std::wstring desktop = kDesktopLoginName;
    const std::vector<Case> cases = {
        {"one login: the combined estimate, agent sessions included",
         false,
         false,
         {L"default"},
         {3}},
        {"a second login: each its own, the agent sessions apart",
         true,
         false,
         {L"default", L"work", desktop},
         {2, 1, 1}},
        {"a WSL login besides", false, true, {L"default", L"Ubuntu", desktop}, {2, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        m.running = c.ubuntu ? std::vector<std::wstring>{L"Ubuntu"} : std::vector<std::wstring>{};
        Write(m.home / ".claude/projects/app/a.jsonl",
              Reply("shared", "2025-03-01T10:00:00Z") + Reply("win", "2025-03-01T10:01:00Z"));
        Write(m.dir.path() /
                  "roaming/Claude/local-agent-mode-sessions/app-1/machine-1/local_1/"
                  ".claude/projects/h/s.jsonl",
              Reply("agent", "2025-03-01T10:02:00Z"));
        if (c.work) {
            Write(m.home / ".claude-work/projects/w/w.jsonl",
                  Reply("work", "2025-03-01T10:03:00Z"));
        }
        Write(m.wsl / "Ubuntu/home/dev/.claude/projects/p/u.jsonl",
              Reply("wsl", "2025-03-01T10:04:00Z") + Reply("shared", "2025-03-01T10:00:00Z"));
        LogPlaceFinder finder = m.Finder();
        ClaudeLogScanner claude;
        AtomicDouble maxblock = 0;
        const ClaudeLogSummary all =
            ScanClaudePlaces(claude, finder, kNow, kNow, maxblock, nullptr);
        const std::vector<Login>& logins = finder.Logins(kNow);
        std::vector<std::wstring> names;
        std::vector<int> messages;
        for (const Login& login : logins) {
            if (login.tool != LoginTool::kClaude)
                continue;
            LoginRecords records;
            AtomicDouble own = 0;
            const ClaudeLogSummary summary = EstimateLogin(records, claude, login, kNow, own);
            names.push_back(login.name);
            messages.push_back(summary.blocks.empty() ? 0 : summary.blocks.back().messages);
            if (logins.size() == 1) {
                EXPECT_EQ(summary.blocks.size(), all.blocks.size());
                EXPECT_EQ(summary.current.tokens, all.current.tokens);
                EXPECT_EQ(summary.percent, all.percent);
            }
        }
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(messages, c.messages);
        if (c.work) {
            // The named folder is read, as a place of its own named by its folder.
            EXPECT_EQ(ShownSourceLines(all.sources, {}).at(1).name,
                      WideFromPath(m.home / ".claude-work"));
        }
    }
}
