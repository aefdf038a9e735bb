#include "claude_logs/log_scanner.h"

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <thread>

#include "core/log_files.h"
#include "platform/file_walk.h"
#include "platform/system.h"
#include "platform/wsl_system.h"

namespace {

// Below this much to read, a second thread costs more than it saves.
constexpr uint64_t kParallelReadBytes = 16 << 20;

// Bytes a pending read still has to read (all of a file that shrank).
uint64_t BytesToRead(const PendingRead& read) {
    return read.size > read.state->consumed ? read.size - read.state->consumed : read.size;
}

// One reader's working memory: its buffer (which holds at most one partial line between reads),
// the records of the file it is reading, and what it did.
struct LogReader {
    std::vector<char>& buffer;
    std::vector<ClaudeLogRecord>& parsed;
    const ClaudeLogScanner& scanner;
    ClaudeScanStats stats;
    bool recordsChanged = false;
    ModelPriceCache prices;
};

// Adds a read's records to the file's. A file's first read sizes its vector exactly: most files
// are never written again, and no slack is kept for the life of the process. A file that grows
// again is being written, and its vector grows by doubling, not by a copy on every scan.
void AppendRecords(std::vector<ClaudeLogRecord>& records,
                   const std::vector<ClaudeLogRecord>& parsed) {
    if (records.empty()) records.reserve(parsed.size());
    records.insert(records.end(), parsed.begin(), parsed.end());
}

// Reads what was appended to one file since the last scan: complete lines only, from the end of
// the last complete line; the whole file again when it shrank.
void ReadAppended(const PendingRead& pending, LogReader& reader) {
    ClaudeFileState& state = *pending.state;
    if (pending.size < state.consumed) {  // truncated or replaced: start again
        reader.recordsChanged = reader.recordsChanged || !state.records.empty();
        state.records.clear();
        state.sizeSeen = 0;
        state.consumed = 0;
        state.inLongLine = false;
    }
    reader.parsed.clear();
    AppendedRead read;
    try {
        const auto parseLines = [&](std::string_view lines) {
            ForEachLineWith(lines, kUsageKey, [&](std::string_view line, size_t usage) {
                ClaudeLogRecord record;
                if (ParseClaudeUsageLine(line, usage, record, &reader.prices)) {
                    reader.parsed.push_back(record);
                }
            });
        };
        read = ReadAppendedLines(*pending.path, state.consumed, pending.size, state.inLongLine,
                                 reader.buffer, parseLines);
        if (read.opened) AppendRecords(state.records, reader.parsed);
    } catch (const std::bad_alloc&) {
        // No memory for this file's records: forget them, so that a later scan reads it afresh
        // instead of counting part of it twice. Exceptions must not leave a reader thread.
        std::vector<ClaudeLogRecord>().swap(state.records);
        state.sizeSeen = state.consumed = 0;
        state.inLongLine = false;
        reader.recordsChanged = true;
        return;
    }
    if (!read.opened) {
        return;  // the size still differs, so the next scan tries again
    }
    ++reader.stats.filesOpened;
    reader.stats.bytesRead += read.bytesRead;
    reader.recordsChanged = reader.recordsChanged || !reader.parsed.empty();
    state.consumed += read.consumed;
    state.inLongLine = read.inLongLine;
    // After a failed read only what was read counts as seen, so the next scan reads on from
    // there even when the size stays the same.
    state.sizeSeen = read.failed ? state.consumed : pending.size;
}

// The keys kept so far, as an open-addressing table of indices into the kept records (plus
// one; 0 is free): four bytes a slot, so that a first scan takes little fresh memory for it.
class DedupIndex {
public:
    DedupIndex(std::vector<uint32_t>& slots, size_t expected) : slots_(slots) {
        size_t capacity = 16;
        while (capacity < expected * 2) capacity *= 2;
        slots_.assign(capacity, 0);
        mask_ = capacity - 1;
    }
    // The kept record with this key; nullptr when there is none yet, and the caller then keeps
    // the record, which becomes kept[kept.size()].
    const ClaudeLogRecord* Kept(const DedupKey& key, const std::vector<ClaudeLogRecord>& kept) {
        for (size_t i = static_cast<size_t>(key.low) & mask_;; i = (i + 1) & mask_) {
            const uint32_t slot = slots_[i];
            if (slot == 0) {
                slots_[i] = static_cast<uint32_t>(kept.size() + 1);
                return nullptr;
            }
            if (kept[slot - 1].dedupKey == key) return &kept[slot - 1];
        }
    }

private:
    std::vector<uint32_t>& slots_;
    size_t mask_ = 0;
};

bool KeyLess(const DedupKey& a, const DedupKey& b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}

// Sorts by time in place. The times of a scan lie within a few days of `oldest`, so the records
// are dealt into 2048 buckets of 2048 seconds by swapping (no second array, which a first scan
// would have to take fresh from the system), and each small bucket is then sorted on its own. A
// wider spread (clocks far off) falls back to a comparison sort. Equal times may come in any
// order; nothing depends on it.
void SortByTime(std::vector<ClaudeLogRecord>& records, int64_t oldest) {
    constexpr int kBits = 11;
    constexpr size_t kBuckets = size_t{1} << kBits;
    const auto byTime = [](const ClaudeLogRecord& a, const ClaudeLogRecord& b) {
        return a.time < b.time;
    };
    int64_t newest = oldest;
    for (const ClaudeLogRecord& r : records) newest = std::max(newest, r.time);
    if (static_cast<uint64_t>(newest - oldest) >= (uint64_t{1} << (2 * kBits))) {
        std::sort(records.begin(), records.end(), byTime);
        return;
    }
    const auto bucketOf = [oldest](const ClaudeLogRecord& r) {
        return static_cast<size_t>(static_cast<uint64_t>(r.time - oldest) >> kBits);
    };
    size_t start[kBuckets + 1] = {};
    for (const ClaudeLogRecord& r : records) ++start[bucketOf(r) + 1];
    for (size_t b = 1; b <= kBuckets; ++b) start[b] += start[b - 1];
    size_t next[kBuckets];
    std::copy(start, start + kBuckets, next);
    for (size_t b = 0; b < kBuckets; ++b) {
        while (next[b] < start[b + 1]) {  // swap the record at the bucket's front home
            ClaudeLogRecord& r = records[next[b]];
            const size_t home = bucketOf(r);
            if (home == b) {
                ++next[b];
            } else {
                std::swap(r, records[next[home]++]);
            }
        }
    }
    for (size_t b = 0; b < kBuckets; ++b) {
        if (start[b + 1] - start[b] > 1) {
            std::sort(records.begin() + static_cast<ptrdiff_t>(start[b]),
                      records.begin() + static_cast<ptrdiff_t>(start[b + 1]), byTime);
        }
    }
}

// Hands the reads a walk finds to the readers as they are found, each to exactly one reader: a
// large first scan reads on a second thread while it is still walking.
class ReadQueue {
public:
    explicit ReadQueue(std::vector<PendingRead>& reads) : reads_(reads) { reads_.clear(); }

