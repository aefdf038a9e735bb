#include "codex/codex_scanner.h"

#include <algorithm>
#include <ctime>

#include "core/foreign_text.h"
#include "core/log_files.h"
#include "core/walk_gate.h"
#include "platform/file_walk.h"
#include "platform/system.h"
#include "platform/wsl_system.h"

namespace {

CodexWindow AsOf(CodexWindow window, int64_t now) {
    if (window.present && window.resetsAt != 0 && window.resetsAt <= now) {
        window.usedPercent = 0;  // the window has reset since the event
    }
    return window;
}

// Keeps `event` as its bucket's newest in `buckets` (a new bucket only while there is room).
void NoteBucket(std::vector<CodexBucket>& buckets, const CodexEvent& event) {
    const std::string_view id = event.limitId.substr(0, kMaxBucketIdBytes);
    auto bucket = std::find_if(buckets.begin(), buckets.end(),
                               [&](const CodexBucket& b) { return b.id == id; });
    if (bucket == buckets.end()) {
        if (buckets.size() >= kMaxBucketsPerFile) return;
        bucket = buckets.insert(buckets.end(), CodexBucket{std::string(id), {}, 0, {}, {}});
    } else if (event.time < bucket->time) {
        return;
    }
    bucket->label = CodexBucketLabel(event.limitName, id);
    bucket->time = event.time;
    bucket->primary = event.primary;
    bucket->secondary = event.secondary;
}

// The newest figures of each model bucket over all files, ordered by label (then id).
template <typename Counts>
std::vector<CodexBucket> NewestBuckets(const std::map<std::wstring, CodexFileState>& files,
                                       int64_t now, const Counts& counts) {
    std::vector<CodexBucket> newest;
    for (const auto& [path, state] : files) {
        if (!counts(path)) continue;
        for (const CodexBucket& bucket : state.buckets) {
            auto known = std::find_if(newest.begin(), newest.end(),
                                      [&](const CodexBucket& b) { return b.id == bucket.id; });
            if (known == newest.end()) {
                newest.push_back(bucket);
            } else if (bucket.time > known->time) {
                *known = bucket;
            }
        }
    }
    for (CodexBucket& bucket : newest) {
        bucket.primary = AsOf(bucket.primary, now);
        bucket.secondary = AsOf(bucket.secondary, now);
    }
    std::sort(newest.begin(), newest.end(), [](const CodexBucket& a, const CodexBucket& b) {
        return a.label != b.label ? a.label < b.label : a.id < b.id;
    });
    return newest;
}

}  // namespace

std::wstring CodexBucketLabel(std::string_view name, std::string_view id) {
    return PrintableLabel(name.empty() ? id : name, kMaxBucketLabelChars);
}

CodexLimits CodexScanner::Scan(const std::wstring& sessions, int64_t now, int64_t clockNow) {
    return Scan(std::vector<std::wstring>{sessions}, now, clockNow);
}

CodexLimits CodexScanner::Scan(const std::vector<std::wstring>& folders, int64_t now,
                               int64_t clockNow, const std::vector<bool>* walk) {
    found_ = false;
    const int64_t cutoff = clockNow - kLogLookbackSeconds;
    struct SlowRead {
        int64_t time;
        std::wstring path;
        uint64_t size;
    };
    std::vector<SlowRead> slowReads;
    unfinished_.clear();
    uint64_t budget = kSlowReadBudget;  // for all slow folders together
    for (size_t f = 0; f < folders.size(); ++f) {
        const std::wstring& sessions = folders[f];
        if (walk && f < walk->size() && !(*walk)[f]) {  // not walked: what it gave stays
            found_ = found_ || PathExists(sessions);
            continue;
        }
        std::erase_if(unread_, [&](const std::wstring& folder) {
            return folder == sessions || IsBelow(folder, sessions);
        });
        if (!PathExists(sessions)) continue;
        found_ = true;
        const bool slow = IsSlowFolder(sessions);
        slowReads.clear();
        WalkRegularFiles(
            sessions,
            [&](const std::wstring& path, const WalkedFile& file) {
                if (!HasJsonlExtension(path) || file.lastWriteTime < cutoff ||
                    (stop_ && stop_->load())) {
                    return;
                }
                if (!slow) {
                    ReadFile(path, file.size, files_[path]);
                } else if (const auto known = files_.find(path);
                           known == files_.end() || known->second.sizeSeen != file.size) {
                    slowReads.push_back({file.lastWriteTime, path, file.size});
                }
            },
            [this](const std::wstring& folder) { unread_.push_back(folder); });
        // The newest sessions hold the figures that count: read first, as far as the budget goes.
        std::sort(slowReads.begin(), slowReads.end(),
                  [](const SlowRead& a, const SlowRead& b) { return a.time > b.time; });
        for (const SlowRead& read : slowReads) {
            CodexFileState& state = files_[read.path];
            const uint64_t bytes = read.size > state.consumed ? read.size - state.consumed : read.size;
            if (!TakeFromBudget(bytes, budget, kSlowReadBudget)) {
                unfinished_.push_back(sessions);
                break;
            }
            ReadFile(read.path, read.size, state);
        }
    }
    return Current(now);
}

