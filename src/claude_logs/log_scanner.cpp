#include "claude_logs/log_scanner.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <thread>

#include "core/log_files.h"
#include "platform/file_walk.h"
#include "platform/system.h"

namespace {

// Below this much to read, a second thread costs more than it saves.
constexpr uint64_t kParallelReadBytes = 16 << 20;

// Bytes a pending read still has to read (all of a file that shrank).
uint64_t BytesToRead(const PendingRead& read) {
    return read.size > read.state->consumed ? read.size - read.state->consumed : read.size;
}

// One reader's working memory: its buffer (which holds at most one partial line between reads)
// and what it did.
struct LogReader {
    std::vector<char>& buffer;
    ClaudeScanStats stats;
    bool recordsChanged = false;
};

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
    const size_t known = state.records.size();
    AppendedRead read;
    try {
        read = ReadAppendedLines(
        *pending.path, state.consumed, pending.size, state.inLongLine, reader.buffer, [&](std::string_view lines) {
            ForEachLineWith(lines, kUsageKey, [&](std::string_view line, size_t usage) {
                ClaudeLogRecord record;
                if (ParseClaudeUsageLine(line, usage, record)) {
                    state.records.push_back(record);
                }
            });
        });
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
    reader.recordsChanged = reader.recordsChanged || state.records.size() != known;
    state.consumed += read.consumed;
    state.inLongLine = read.inLongLine;
    state.sizeSeen = pending.size;
}

// The keys kept so far, as an open-addressing table of 32-bit tags and indices into the kept
// records: small enough to stay in the cache, where a table of whole keys would not.
class DedupIndex {
public:
    DedupIndex(std::vector<uint64_t>& slots, size_t expected) : slots_(slots) {
        size_t capacity = 16;
        while (capacity < expected * 2) capacity *= 2;
        slots_.assign(capacity, 0);
        mask_ = capacity - 1;
    }
    // True when no kept record has this key yet; the caller then keeps the record, which
    // becomes kept[kept.size()].
    bool IsFirst(const DedupKey& key, const std::vector<ClaudeLogRecord>& kept) {
        const uint64_t tag = key.low >> 32;
        for (size_t i = static_cast<size_t>(key.low) & mask_;; i = (i + 1) & mask_) {
            const uint64_t slot = slots_[i];
            if (slot == 0) {
                slots_[i] = (tag << 32) | (kept.size() + 1);
                return true;
            }
            if ((slot >> 32) == tag && kept[(slot & 0xFFFFFFFF) - 1].dedupKey == key) {
                return false;
            }
        }
    }

private:
    std::vector<uint64_t>& slots_;
    size_t mask_ = 0;
};

// Sorts by time into `out`. The times of a scan lie within a few days of `oldest`, so two
// counting passes over 11 bits each do it in linear time; a wider spread (clocks far off) falls
// back to a comparison sort. Equal times may come in any order; nothing depends on it.
void SortByTime(std::vector<ClaudeLogRecord>& records, int64_t oldest,
                std::vector<ClaudeLogRecord>& out) {
    constexpr int kBits = 11;
    constexpr size_t kBuckets = size_t{1} << kBits;
    int64_t newest = oldest;
    for (const ClaudeLogRecord& r : records) newest = std::max(newest, r.time);
    if (static_cast<uint64_t>(newest - oldest) >= (uint64_t{1} << (2 * kBits))) {
        std::sort(records.begin(), records.end(),
                  [](const ClaudeLogRecord& a, const ClaudeLogRecord& b) { return a.time < b.time; });
        out.swap(records);
        return;
    }
    out.resize(records.size());
    std::vector<ClaudeLogRecord>* from = &records;
    std::vector<ClaudeLogRecord>* to = &out;
    for (int pass = 0; pass < 2; ++pass) {
        const int shift = pass * kBits;
        size_t counts[kBuckets + 1] = {};
        for (const ClaudeLogRecord& r : *from) {
            ++counts[((static_cast<uint64_t>(r.time - oldest) >> shift) & (kBuckets - 1)) + 1];
        }
        for (size_t b = 1; b <= kBuckets; ++b) counts[b] += counts[b - 1];
        for (const ClaudeLogRecord& r : *from) {
            (*to)[counts[(static_cast<uint64_t>(r.time - oldest) >> shift) & (kBuckets - 1)]++] = r;
        }
        std::swap(from, to);
    }
    // After two passes the sorted records are back in `records`.
    out.swap(records);
}

void ReadAll(const std::vector<PendingRead>& reads, size_t first, size_t last, LogReader& reader) {
    for (size_t i = first; i < last; ++i) ReadAppended(reads[i], reader);
}

}  // namespace

