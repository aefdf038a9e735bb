#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "claude_logs/log_record.h"
#include "core/log_files.h"
#include "platform/file_walk.h"

// What the scanner remembers of one log file between scans.
struct ClaudeFileState {
    uint64_t sizeSeen = 0;  // file size at the last read
    uint64_t consumed = 0;  // bytes parsed so far; the end of a complete line, or of the part
                            // of an over-long line skipped so far
    bool inLongLine = false;  // `consumed` lies inside an over-long line
    std::vector<ClaudeLogRecord> records;  // parsed so far, in file order
    uint64_t lastSeenScan = 0;  // the scan that last found the file; older entries are pruned
};

// The records one scan works on: those of the last 8 days, de-duplicated, in time order.
struct ClaudeLogSelection {
    bool found = false;  // at least one log root exists
    std::vector<ClaudeLogRecord> records;
};

// A file whose size changed since the last scan, to be read.
struct PendingRead {
    const std::wstring* path = nullptr;
    uint64_t size = 0;
    ClaudeFileState* state = nullptr;
};

// What the last scan cost: how many files it opened and how many bytes it read.
struct ClaudeScanStats {
    size_t filesOpened = 0;
    uint64_t bytesRead = 0;
};

// Reads Claude Code's logs incrementally: each scan opens only files that changed size since
// the last one, reads only their appended complete lines, and starts a file again when it
// shrinks. One instance keeps its memory for the life of the process.
class ClaudeLogScanner {
public:
    using Walk = std::function<void(const std::wstring& root, const VisitFile& visit,
                                    const VisitUnlisted& unlisted)>;
    // `walk` lists the files below a root; tests pass a fake.
    explicit ClaudeLogScanner(Walk walk = WalkRegularFiles) : walk_(std::move(walk)) {}

    // Walks `roots` in order; files last written more than 8 days before `clockNow` (the wall
    // clock, Unix seconds) are skipped and forgotten. Records older than 8 days before `now` are
    // left out of the selection. The result stays valid until the next scan.
    // With `walk`, only the roots it marks are walked; the files of the others are kept as they
    // are, unread.
    const ClaudeLogSelection& Scan(const std::vector<std::wstring>& roots, int64_t now,
                                   int64_t clockNow, const std::vector<bool>* walk = nullptr);

    // The last scan's records selected again for `now`, without walking or reading: for a cycle in
    // which no log changed.
    const ClaudeLogSelection& Reselect(int64_t now);

    // What the last scan selected.
    const ClaudeLogSelection& Selection() const { return selection_; }

    // Once `stop` is set, a scan reads no further file and leaves its memory as it was; the
    // program sets it when it quits, so that a scan of gigabytes does not hold the exit up.
    void StopWhen(const std::atomic<bool>* stop) { stop_ = stop; }
    bool Stopped() const { return stop_ && stop_->load(); }

    // The per-file memory, ordered by full path.
    const std::map<std::wstring, ClaudeFileState>& files() const { return files_; }

    // How many files below each of `roots` hold records (a file below two roots counts for the
    // first).
    std::vector<size_t> FilesWithRecords(const std::vector<std::wstring>& roots) const;

    // Roots on slow file systems (WSL's, shares) are read at most kSlowReadBudget bytes a scan,
    // their newest files first; the rest waits for the following scans. By default the roots
    // the system says are slow.
    void SlowRootsAre(std::function<bool(const std::wstring& root)> slow,
                      uint64_t budget = kSlowReadBudget) {
        slow_ = std::move(slow);
        slowBudget_ = budget;
    }
    // The slow roots whose bytes the last scan left for the next.
    const std::vector<std::wstring>& unfinishedRoots() const { return unfinished_; }
    // The folders that the last walk of their root could not list (access denied, say): what
    // they held is kept, unread.
    const std::vector<std::wstring>& unreadFolders() const { return unread_; }
    const ClaudeScanStats& lastScanStats() const { return stats_; }
    // Rises whenever any file's records change (read, dropped or forgotten): a selection made
    // from files() at one value holds while it stays the same.
    uint64_t recordsVersion() const { return recordsVersion_; }

private:
    // True when the file is to be read, as `read`.
    bool VisitFile(const std::wstring& path, uint64_t size, int64_t lastWriteTime,
                   PendingRead& read);
    void Select(int64_t now);
    void Prune();

    Walk walk_;
    std::function<bool(const std::wstring& root)> slow_;
    uint64_t slowBudget_ = kSlowReadBudget;
    std::vector<std::wstring> unfinished_;
    const std::atomic<bool>* stop_ = nullptr;
    std::map<std::wstring, ClaudeFileState> files_;
    uint64_t scanCount_ = 0;
    ClaudeScanStats stats_;
    std::vector<char> buffer_;  // reused across files; holds at most one partial line between reads
    std::vector<ClaudeLogRecord> parsed_;  // the records of one read, before they join the file's
    int64_t fileCutoff_ = 0;
    std::vector<PendingRead> pending_;  // this scan's reads, in the order the walk found them
    std::vector<std::wstring> unlisted_;  // folders this scan could not list, or did not walk
    std::vector<std::wstring> unread_;

    // The last selection and what it depends on: it is reused while no file's records changed
    // and no record has crossed the 8-day line since.
    ClaudeLogSelection selection_;
    uint64_t recordsVersion_ = 0;
    bool recordsChanged_ = true;
    int64_t selectedFrom_ = 0;    // the record cut-off the selection was made with
    int64_t nextCrossing_ = 0;    // the oldest record time at or after that cut-off
    std::vector<uint32_t> dedupSlots_;
    // The ids of kept records of which the selection passed over a copy with a later time: when
    // such a record crosses the 8-day line, its copy takes its place.
    std::vector<DedupKey> laterTwins_;
};
