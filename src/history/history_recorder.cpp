#include "history/history_recorder.h"

#include <algorithm>
#include <filesystem>
#include <tuple>
#include <utility>

#include "core/log_files.h"
#include "history/ledger_adoption.h"
#include "history/ledger_days.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace {

constexpr int64_t kUnreachableRetrySeconds = 600;
constexpr uint64_t kHistoryReadStep = 4 << 20;
// The window's files, written by versions that did not tell logins apart; read when the key
// with the logins is not there yet.
constexpr char kKnownFilesKey[] = "window_files";
constexpr char kKnownFilesByLoginKey[] = "window_files_by_login";
constexpr char kBackfilledKey[] = "history_read";

// How a place's login is named in the list of places whose history was read: the place's name
// alone when logins are not told apart (as before they were).
std::string Marker(const std::string& place, const std::string& account) {
    return account.empty() ? place : place + '\t' + account;
}

bool HasRoots(const HistoryPlace& place, LedgerTool tool) {
    return !(tool == LedgerTool::kClaude ? place.claudeRoots : place.codexFolders).empty();
}

// The login at `name` that takes the unnamed rows of `tool`: the default one, else the first
// named one with folders of that tool, else the first with folders of that tool.
const HistoryPlace* UnnamedOwnerOf(const std::vector<HistoryPlace>& places,
                                   const std::string& name, LedgerTool tool) {
    const HistoryPlace* named = nullptr;
    const HistoryPlace* first = nullptr;
    for (const HistoryPlace& place : places) {
        if (place.name != name || !HasRoots(place, tool)) continue;
        if (place.defaultAccount) return &place;
        if (!named && !place.account.empty()) named = &place;
        if (!first) first = &place;
    }
    return named ? named : first;
}

UnnamedOwner OwnerFor(const std::vector<HistoryPlace>& places) {
    return [&places](const LedgerKey& key) -> std::optional<std::string> {
        const HistoryPlace* owner = UnnamedOwnerOf(places, key.place, key.tool);
        if (!owner) return std::nullopt;
        return owner->account;
    };
}

// Whether what `tool` recorded at `name` for `account` is `place`'s: its own, or unnamed and
// taken by it.
bool Belongs(const std::vector<HistoryPlace>& places, const HistoryPlace& place, LedgerTool tool,
             const std::string& name, const std::string& account) {
    if (name != place.name) return false;
    if (!account.empty()) return account == place.account;
    const HistoryPlace* owner = UnnamedOwnerOf(places, name, tool);
    return owner ? owner == &place : place.account.empty();
}

// A reply of the window as the recorder keeps it: names by number, so that a heavy week of
// records stays small.
struct WindowRecord {
    int64_t time = 0;
    uint32_t project = 0;
    uint32_t model = 0;
    LedgerTotals totals;
    DedupKey identity;
};

struct DedupHash {
    size_t operator()(const DedupKey& key) const { return static_cast<size_t>(key.low ^ key.high); }
};

// Calls `onLine` with each line of a block of complete lines, without its line end.
template <typename OnLine>
void ForEachLine(std::string_view lines, OnLine&& onLine) {
    size_t start = 0;
    while (start < lines.size()) {
        size_t end = lines.find('\n', start);
        if (end == std::string_view::npos) end = lines.size();
        std::string_view line = lines.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        onLine(line);
        start = end + 1;
    }
}

// Hands each reply (through `claude`) or turn (through `codex`) of a block of complete lines to
// `keep`; one of the readers is set.
template <typename Keep>
void ReadRecords(std::string_view lines, ClaudeLedgerReader* claude, CodexTurnReader* codex,
                 Keep&& keep) {
    LedgerRecord record;
    if (claude) {
        ForEachLineWith(lines, kUsageKey, [&](std::string_view line, size_t usage) {
            if (claude->ReadLine(line, usage, record)) keep(record);
        });
    } else {
        ForEachLine(lines, [&](std::string_view line) {
            if (codex->ReadLine(line, record)) keep(record);
        });
    }
}

std::string Join(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += name + '\n';
    return text;
}

