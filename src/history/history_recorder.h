#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "history/claude_ledger_line.h"
#include "history/codex_turns.h"
#include "history/history_state.h"
#include "history/ledger_location.h"
#include "history/ledger_rule.h"
#include "history/ledger_store.h"
#include "platform/file_walk.h"
#include "sources/log_places.h"

// One place logs come from, as the recorder sees it in a cycle: one login's folders there. A
// place with two logins is given twice, once per login, under one name.
struct HistoryPlace {
    std::string name;  // as the Sources list names it (UTF-8)
    std::vector<std::wstring> claudeRoots;
    std::vector<std::wstring> codexFolders;
    bool read = true;  // everything below it was listed and read this cycle
    std::string account = {};  // the login, as it is shown (UTF-8); empty: logins not told apart
    // The place's default login (".claude", ".codex"), which takes the place's rows written
    // before logins were told apart. Where no login of a place says so for a tool, the first
    // one with folders of that tool does.
    bool defaultAccount = false;
};

// A log file the scanners found this cycle, with the size they saw.
struct HistoryFile {
    std::wstring path;
    uint64_t size = 0;
    LedgerTool tool = LedgerTool::kClaude;
};

// The days the recorder keeps exact: today and the seven before, the days the scanners read.
inline constexpr int64_t kLedgerWindowDays = 8;
// How much a history slice reads before it gives the thread back.
inline constexpr uint64_t kHistorySliceBytes = 32 << 20;

// Keeps the ledger: the refresh worker's one writer of it.
//
// Each cycle it reads what the scanners' files gained and records the last eight days (the
// window) from them: a window day of a place is rewritten to what the logs say while every file
// that held it is still there (it then follows the logs exactly, also across a change of time
// zone), and otherwise never shrinks. The files of the window are remembered in the ledger, so
// that one deleted while the program was not running is noticed too.
//
// Older days come from the history reading: once for every place (at the first start with a
// ledger, and when a new place appears), every log file there is is read in slices, and the days
// before the window are written with the rule that never shrinks a day. A quit in the middle
// keeps what was written; the places not finished are read again from their start, which the
// rule makes harmless.
class HistoryRecorder {
public:
    using Walk = std::function<void(const std::wstring& root, const VisitFile& visit,
                                    const VisitUnlisted& unlisted)>;

    explicit HistoryRecorder(DayOfTime dayOf, Walk walk = WalkRegularFiles);
    ~HistoryRecorder();

    // One cycle at `now` (Unix seconds): opens the ledger at `location` (moving it there from
    // where it was), reads what `files` gained, and writes the window when it changed. A cycle in
    // which nothing changed touches nothing.
    void Record(const LedgerLocation& location, const std::vector<HistoryPlace>& places,
                const std::vector<HistoryFile>& files, int64_t now);

    // One slice of the history reading, at most `budget` bytes; true while more is left.
    bool ReadHistorySlice(int64_t now, uint64_t budget = kHistorySliceBytes);

    bool readingHistory() const { return backfill_ != nullptr; }
    const HistoryState& state() const { return state_; }

    // Once `stop` is set, a slice reads no further (the program is quitting).
    void StopWhen(const std::atomic<bool>* stop) { stop_ = stop; }

private:
    struct FileMemory;
    // Names kept once, referred to by number.
    struct NameTable {
        std::vector<std::string> names;
        std::unordered_map<std::string, uint32_t> ids;
        uint32_t Id(const std::string& name) {
            const auto [at, added] = ids.emplace(name, static_cast<uint32_t>(names.size()));
            if (added) names.push_back(name);
            return at->second;
        }
    };
    struct Backfill;
    struct KnownFile {
        LedgerTool tool = LedgerTool::kClaude;
        std::string place;
        std::string account;
        std::set<int64_t> days;  // window days it held records of
    };

    bool OpenStore(const LedgerLocation& location, int64_t now);
    void LoadKnownFiles();
    std::string KnownFilesText() const;
    int64_t DayNumberOf(int64_t time);
    void CheckTimeZone(int64_t now);
    const HistoryPlace* PlaceOf(const std::wstring& path, LedgerTool tool,
                                const std::vector<HistoryPlace>& places) const;
    bool ReadFile(const HistoryFile& file, FileMemory& memory, int64_t windowStart, bool& failed);
    bool WriteWindow(const std::vector<HistoryPlace>& places, const std::set<std::wstring>& present,
                     const std::set<std::string>& unreadPlaces);
    void StartBackfill(const std::vector<HistoryPlace>& places);
    bool Backfilled(const HistoryPlace& place, const std::vector<HistoryPlace>& places) const;
    void FinishBackfillFile();
    bool WriteBackfill(bool complete);
    void Publish(int64_t today);

    DayOfTime dayOf_;
    Walk walk_;
    const std::atomic<bool>* stop_ = nullptr;
    std::unique_ptr<LedgerStore> store_;
    std::wstring storePath_;
    int64_t retryAt_ = 0;  // a chosen folder that could not be reached is tried again then

    NameTable names_;
    std::map<std::wstring, std::unique_ptr<FileMemory>> files_;
    std::map<std::wstring, KnownFile> known_;
    bool dirty_ = true;  // the window is to be planned (and written) at the next cycle
    bool knownChanged_ = false;  // the window's files are to be written with it
    int64_t windowStart_ = 0;
    int64_t publishedDay_ = 0;
    std::unordered_map<int64_t, int64_t> dayOfQuarter_;  // local day of each quarter hour
    std::optional<int64_t> midnight_;                    // a local midnight, as first worked out

    std::unique_ptr<Backfill> backfill_;
    std::set<std::string> backfilled_;  // places (and logins) whose history was read
    std::vector<HistoryPlace> places_;  // the last cycle's, for the owners of unnamed rows

    HistoryState state_;
    std::vector<char> buffer_;
};

// The places of a cycle, for the recorder: their roots, and whether the scanners read all of
// each (`unread` and `unfinished` are the folders and roots they did not).
std::vector<HistoryPlace> HistoryPlacesOf(const std::vector<LogPlace>& places,
                                          const std::vector<std::wstring>& unread,
                                          const std::vector<std::wstring>& unfinished);