    void Add(const PendingRead& read) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            reads_.push_back(read);
        }
        changed_.notify_one();
    }

    // No more reads will come.
    void Close() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
    }

    // The next read not taken yet, waiting for the walk; false once it is closed and all are taken.
    bool Take(PendingRead& read) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return next_ < reads_.size() || closed_; });
        if (next_ == reads_.size()) return false;
        read = reads_[next_++];
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<PendingRead>& reads_;
    size_t next_ = 0;
    bool closed_ = false;
};

// Takes every queued read; once the scanner is told to stop, the rest are passed over unread.
void ReadQueued(ReadQueue& queue, LogReader& reader) {
    PendingRead read;
    while (queue.Take(read)) {
        if (!reader.scanner.Stopped()) ReadAppended(read, reader);
    }
}

// The second reader of a large scan. Closing the queue and joining on every path, an exception
// from the walk included, keeps its thread from outliving what it reads.
class HelperReader {
public:
    HelperReader(ReadQueue& queue, LogReader& reader) : queue_(queue), reader_(reader) {}
    ~HelperReader() { Finish(); }

    void Start() {
        if (started_) return;
        started_ = true;
        try {
            thread_ = std::thread(ReadQueued, std::ref(queue_), std::ref(reader_));
        } catch (...) {
            // no thread to be had: the main thread reads everything
        }
    }