std::set<std::string> SplitLines(const std::string& text) {
    std::set<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.insert(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool Exists(const std::wstring& path) {
    std::error_code error;
    return std::filesystem::exists(PathFromWide(path), error);
}

// The one copy of each identity that counts among `records` (the one with the most tokens),
// and every record without an identity.
template <typename Record>
std::vector<const Record*> CountedCopies(const std::vector<Record>& records) {
    std::unordered_map<DedupKey, const Record*, DedupHash> best;
    std::vector<const Record*> counted;
    for (const Record& record : records) {
        if (record.identity.empty()) {
            counted.push_back(&record);
            continue;
        }
        const Record*& slot = best[record.identity];
        if (!slot || LedgerTokens(record.totals) > LedgerTokens(slot->totals)) slot = &record;
    }
    for (const Record& record : records) {
        if (!record.identity.empty() && best[record.identity] == &record) counted.push_back(&record);
    }
    return counted;
}

}  // namespace

// What the recorder remembers of one file of the window.
struct HistoryRecorder::FileMemory {
    std::string place;
    std::string account;
    LedgerTool tool = LedgerTool::kClaude;
    uint64_t consumed = 0;
    bool inLongLine = false;
    std::unique_ptr<ClaudeLedgerReader> claude;
    std::unique_ptr<CodexTurnReader> codex;
    std::vector<WindowRecord> records;  // replies of the window's days, in file order

    void Restart() {
        consumed = 0;
        inLongLine = false;
        records.clear();
        claude = tool == LedgerTool::kClaude ? std::make_unique<ClaudeLedgerReader>(place) : nullptr;
        codex = tool == LedgerTool::kCodex ? std::make_unique<CodexTurnReader>(place) : nullptr;
    }
};

// The history reading in progress.
struct HistoryRecorder::Backfill {
    struct File {
        std::wstring path;
        uint64_t size = 0;
        LedgerTool tool = LedgerTool::kClaude;
        std::string place;
        std::string account;
    };
    std::set<std::string> places;  // the places it reads (their markers)
    std::vector<File> files;       // every log file of them, by path
    size_t next = 0;               // the file being read
    uint64_t consumed = 0;         // of that file
    bool inLongLine = false;
    std::unique_ptr<ClaudeLedgerReader> claude;
    std::unique_ptr<CodexTurnReader> codex;
    std::vector<LedgerRecord> fileRecords;  // the current file's replies before the window
    int64_t windowStart = 0;                // the days it writes are before this one
    std::unordered_set<DedupKey, DedupHash> seen;  // replies counted already
    std::map<LedgerKey, LedgerTotals> sums;        // the days read so far
    std::set<std::string> touched;                 // days not yet written
    uint64_t bytesDone = 0;   // of the files before `next`
    uint64_t bytesTotal = 0;
};

HistoryRecorder::HistoryRecorder(DayOfTime dayOf, Walk walk)
    : dayOf_(std::move(dayOf)), walk_(std::move(walk)) {}

HistoryRecorder::~HistoryRecorder() = default;

int64_t HistoryRecorder::DayNumberOf(int64_t time) {
    // Every time zone's offset and change falls on a quarter hour: all the moments of one
    // quarter hour have one local day.
    const int64_t quarter = time >= 0 ? time / 900 : (time - 899) / 900;
    const auto found = dayOfQuarter_.find(quarter);
    if (found != dayOfQuarter_.end()) return found->second;
    if (dayOfQuarter_.size() > 4096) dayOfQuarter_.clear();  // the history of years stays small
    int64_t day = 0;
    if (!DayNumber(dayOf_(time), day)) day = time / 86400;
    dayOfQuarter_.emplace(quarter, day);
    return day;
}

const HistoryPlace* HistoryRecorder::PlaceOf(const std::wstring& path, LedgerTool tool,
                                             const std::vector<HistoryPlace>& places) const {
    for (const HistoryPlace& place : places) {
        for (const std::wstring& root :
             tool == LedgerTool::kClaude ? place.claudeRoots : place.codexFolders) {
            if (IsBelow(path, root)) return &place;
        }
    }
    return nullptr;
}

bool HistoryRecorder::OpenStore(const LedgerLocation& location, int64_t now) {
    state_.folder = location.folder;
    state_.machine = location.machine;
    if (location.ownPath.empty()) return store_ != nullptr;
    if (store_ && storePath_ == location.ownPath) return true;
    if (now < retryAt_) return store_ != nullptr;

    // A new folder: this computer's history goes with it, unless the folder has its own already.
    if (store_ && !Exists(location.ownPath) && !store_->CopyTo(location.ownPath)) {
        state_.unreachableFolder = location.folder;
        retryAt_ = now + kUnreachableRetrySeconds;
        return true;  // meanwhile the old ledger goes on
    }
    LedgerOpenResult opened = LedgerStore::Open(location.ownPath, true, now);
    if (!opened.store) {
        if (location.chosen) {
            state_.unreachableFolder = location.folder;
            retryAt_ = now + kUnreachableRetrySeconds;
        }
        return store_ != nullptr;
    }
    state_.unreachableFolder.clear();
    retryAt_ = 0;
    if (opened.status == LedgerOpenStatus::kMovedAside) {
        ++state_.movedAsideCount;
        state_.movedAsideTo = opened.movedTo;
    }
    store_ = std::move(opened.store);
    storePath_ = location.ownPath;
    state_.ledgerPath = storePath_;
    LoadKnownFiles();
    backfilled_ = SplitLines(store_->Meta(kBackfilledKey).value_or(""));
    backfill_.reset();  // a reading for another ledger starts again for this one
    dirty_ = true;
    publishedDay_ = 0;
    return true;
}

void HistoryRecorder::LoadKnownFiles() {
    // Lines "tool \t place \t account \t day,day,... \t path"; without the logins (as written
    // before they were told apart) "tool \t place \t day,day,... \t path". A line that does
    // not read so is left out.
    std::optional<std::string> text = store_->Meta(kKnownFilesByLoginKey);
    const bool byLogin = text.has_value();
    if (!byLogin) text = store_->Meta(kKnownFilesKey);
    for (const std::string& line : SplitLines(text.value_or(""))) {
        const size_t a = line.find('\t'), b = line.find('\t', a + 1);
        const size_t d = byLogin && b != std::string::npos ? line.find('\t', b + 1) : b;
        const size_t c = d == std::string::npos ? d : line.find('\t', d + 1);
        if (c == std::string::npos || a != 1 || (line[0] != '0' && line[0] != '1')) continue;
        KnownFile& known = known_[Utf8ToWide(line.substr(c + 1))];
        known.tool = line[0] == '1' ? LedgerTool::kCodex : LedgerTool::kClaude;
        known.place = line.substr(a + 1, b - a - 1);
        known.account = byLogin ? line.substr(b + 1, d - b - 1) : std::string();
        size_t at = d + 1;
        while (at < c) {
            size_t end = line.find(',', at);
            if (end == std::string::npos || end > c) end = c;
            int64_t day = 0;
            if (DayNumber(line.substr(at, end - at), day)) known.days.insert(day);
            at = end + 1;
        }
    }
}

std::string HistoryRecorder::KnownFilesText() const {
    std::string text;
    for (const auto& [path, known] : known_) {
        text += known.tool == LedgerTool::kCodex ? "1\t" : "0\t";
        text += known.place + '\t' + known.account + '\t';
        bool first = true;
        for (const int64_t day : known.days) {
            if (!first) text += ',';
            text += DayFromNumber(day);
            first = false;
        }
        text += '\t' + WideToUtf8(path) + '\n';
    }
    return text;
}

bool HistoryRecorder::ReadFile(const HistoryFile& file, FileMemory& memory, int64_t windowStart,
                               bool& failed) {
    bool changed = false;
    if (file.size < memory.consumed || !(memory.claude || memory.codex)) {
        changed = !memory.records.empty();  // cut short or replaced: read it again
        memory.Restart();
    }
    if (file.size == memory.consumed) return changed;
    const size_t before = memory.records.size();
    const auto keep = [&](const LedgerRecord& record) {
        if (DayNumberOf(record.time) < windowStart) return;
        memory.records.push_back({record.time, names_.Id(record.project), names_.Id(record.model),
                                  record.totals, record.identity});
    };
    const AppendedRead read = ReadAppendedLines(
        file.path, memory.consumed, file.size, memory.inLongLine, buffer_,
        [&](std::string_view lines) {
            ReadRecords(lines, memory.claude.get(), memory.codex.get(), keep);
        });
    failed = !read.opened || read.failed;
    if (!read.opened) return changed;
    memory.consumed += read.consumed;
    memory.inLongLine = read.inLongLine;
    return changed || memory.records.size() != before;
}

void HistoryRecorder::CheckTimeZone(int64_t now) {
    // A local midnight the days were worked out with: when the zone (or its rules) moved it,
    // every day is worked out again, and the window follows.
    if (midnight_) {
        const int64_t day = DayNumberOf(*midnight_);
        int64_t at = 0, before = 0;
        if (DayNumber(dayOf_(*midnight_), at) && DayNumber(dayOf_(*midnight_ - 1), before) &&
            at == day && before == day - 1)
            return;
        dayOfQuarter_.clear();
        dirty_ = true;
        midnight_.reset();
    }
    // The last quarter hour before `now` that starts a day (a zone changes only on quarters).
    int64_t quarter = (now >= 0 ? now : now - 899) / 900 * 900;
    for (int step = 0; step < 4 * 26; ++step, quarter -= 900) {
        if (DayNumberOf(quarter) != DayNumberOf(quarter - 1)) {
            midnight_ = quarter;
            return;
        }
    }
}

void HistoryRecorder::Record(const LedgerLocation& location, const std::vector<HistoryPlace>& places,
                             const std::vector<HistoryFile>& files, int64_t now) {
    CheckTimeZone(now);
    const int64_t today = DayNumberOf(now);
    const int64_t windowStart = today - (kLedgerWindowDays - 1);
    if (windowStart != windowStart_) {
        // A new day: what has left the window stays as last written.
        windowStart_ = windowStart;
        dirty_ = true;
        for (auto& [path, memory] : files_) {
            std::erase_if(memory->records, [&](const WindowRecord& record) {
                return DayNumberOf(record.time) < windowStart;
            });
        }
        for (auto it = known_.begin(); it != known_.end();) {
            const size_t before = it->second.days.size();
            std::erase_if(it->second.days, [&](int64_t day) { return day < windowStart; });
            knownChanged_ = knownChanged_ || it->second.days.size() != before;
            it = it->second.days.empty() ? known_.erase(it) : std::next(it);
        }
    }

    std::set<std::wstring> present;
    std::set<std::string> unreadPlaces;  // a file of them could not be read this cycle
    for (const HistoryFile& file : files) {
        if (stop_ && stop_->load()) return;  // quitting: what was read is written next time
        const HistoryPlace* place = PlaceOf(file.path, file.tool, places);
        if (!place) continue;
        present.insert(file.path);
        std::unique_ptr<FileMemory>& memory = files_[file.path];
        bool moved = false;  // its login took another name: its records are counted under the new one
        if (memory && (memory->place != place->name || memory->account != place->account)) {
            moved = !memory->records.empty();
            memory.reset();
        }
        if (!memory) {
            memory = std::make_unique<FileMemory>();
            memory->place = place->name;
            memory->account = place->account;
            memory->tool = file.tool;
        }
        bool failed = false;
        const bool changed = ReadFile(file, *memory, windowStart, failed) || moved;
        if (failed) unreadPlaces.insert(Marker(place->name, place->account));
        if (!changed) continue;
        dirty_ = true;
        KnownFile& known = known_[file.path];
        known.tool = file.tool;
        knownChanged_ = knownChanged_ || known.place != place->name || known.account != place->account;
        known.place = place->name;
        known.account = place->account;
        for (const WindowRecord& record : memory->records) {
            knownChanged_ = known.days.insert(DayNumberOf(record.time)).second || knownChanged_;
        }
    }
    for (auto it = files_.begin(); it != files_.end();) {
        if (present.count(it->first)) {
            ++it;
            continue;
        }
        dirty_ = dirty_ || !it->second->records.empty();
        it = files_.erase(it);
    }

    places_ = places;
    if (OpenStore(location, now) && store_->writable()) {
        if ((dirty_ || knownChanged_) && WriteWindow(places, present, unreadPlaces)) {
            dirty_ = knownChanged_ = false;
        }
        if (!backfill_) StartBackfill(places);
    }
    Publish(today);
}

bool HistoryRecorder::WriteWindow(const std::vector<HistoryPlace>& places,
                                  const std::set<std::wstring>& present,
                                  const std::set<std::string>& unreadPlaces) {
    // The window's sums by day, tool, place, project and model, on the names' numbers: a busy
    // week is hundreds of thousands of replies, summed here without a text per reply.
    struct Counted {
        const WindowRecord* record;
        LedgerTool tool;
        uint32_t place;
        uint32_t account;
    };
    std::vector<Counted> counted;
    for (const auto& [path, memory] : files_) {
        const uint32_t place = names_.Id(memory->place);
        const uint32_t account = names_.Id(memory->account);
        for (const WindowRecord& record : memory->records)
            counted.push_back({&record, memory->tool, place, account});
    }
    std::unordered_map<DedupKey, size_t, DedupHash> best;  // the copy of each reply that counts
    for (size_t i = 0; i < counted.size(); ++i) {
        const WindowRecord& record = *counted[i].record;
        if (record.identity.empty()) continue;
        const auto [at, added] = best.emplace(record.identity, i);
        if (!added && LedgerTokens(record.totals) > LedgerTokens(counted[at->second].record->totals))
            at->second = i;
    }
    using Key = std::tuple<int64_t, LedgerTool, uint32_t, uint32_t, uint32_t, uint32_t>;
    std::map<Key, LedgerTotals> sums;
    for (size_t i = 0; i < counted.size(); ++i) {
        const auto& [record, tool, place, account] = counted[i];
        if (!record->identity.empty() && best.find(record->identity)->second != i) continue;
        AddLedgerTotals(
            sums[{DayNumberOf(record->time), tool, place, record->project, record->model, account}],
            record->totals);
    }
    if (stop_ && stop_->load()) return false;  // quitting: written at the next start
    std::vector<LedgerRow> fromLogs;
    fromLogs.reserve(sums.size());
    for (const auto& [key, totals] : sums) {
        const auto& [day, tool, place, project, model, account] = key;
        fromLogs.push_back({{DayFromNumber(day), tool, names_.names[place], names_.names[project],
                             names_.names[model], names_.names[account]},
                            totals,
                            {}});
    }
    const std::optional<std::vector<LedgerRow>> stored = store_->Rows(DayFromNumber(windowStart_));
    if (!stored) return false;

    std::set<std::string> days;
    for (const std::vector<LedgerRow>* rows : {&std::as_const(fromLogs), &*stored}) {
        for (const LedgerRow& row : *rows) days.insert(row.key.day);
    }
    LedgerWrite write;
    const UnnamedOwner owner = OwnerFor(places);
    for (const HistoryPlace& place : places) {
        // A day of a login at a place follows its logs exactly only while every file that held
        // it is there; a login not read in full this cycle keeps what it had.
        std::set<std::string> covered;
        if (place.read && !unreadPlaces.count(Marker(place.name, place.account))) {
            covered = days;
            for (const auto& [path, known] : known_) {
                if (!Belongs(places, place, known.tool, known.place, known.account) ||
                    present.count(path))
                    continue;
                for (const int64_t day : known.days) covered.erase(DayFromNumber(day));
            }
        }
        std::vector<LedgerRow> logsOfPlace, storedOfPlace;
        for (const LedgerRow& row : fromLogs) {
            if (row.key.place == place.name && row.key.account == place.account)
                logsOfPlace.push_back(row);
        }
        for (const LedgerRow& row : *stored) {
            if (Belongs(places, place, row.key.tool, row.key.place, row.key.account))
                storedOfPlace.push_back(row);
        }
        LedgerChange change =
            PlanAdoptingLedgerChange(logsOfPlace, storedOfPlace, days, covered, owner);
        for (LedgerRow& row : change.upsert) write.upserts.push_back(std::move(row));
        for (LedgerKey& key : change.remove) write.deletes.push_back(std::move(key));
    }
    if (knownChanged_) write.meta.emplace_back(kKnownFilesByLoginKey, KnownFilesText());
    if (write.empty()) return true;
    if (!store_->Apply(write)) return false;
    publishedDay_ = 0;  // the figures are read again
    return true;
}

void HistoryRecorder::StartBackfill(const std::vector<HistoryPlace>& places) {
    if (stop_ && stop_->load()) return;
    auto pass = std::make_unique<Backfill>();
    for (const HistoryPlace& place : places) {
        const std::string marker = Marker(place.name, place.account);
        if (!place.read || Backfilled(place, places) || pass->places.count(marker)) continue;
        pass->places.insert(marker);
        for (const LedgerTool tool : {LedgerTool::kClaude, LedgerTool::kCodex}) {
            for (const std::wstring& root :
                 tool == LedgerTool::kClaude ? place.claudeRoots : place.codexFolders) {
                walk_(root,
                      [&](const std::wstring& path, const WalkedFile& file) {
                          if (!HasJsonlExtension(path) || IsAuditLog(path)) return;
                          pass->files.push_back({path, file.size, tool, place.name, place.account});
                          pass->bytesTotal += file.size;
                      },
                      nullptr);
            }
        }
    }
    if (pass->places.empty()) return;
    std::sort(pass->files.begin(), pass->files.end(),
              [](const Backfill::File& a, const Backfill::File& b) { return a.path < b.path; });
    // A file below two roots of the places is read once.
    pass->files.erase(std::unique(pass->files.begin(), pass->files.end(),
                                  [](const Backfill::File& a, const Backfill::File& b) {
                                      return a.path == b.path;
                                  }),
                      pass->files.end());
    pass->windowStart = windowStart_;
    backfill_ = std::move(pass);
}

bool HistoryRecorder::Backfilled(const HistoryPlace& place,
                                 const std::vector<HistoryPlace>& places) const {
    if (backfilled_.count(Marker(place.name, place.account))) return true;
    // Read before logins were told apart: that reading was the default login's.
    if (!backfilled_.count(place.name)) return false;
    for (const LedgerTool tool : {LedgerTool::kClaude, LedgerTool::kCodex}) {
        if (UnnamedOwnerOf(places, place.name, tool) == &place) return true;
    }
    return false;
}

void HistoryRecorder::FinishBackfillFile() {
    Backfill& pass = *backfill_;
    const std::string& account = pass.files[pass.next].account;
    for (const LedgerRecord* record : CountedCopies(pass.fileRecords)) {
        if (!record->identity.empty() && !pass.seen.insert(record->identity).second) continue;
        const std::string day = DayFromNumber(DayNumberOf(record->time));
        AddLedgerTotals(
            pass.sums[{day, record->tool, record->place, record->project, record->model, account}],
            record->totals);
        pass.touched.insert(day);
    }
    pass.bytesDone += pass.files[pass.next].size;
    ++pass.next;
    pass.consumed = 0;
    pass.inLongLine = false;
    pass.claude.reset();
    pass.codex.reset();
    pass.fileRecords.clear();
}

bool HistoryRecorder::WriteBackfill(bool complete) {
    Backfill& pass = *backfill_;
    LedgerWrite write;
    if (!pass.touched.empty()) {
        std::vector<LedgerRow> fromLogs;
        for (const auto& [key, totals] : pass.sums) {
            if (pass.touched.count(key.day)) fromLogs.push_back({key, totals, {}});
        }
        const std::optional<std::vector<LedgerRow>> stored =
            store_->Rows(*pass.touched.begin(), *pass.touched.rbegin());
        if (!stored) return false;
        LedgerChange change =
            PlanAdoptingLedgerChange(fromLogs, *stored, pass.touched, {}, OwnerFor(places_));
        write.upserts = std::move(change.upsert);
        for (LedgerKey& key : change.remove) write.deletes.push_back(std::move(key));
    }
    std::set<std::string> done = backfilled_;
    if (complete) {
        done.insert(pass.places.begin(), pass.places.end());
        write.meta.emplace_back(kBackfilledKey, Join(done));
    }
    if (!write.empty() && !store_->Apply(write)) return false;
    pass.touched.clear();
    if (complete) backfilled_ = std::move(done);
    if (!write.upserts.empty()) publishedDay_ = 0;
    return true;
}

bool HistoryRecorder::ReadHistorySlice(int64_t now, uint64_t budget) {
    if (!backfill_ || !store_ || !store_->writable()) return false;
    Backfill& pass = *backfill_;
    uint64_t read = 0;
    const auto keep = [&](const LedgerRecord& parsed) {
        if (DayNumberOf(parsed.time) < pass.windowStart) pass.fileRecords.push_back(parsed);
    };
    const auto parse = [&](std::string_view lines) {
        ReadRecords(lines, pass.claude.get(), pass.codex.get(), keep);
    };
    while (pass.next < pass.files.size() && read < budget && !(stop_ && stop_->load())) {
        const Backfill::File& file = pass.files[pass.next];
        if (!pass.claude && !pass.codex) {
            if (file.tool == LedgerTool::kClaude)
                pass.claude = std::make_unique<ClaudeLedgerReader>(file.place);
            else
                pass.codex = std::make_unique<CodexTurnReader>(file.place);
        }
        // A slice ends inside a file at a line's end; a line longer than what is left of the
        // budget is read whole.
        const auto readUpTo = [&](uint64_t room) {
            const uint64_t end = file.size - pass.consumed > room ? pass.consumed + room : file.size;
            return std::pair(end, ReadAppendedLines(file.path, pass.consumed, end, pass.inLongLine,
                                                    buffer_, parse));
        };
        // Read in steps, so that a quit is seen within one step even inside a large file.
        uint64_t room = std::min(budget - read, kHistoryReadStep);
        auto [end, part] = readUpTo(room);
        while (part.opened && !part.failed && part.consumed == 0 && end < file.size &&
               room <= kMaxLogLineBytes) {
            room *= 2;
            std::tie(end, part) = readUpTo(room);
        }
        read += std::max<uint64_t>(part.bytesRead, 1);
        pass.consumed += part.consumed;
        pass.inLongLine = part.inLongLine;
        // Gone, unreadable, or read to its end (a last line without its newline is not whole).
        if (!part.opened || part.failed || end == file.size) FinishBackfillFile();
    }
    if (stop_ && stop_->load())
        return true;  // quitting: what this slice read is read again at the next start
    const bool complete = pass.next >= pass.files.size();
    if (WriteBackfill(complete) && complete) {
        state_.historyBytesRead = state_.historyBytesTotal = pass.bytesTotal;
        backfill_.reset();
    }
    Publish(DayNumberOf(now));
    return backfill_ != nullptr;
}

void HistoryRecorder::Publish(int64_t today) {
    state_.readingHistory = backfill_ != nullptr;
    if (backfill_) {
        state_.historyBytesTotal = backfill_->bytesTotal;
        state_.historyBytesRead = std::min(backfill_->bytesDone + backfill_->consumed,
                                           backfill_->bytesTotal);
    }
    if (!store_ || publishedDay_ == today) return;
    const std::optional<std::vector<LedgerRow>> week =
        store_->Rows(DayFromNumber(today - 6), DayFromNumber(today));
    const std::optional<bool> any = store_->HasRows();
    if (!week || !any) return;
    const std::string todayText = DayFromNumber(today);
    state_.hasRows = *any;
    state_.claudeTodayDollars = state_.claudeSevenDayDollars = 0;
    for (const LedgerRow& row : *week) {
        if (row.key.tool != LedgerTool::kClaude) continue;
        state_.claudeSevenDayDollars += row.totals.dollars;
        if (row.key.day == todayText) state_.claudeTodayDollars += row.totals.dollars;
    }
    publishedDay_ = today;
}

std::vector<HistoryPlace> HistoryPlacesOf(const std::vector<LogPlace>& places,
                                          const std::vector<std::wstring>& unread,
                                          const std::vector<std::wstring>& unfinished) {
    std::vector<HistoryPlace> result;
    for (const LogPlace& place : places) {
        HistoryPlace& out = result.emplace_back();
        out.name = WideToUtf8(place.name);  // one login a place: no account named
        out.claudeRoots = place.claudeRoots;
        out.codexFolders = place.codexFolders;
        out.read = !place.notRead;
        for (const auto* roots : {&place.claudeRoots, &place.codexFolders}) {
            for (const std::wstring& root : *roots) {
                for (const std::wstring& folder : unread)
                    if (folder == root || IsBelow(folder, root)) out.read = false;
                for (const std::wstring& slow : unfinished)
                    if (slow == root) out.read = false;
            }
        }
    }
    return result;
}