const ClaudeLogSelection& ClaudeLogScanner::Scan(const std::vector<std::wstring>& roots,
                                                 int64_t now, int64_t clockNow) {
    ++scanCount_;
    stats_ = {};
    fileCutoff_ = clockNow - kLogLookbackSeconds;
    pending_.clear();
    unlisted_.clear();
    bool found = false;
    for (const std::wstring& root : roots) {
        if (!PathExists(root)) {
            continue;
        }
        found = true;
        walk_(
            root,
            [this](const std::wstring& path, const WalkedFile& file) {
                VisitFile(path, file.size, file.lastWriteTime);
            },
            [this](const std::wstring& folder) { unlisted_.push_back(folder); });
    }
    ReadPending();
    Prune();
    Select(now);
    selection_.found = found;
    return selection_;
}

// Forgets the files this scan did not find: deleted, too old, or no longer under a root. Files
// in a folder that could not be listed this time are kept as they are; they were not seen to go.
void ClaudeLogScanner::Prune() {
    const auto inUnlistedFolder = [this](const std::wstring& path) {
        for (const std::wstring& folder : unlisted_) {
            if (path.size() > folder.size() && path.starts_with(folder) &&
                (folder.back() == L'/' || folder.back() == L'\\' || path[folder.size()] == L'/' ||
                 path[folder.size()] == L'\\')) {
                return true;
            }
        }
        return false;
    };
    const size_t before = files_.size();
    std::erase_if(files_, [&](const auto& entry) {
        return entry.second.lastSeenScan != scanCount_ && !inUnlistedFolder(entry.first);
    });
    recordsChanged_ = recordsChanged_ || files_.size() != before;
}

void ClaudeLogScanner::VisitFile(const std::wstring& path, uint64_t size, int64_t lastWriteTime) {
    if (!HasJsonlExtension(path) || lastWriteTime < fileCutoff_) {
        return;
    }
    auto [entry, added] = files_.try_emplace(path);
    ClaudeFileState& state = entry->second;
    if (state.lastSeenScan == scanCount_) {
        return;  // reached again from another root: one read per scan, and one reader per file
    }
    state.lastSeenScan = scanCount_;
    if (size != state.sizeSeen) {  // an unchanged size: the file is not even opened
        pending_.push_back({&entry->first, size, &state});
    }
}

void ClaudeLogScanner::ReadPending() {
    uint64_t total = 0;
    for (const PendingRead& read : pending_) {
        total += BytesToRead(read);
    }
    LogReader main{buffer_, {}, false};
    size_t split = pending_.size();
    // A large first scan is shared with a second thread: the files are independent, and so are
    // their entries, which the walk has already created.
    std::vector<char> helperBuffer;
    LogReader helper{helperBuffer, {}, false};
    std::thread thread;
    if (total >= kParallelReadBytes && pending_.size() > 1) {
        uint64_t half = 0;
        for (split = 0; split < pending_.size() && half < total / 2; ++split) {
            half += BytesToRead(pending_[split]);
        }
        try {
            thread = std::thread(ReadAll, std::cref(pending_), split, pending_.size(),
                                 std::ref(helper));
        } catch (...) {
            split = pending_.size();  // no thread to be had: read everything here
        }
    }
    ReadAll(pending_, 0, split, main);
    if (thread.joinable()) {
        thread.join();
    }
    stats_.filesOpened = main.stats.filesOpened + helper.stats.filesOpened;
    stats_.bytesRead = main.stats.bytesRead + helper.stats.bytesRead;
    recordsChanged_ = recordsChanged_ || main.recordsChanged || helper.recordsChanged;
}

void ClaudeLogScanner::Select(int64_t now) {
    const int64_t oldest = now - kLogLookbackSeconds;
    if (!recordsChanged_ && oldest >= selectedFrom_ && oldest <= nextCrossing_) {
        return;  // the same records pass the same tests as last time
    }
    size_t total = 0;
    for (const auto& [path, state] : files_) total += state.records.size();

    std::vector<ClaudeLogRecord>& kept = sortScratch_;
    kept.clear();
    kept.reserve(total);
    DedupIndex dedup(dedupSlots_, total);
    int64_t nextCrossing = INT64_MAX;
    for (const auto& [path, state] : files_) {
        for (const ClaudeLogRecord& record : state.records) {
            if (record.time < oldest) continue;
            nextCrossing = std::min(nextCrossing, record.time);
            if (!record.dedupKey.empty() && !dedup.IsFirst(record.dedupKey, kept)) continue;
            kept.push_back(record);
        }
    }
    SortByTime(kept, oldest, selection_.records);
    recordsChanged_ = false;
    selectedFrom_ = oldest;
    nextCrossing_ = nextCrossing;
}