    void Finish() {
        queue_.Close();
        if (thread_.joinable()) thread_.join();
    }

private:
    ReadQueue& queue_;
    LogReader& reader_;
    std::thread thread_;
    bool started_ = false;
};

}  // namespace

const ClaudeLogSelection& ClaudeLogScanner::Scan(const std::vector<std::wstring>& roots,
                                                 int64_t now, int64_t clockNow,
                                                 const std::vector<bool>* walk) {
    ++scanCount_;
    stats_ = {};
    fileCutoff_ = clockNow - kLogLookbackSeconds;
    unlisted_.clear();
    bool found = false;
    LogReader main{buffer_, parsed_, *this, {}, false, {}};
    std::vector<char> helperBuffer;
    std::vector<ClaudeLogRecord> helperParsed;
    LogReader helper{helperBuffer, helperParsed, *this, {}, false, {}};
    {
        ReadQueue queue(pending_);
        // Once a scan has much to read, a second thread reads while the walk goes on. The walk adds
        // entries to files_ meanwhile; map entries never move, and each is read by one reader.
        HelperReader second(queue, helper);
        uint64_t toRead = 0;
        uint64_t slowBudget = slowBudget_;
        unfinished_.clear();
        const auto add = [&](const PendingRead& read) {
            toRead += BytesToRead(read);  // before the file is a reader's
            queue.Add(read);
            if (toRead >= kParallelReadBytes) second.Start();
        };
        // A slow root's reads, newest first, as far as the scan's budget goes; a file left over
        // keeps its old size, so a later scan reads it.
        std::vector<std::pair<int64_t, PendingRead>> slowReads;
        try {
            for (size_t r = 0; r < roots.size(); ++r) {
                const std::wstring& root = roots[r];
                if (walk && r < walk->size() && !(*walk)[r]) {
                    unlisted_.push_back(root);  // not walked this time: its files stay as they are
                    found = found || PathExists(root);
                    continue;
                }
                std::erase_if(unread_, [&](const std::wstring& folder) {
                    return folder == root || IsBelow(folder, root);
                });
                if (!PathExists(root)) {
                    continue;
                }
                found = true;
                const bool slow = slow_ ? slow_(root) : IsSlowFolder(root);
                slowReads.clear();
                walk_(
                    root,
                    [&](const std::wstring& path, const WalkedFile& file) {
                        if (Stopped()) return;
                        PendingRead read;
                        if (!VisitFile(path, file.size, file.lastWriteTime, read)) return;
                        if (slow) {
                            slowReads.emplace_back(file.lastWriteTime, read);
                        } else {
                            add(read);
                        }
                    },
                    [this](const std::wstring& folder) {
                        unlisted_.push_back(folder);
                        unread_.push_back(folder);
                    });
                std::sort(slowReads.begin(), slowReads.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
                for (const auto& [time, read] : slowReads) {
                    if (!TakeFromBudget(BytesToRead(read), slowBudget, slowBudget_)) {
                        unfinished_.push_back(root);
                        break;
                    }
                    add(read);
                }
            }
        } catch (...) {
            // What the second reader has read meanwhile joins the next scan's selection.
            recordsChanged_ = true;
            ++recordsVersion_;
            throw;
        }
        queue.Close();
        ReadQueued(queue, main);
        second.Finish();
    }
    stats_.filesOpened = main.stats.filesOpened + helper.stats.filesOpened;
    stats_.bytesRead = main.stats.bytesRead + helper.stats.bytesRead;
    recordsChanged_ = recordsChanged_ || main.recordsChanged || helper.recordsChanged;
    if (main.recordsChanged || helper.recordsChanged) ++recordsVersion_;
    if (Stopped()) {
        return selection_;  // files the walk passed over are not gone
    }
    Prune();
    Select(now);
    selection_.found = found;
    return selection_;
}

std::vector<size_t> ClaudeLogScanner::FilesWithRecords(const std::vector<std::wstring>& roots) const {
    std::vector<size_t> counts(roots.size(), 0);
    for (size_t i = 0; i < roots.size(); ++i) {
        for (auto it = files_.lower_bound(roots[i]);
             it != files_.end() && it->first.starts_with(roots[i]); ++it) {
            if (it->second.records.empty() || !IsBelow(it->first, roots[i])) continue;
            bool earlier = false;
            for (size_t j = 0; j < i && !earlier; ++j) earlier = IsBelow(it->first, roots[j]);
            if (!earlier) ++counts[i];
        }
    }
    return counts;
}

const ClaudeLogSelection& ClaudeLogScanner::Reselect(int64_t now) {
    Select(now);
    return selection_;
}

// Forgets the files this scan did not find: deleted, too old, or no longer under a root. Files
// in a folder that could not be listed this time (or a root not walked) are kept as they are;
// they were not seen to go.
void ClaudeLogScanner::Prune() {
    for (const std::wstring& folder : unlisted_) {
        for (auto it = files_.lower_bound(folder); it != files_.end() && it->first.starts_with(folder);
             ++it) {
            if (IsBelow(it->first, folder)) it->second.lastSeenScan = scanCount_;
        }
    }
    const size_t before = files_.size();
    std::erase_if(files_, [&](const auto& entry) { return entry.second.lastSeenScan != scanCount_; });
    recordsChanged_ = recordsChanged_ || files_.size() != before;
    if (files_.size() != before) ++recordsVersion_;
}

bool ClaudeLogScanner::VisitFile(const std::wstring& path, uint64_t size, int64_t lastWriteTime,
                                 PendingRead& read) {
    if (!HasJsonlExtension(path) || IsAuditLog(path) || lastWriteTime < fileCutoff_) {
        return false;
    }
    auto [entry, added] = files_.try_emplace(path);
    ClaudeFileState& state = entry->second;
    if (state.lastSeenScan == scanCount_) {
        return false;  // reached again from another root: one read per scan, one reader per file
    }
    state.lastSeenScan = scanCount_;
    if (size == state.sizeSeen) {
        return false;  // an unchanged size: the file is not even opened
    }
    read = {&entry->first, size, &state};
    return true;
}

void ClaudeLogScanner::Select(int64_t now) {
    const int64_t oldest = now - kLogLookbackSeconds;
    if (!recordsChanged_ && oldest >= selectedFrom_) {
        if (oldest <= nextCrossing_) {
            return;  // the same records pass the same tests as last time
        }
        // Only time moved on: the records that crossed the 8-day line lead the sorted selection.
        std::vector<ClaudeLogRecord>& kept = selection_.records;
        const auto firstKept = std::lower_bound(
            kept.begin(), kept.end(), oldest,
            [](const ClaudeLogRecord& record, int64_t time) { return record.time < time; });
        // A crossing record whose copy was passed over at a later time hands its place to that
        // copy, which only a full selection finds.
        const bool twinStays = std::any_of(kept.begin(), firstKept, [&](const ClaudeLogRecord& r) {
            return !r.dedupKey.empty() &&
                   std::binary_search(laterTwins_.begin(), laterTwins_.end(), r.dedupKey, KeyLess);
        });
        if (!twinStays) {
            kept.erase(kept.begin(), firstKept);
            selectedFrom_ = oldest;
            nextCrossing_ = kept.empty() ? INT64_MAX : kept.front().time;
            return;
        }
    }
    size_t total = 0;
    for (const auto& [path, state] : files_) total += state.records.size();

    std::vector<ClaudeLogRecord>& kept = selection_.records;
    kept.clear();
    // Room to grow: while Claude Code writes, nearly every scan selects a few records more, and
    // an exact fit would move the whole selection into fresh memory each time.
    if (kept.capacity() < total) kept.reserve(total + total / 4);
    DedupIndex dedup(dedupSlots_, total);
    laterTwins_.clear();
    int64_t nextCrossing = INT64_MAX;
    for (const auto& [path, state] : files_) {
        for (const ClaudeLogRecord& record : state.records) {
            if (record.time < oldest) continue;
            nextCrossing = std::min(nextCrossing, record.time);
            if (!record.dedupKey.empty()) {
                if (const ClaudeLogRecord* first = dedup.Kept(record.dedupKey, kept)) {
                    if (record.time > first->time) laterTwins_.push_back(record.dedupKey);
                    continue;
                }
            }
            kept.push_back(record);
        }
    }
    std::sort(laterTwins_.begin(), laterTwins_.end(), KeyLess);
    SortByTime(kept, oldest);
    recordsChanged_ = false;
    selectedFrom_ = oldest;
    nextCrossing_ = nextCrossing;
}
