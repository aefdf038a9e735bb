#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "codex/codex_event.h"
#include "core/source_lines.h"
#include "core/walk_gate.h"

// A model's own rate-limit bucket, which Codex reports beside the account's (such as
// "codex_bengalfox", "GPT-5.3-Codex-Spark"). It never stands in for the account's figures.
struct CodexBucket {
    std::string id;      // its "limit_id", at most kMaxBucketIdBytes
    std::wstring label;  // its "limit_name", else its id; at most kMaxBucketLabelChars, printable
    int64_t time = 0;    // its newest event
    CodexWindow primary;
    CodexWindow secondary;
};

// Foreign text is kept short: an id, a label on screen, and so many buckets a file.
inline constexpr size_t kMaxBucketIdBytes = 64;
inline constexpr size_t kMaxBucketLabelChars = 40;
inline constexpr size_t kMaxBucketsPerFile = 8;

// The label shown for a bucket: the name's text (the id's when there is no name), without
// control characters, cut to kMaxBucketLabelChars.
std::wstring CodexBucketLabel(std::string_view name, std::string_view id);

// What the scanner remembers of one Codex session file. Entries are never dropped: a file that
// was deleted or has gone quiet still competes with the event it held.
struct CodexFileState {
    uint64_t sizeSeen = 0;
    uint64_t consumed = 0;   // bytes parsed so far: the end of a complete line, or of the part
                             // of an over-long line skipped so far
    bool inLongLine = false; // `consumed` lies inside an over-long line
    int64_t eventTime = 0;   // the newest accepted event of the file; 0 = none yet
    CodexWindow primary;     // that event's windows, as parsed
    CodexWindow secondary;
    std::vector<CodexBucket> buckets;  // the newest event of each model bucket in the file
};

// The result of one Codex scan.
struct CodexLimits {
    bool found = false;  // the sessions folder exists
    CodexWindow primary;
    CodexWindow secondary;
    int64_t updatedAt = 0;  // time of the event that supplied the windows; 0 = none
    std::vector<CodexBucket> buckets;  // model buckets, newest figures of each, by label
    std::vector<SourceLine> sources;   // the places read, and how many files gave figures
};

// Reads Codex's session logs incrementally and reports the newest rate-limit event.
class CodexScanner {
public:
    // Scans `sessions` (files last written more than 8 days before `clockNow`, the wall clock
    // in Unix seconds, are not opened); windows that have reset by `now` report 0 percent.
    CodexLimits Scan(const std::wstring& sessions, int64_t now, int64_t clockNow);
    // The same for several sessions folders (this computer's, each WSL home's): the newest event
    // of all wins. Slow folders (shares, WSL's) give at most kSlowReadBudget bytes a scan,
    // newest files first.
    // With `walk`, only the folders it marks are walked; what the others gave stays.
    CodexLimits Scan(const std::vector<std::wstring>& folders, int64_t now, int64_t clockNow,
                     const std::vector<bool>* walk = nullptr);

    // How many files below each of `folders` gave the account's or a bucket's figures.
    std::vector<size_t> FilesWithFigures(const std::vector<std::wstring>& folders) const;
    // What the files read so far give at `now`, without walking or reading.
    CodexLimits Current(int64_t now) const;
    // The same of the files below `folders` only (one login's), `found` as its caller knows.
    CodexLimits CurrentBelow(const std::vector<std::wstring>& folders, int64_t now,
                             bool found) const;

    // Once `stop` is set, a scan opens no further file (the program is quitting).
    void StopWhen(const std::atomic<bool>* stop) { stop_ = stop; }

    const std::map<std::wstring, CodexFileState>& files() const { return files_; }
    // The slow folders whose bytes the last scan left for the next.
    const std::vector<std::wstring>& unfinishedFolders() const { return unfinished_; }
    // The folders that the last walk of their sessions folder could not list (access denied,
    // say).
    const std::vector<std::wstring>& unreadFolders() const { return unread_; }

private:
    void ReadFile(const std::wstring& path, uint64_t size, CodexFileState& state);

    const std::atomic<bool>* stop_ = nullptr;
    std::map<std::wstring, CodexFileState> files_;
    std::vector<char> buffer_;
    bool found_ = false;  // the sessions folder existed at the last scan
    std::vector<std::wstring> unfinished_;
    std::vector<std::wstring> unread_;
};

// The sessions folder: CODEX_HOME, else USERPROFILE (or HOME when that is empty) joined with
// ".codex", then "sessions".
std::wstring CodexSessionsFolder(const std::wstring& codexHome, const std::wstring& userProfile,
                                 const std::wstring& home);

// Scans `folders` with `scanner`; with a `gate`, only when it says that something there changed.
CodexLimits ScanCodexFolders(CodexScanner& scanner, const std::vector<std::wstring>& folders,
                             int64_t now, WalkGate* gate = nullptr);

// The same for the sessions folder of this process's environment.
CodexLimits ScanCodexLimits(CodexScanner& scanner, int64_t now, WalkGate* gate = nullptr);