std::vector<size_t> CodexScanner::FilesWithFigures(const std::vector<std::wstring>& folders) const {
    std::vector<size_t> counts(folders.size(), 0);
    for (const auto& [path, state] : files_) {
        if (state.eventTime == 0 && state.buckets.empty()) continue;
        for (size_t i = 0; i < folders.size(); ++i) {
            if (IsBelow(path, folders[i])) {
                ++counts[i];
                break;
            }
        }
    }
    return counts;
}

namespace {

// The newest figures of the files that `counts` takes.
template <typename Counts>
CodexLimits NewestOf(const std::map<std::wstring, CodexFileState>& files, int64_t now, bool found,
                     const Counts& counts) {
    CodexLimits limits;
    if (!found) {
        return limits;
    }
    limits.found = true;
    const CodexFileState* newest = nullptr;
    for (const auto& [path, state] : files) {
        if (state.eventTime > (newest ? newest->eventTime : 0) && counts(path)) {
            newest = &state;
        }
    }
    if (newest) {
        limits.primary = AsOf(newest->primary, now);
        limits.secondary = AsOf(newest->secondary, now);
        limits.updatedAt = newest->eventTime;
    }
    limits.buckets = NewestBuckets(files, now, counts);
    return limits;
}

}  // namespace

CodexLimits CodexScanner::Current(int64_t now) const {
    return NewestOf(files_, now, found_, [](const std::wstring&) { return true; });
}

CodexLimits CodexScanner::CurrentBelow(const std::vector<std::wstring>& folders, int64_t now,
                                       bool found) const {
    return NewestOf(files_, now, found, [&](const std::wstring& path) {
        return std::any_of(folders.begin(), folders.end(),
                           [&](const std::wstring& folder) { return IsBelow(path, folder); });
    });
}

void CodexScanner::ReadFile(const std::wstring& path, uint64_t size, CodexFileState& state) {
    if (size == state.sizeSeen) {
        return;
    }
    if (size < state.consumed) {  // truncated or replaced: from the start, keeping the event time
        state.consumed = 0;
        state.sizeSeen = 0;
        state.inLongLine = false;
    }
    const AppendedRead read = ReadAppendedLines(
        path, state.consumed, size, state.inLongLine, buffer_, [&](std::string_view lines) {
            ForEachLineWith(lines, kRateLimitsKey, [&](std::string_view line, size_t at) {
                CodexEvent event;
                if (!ParseCodexEventLine(line, at, event)) return;
                if (!IsAccountBucket(event.limitId)) {
                    NoteBucket(state.buckets, event);  // a model's bucket: never the account's
                } else if (event.time >= state.eventTime) {
                    // A later line with the same time replaces an earlier one.
                    state.eventTime = event.time;
                    state.primary = event.primary;
                    state.secondary = event.secondary;
                }
            });
        });
    if (!read.opened) {
        return;  // the size still differs, so the next scan tries again
    }
    state.consumed += read.consumed;
    state.inLongLine = read.inLongLine;
    state.sizeSeen = read.failed ? state.consumed : size;  // a failed read is tried again
}

std::wstring CodexSessionsFolder(const std::wstring& codexHome, const std::wstring& userProfile,
                                 const std::wstring& home) {
    std::filesystem::path folder;
    if (!codexHome.empty()) {
        folder = PathFromWide(codexHome);
    } else {
        folder = PathFromWide(userProfile.empty() ? home : userProfile) / ".codex";
    }
    return WideFromPath(folder / "sessions");
}

CodexLimits ScanCodexFolders(CodexScanner& scanner, const std::vector<std::wstring>& folders,
                             int64_t now, WalkGate* gate) {
    const int64_t clockNow = static_cast<int64_t>(std::time(nullptr));
    if (!gate) return scanner.Scan(folders, now, clockNow);
    const std::vector<bool> due = gate->RootsDue(folders, now);
    if (std::find(due.begin(), due.end(), true) == due.end()) return scanner.Current(now);
    try {
        CodexLimits limits = scanner.Scan(folders, now, clockNow, &due);
        for (const std::wstring& folder : scanner.unfinishedFolders()) gate->WalkAgain(folder);
        return limits;
    } catch (...) {
        gate->WalkFailed();
        throw;
    }
}

CodexLimits ScanCodexLimits(CodexScanner& scanner, int64_t now, WalkGate* gate) {
    const std::wstring sessions = CodexSessionsFolder(ReadEnvironment(L"CODEX_HOME"),
                                                      ReadUserProfile(), ReadEnvironment(L"HOME"));
    return ScanCodexFolders(scanner, {sessions}, now, gate);
}
