#include "sources/login_estimate.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

#include "core/log_files.h"
#include "platform/file_walk.h"

namespace {

bool KeyLess(const DedupKey& a, const DedupKey& b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}

struct KeyHash {
    size_t operator()(const DedupKey& key) const { return static_cast<size_t>(key.low ^ key.high); }
};

bool AnyExists(const std::vector<std::wstring>& folders,
               const std::function<bool(const std::wstring&)>& exists) {
    return std::any_of(folders.begin(), folders.end(), [&](const std::wstring& folder) {
        return exists ? exists(folder) : PathExists(folder);
    });
}

}  // namespace

const ClaudeLogSelection& LoginRecords::Select(const ClaudeLogScanner& scanner,
                                               const std::vector<std::wstring>& roots,
                                               int64_t now) {
    const int64_t oldest = now - kLogLookbackSeconds;
    if (selected_ && version_ == scanner.recordsVersion() && roots == roots_ &&
        oldest >= selectedFrom_) {
        if (oldest <= nextCrossing_)
            return selection_;  // nothing changed, nothing crossed
        // Only time moved on: the records that crossed the 8-day line lead the selection, unless
        // one of them hands its place to a later copy, which only a full selection finds.
        std::vector<ClaudeLogRecord>& kept = selection_.records;
        const auto firstKept = std::lower_bound(
            kept.begin(), kept.end(), oldest,
            [](const ClaudeLogRecord& record, int64_t time) { return record.time < time; });
        const bool twinStays = std::any_of(kept.begin(), firstKept, [&](const ClaudeLogRecord& r) {
            return !r.dedupKey.empty() &&
                   std::binary_search(laterTwins_.begin(), laterTwins_.end(), r.dedupKey, KeyLess);
        });
        if (!twinStays) {
            kept.erase(kept.begin(), firstKept);
            selectedFrom_ = oldest;
            nextCrossing_ = kept.empty() ? INT64_MAX : kept.front().time;
            return selection_;
        }
    }
    roots_ = roots;
    SelectAll(scanner, now);
    return selection_;
}

void LoginRecords::SelectAll(const ClaudeLogScanner& scanner, int64_t now) {
    const int64_t oldest = now - kLogLookbackSeconds;
    const auto& files = scanner.files();
    // The login's files in path order, each once however many of its roots it lies below.
    using Entry = std::map<std::wstring, ClaudeFileState>::const_iterator;
    std::vector<Entry> mine;
    for (const std::wstring& root : roots_) {
        for (auto it = files.lower_bound(root); it != files.end() && it->first.starts_with(root);
             ++it) {
            if (IsBelow(it->first, root))
                mine.push_back(it);
        }
    }
    const auto byPath = [](const Entry& a, const Entry& b) { return a->first < b->first; };
    std::sort(mine.begin(), mine.end(), byPath);
    mine.erase(std::unique(mine.begin(), mine.end()), mine.end());

    std::vector<ClaudeLogRecord>& kept = selection_.records;
    kept.clear();
    laterTwins_.clear();
    std::unordered_map<DedupKey, size_t, KeyHash> first;  // key -> index in kept
    int64_t nextCrossing = INT64_MAX;
    for (const Entry& entry : mine) {
        for (const ClaudeLogRecord& record : entry->second.records) {
            if (record.time < oldest)
                continue;
            nextCrossing = std::min(nextCrossing, record.time);
            if (!record.dedupKey.empty()) {
                const auto [at, added] = first.try_emplace(record.dedupKey, kept.size());
                if (!added) {
                    if (record.time > kept[at->second].time)
                        laterTwins_.push_back(record.dedupKey);
                    continue;
                }
            }
            kept.push_back(record);
        }
    }
    std::sort(laterTwins_.begin(), laterTwins_.end(), KeyLess);
    std::stable_sort(
        kept.begin(), kept.end(),
        [](const ClaudeLogRecord& a, const ClaudeLogRecord& b) { return a.time < b.time; });
    selected_ = true;
    version_ = scanner.recordsVersion();
    selectedFrom_ = oldest;
    nextCrossing_ = nextCrossing;
}

ClaudeLogSummary EstimateLogin(LoginRecords& records, const ClaudeLogScanner& scanner,
                               const Login& login, int64_t now, AtomicDouble& maxblock,
                               LocalDays* days,
                               const std::function<bool(const std::wstring&)>& exists) {
    const ClaudeLogSelection& selection = records.Select(scanner, login.claudeRoots, now);
    return SummarizeClaudeUsage(AnyExists(login.claudeRoots, exists), selection.records, now,
                                maxblock, days);
}

CodexLimits CodexLimitsOfLogin(const CodexScanner& scanner, const Login& login, int64_t now,
                               const std::function<bool(const std::wstring&)>& exists) {
    return scanner.CurrentBelow(login.codexFolders, now, AnyExists(login.codexFolders, exists));
}
