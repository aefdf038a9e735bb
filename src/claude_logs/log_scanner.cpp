#include "claude_logs/log_scanner.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "platform/read_only_file.h"
#include "platform/system.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kReadChunk = 1 << 20;

// Open addressing over the 128-bit keys; all-zero slots are free (real keys are never zero).
class DedupSet {
public:
    explicit DedupSet(size_t expected) {
        size_t capacity = 16;
        while (capacity < expected * 2) capacity *= 2;
        slots_.resize(capacity);
    }
    // True when the key was not in the set yet.
    bool Insert(const DedupKey& key) {
        const size_t mask = slots_.size() - 1;
        for (size_t i = static_cast<size_t>(key.low) & mask;; i = (i + 1) & mask) {
            if (slots_[i].empty()) {
                slots_[i] = key;
                return true;
            }
            if (slots_[i] == key) {
                return false;
            }
        }
    }

private:
    std::vector<DedupKey> slots_;
};

const fs::path::string_type& LogExtension() {
    static const fs::path::string_type extension = fs::path(".jsonl").native();
    return extension;
}

}  // namespace

ClaudeLogSelection ClaudeLogScanner::Scan(const std::vector<std::wstring>& roots, int64_t now,
                                          fs::file_time_type clockNow) {
    ++scanCount_;
    const fs::file_time_type cutoff = clockNow - std::chrono::seconds(kClaudeLogLookbackSeconds);
    bool found = false;
    for (const std::wstring& root : roots) {
        std::error_code error;
        if (!fs::exists(fs::status(PathFromWide(root), error))) {
            continue;
        }
        found = true;
        WalkRoot(root, cutoff);
    }
    std::erase_if(files_, [&](const auto& entry) { return entry.second.lastSeenScan != scanCount_; });
    ClaudeLogSelection selection = Select(now);
    selection.found = found;
    return selection;
}

void ClaudeLogScanner::WalkRoot(const std::wstring& root, fs::file_time_type cutoff) {
    std::error_code error;
    fs::recursive_directory_iterator it(PathFromWide(root),
                                        fs::directory_options::skip_permission_denied, error);
    // The first error of the walk ends it; files it did not reach are pruned after the scan.
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::directory_entry& entry = *it;
        std::error_code ignored;
        if (!entry.is_regular_file(ignored) || entry.path().extension().native() != LogExtension()) {
            continue;
        }
        const fs::file_time_type written = entry.last_write_time(ignored);
        if (ignored || written < cutoff) {
            continue;
        }
        const std::wstring path = WideFromPath(entry.path());
        std::error_code sizeError;
        const uint64_t size = entry.file_size(sizeError);
        if (sizeError) {
            // Still seen: an entry it already has is kept for the next scan.
            if (auto known = files_.find(path); known != files_.end()) {
                known->second.lastSeenScan = scanCount_;
            }
            continue;
        }
        ClaudeFileState& state = files_[path];
        state.lastSeenScan = scanCount_;
        ReadAppended(path, size, state);
    }
}

void ClaudeLogScanner::ReadAppended(const std::wstring& path, uint64_t size,
                                    ClaudeFileState& state) {
    if (size == state.sizeSeen) {
        return;
    }
    if (size < state.consumed) {  // truncated or replaced: start again
        state.records.clear();
        state.sizeSeen = 0;
        state.consumed = 0;
    }
    ReadOnlyFile file;
    if (!file.Open(path) || !file.Seek(state.consumed)) {
        return;  // the size still differs, so the next scan tries again
    }
    uint64_t remaining = size - state.consumed;
    size_t pending = 0;  // bytes of an incomplete line at the front of the buffer
    while (remaining > 0) {
        if (buffer_.size() - pending < kReadChunk / 2) {
            buffer_.resize(std::max(kReadChunk, buffer_.size() * 2));  // a line longer than the buffer
        }
        const size_t wanted = static_cast<size_t>(
            std::min<uint64_t>(buffer_.size() - pending, remaining));
        const size_t got = file.Read(buffer_.data() + pending, wanted);
        if (got == 0) {
            break;
        }
        remaining -= got;
        pending += got;
        const std::string_view view(buffer_.data(), pending);
        const size_t lastNewline = view.rfind('\n');
        if (lastNewline == std::string_view::npos) {
            continue;
        }
        const size_t complete = lastNewline + 1;
        ParseCompleteLines(view.substr(0, complete), state.records);
        state.consumed += complete;
        std::memmove(buffer_.data(), buffer_.data() + complete, pending - complete);
        pending -= complete;
    }
    state.sizeSeen = size;
    if (buffer_.size() > 4 * kReadChunk) {  // do not keep the memory of one very long line
        buffer_ = std::vector<char>();
    }
}

void ClaudeLogScanner::ParseCompleteLines(std::string_view lines,
                                          std::vector<ClaudeLogRecord>& records) {
    // Search the whole block for the usage key and look at the lines around each hit, so that
    // the many lines without usage cost nothing but the search.
    size_t from = 0;
    while (true) {
        const size_t usage = FindUsageKey(lines, from);
        if (usage == std::string_view::npos) {
            return;
        }
        const size_t newlineBefore = lines.rfind('\n', usage);
        const size_t lineStart = newlineBefore == std::string_view::npos ? 0 : newlineBefore + 1;
        const size_t lineEnd = lines.find('\n', usage);  // the block ends with a newline
        ClaudeLogRecord record;
        if (ParseClaudeLogLine(lines.substr(lineStart, lineEnd - lineStart), record)) {
            records.push_back(record);
        }
        from = lineEnd + 1;
    }
}

ClaudeLogSelection ClaudeLogScanner::Select(int64_t now) const {
    size_t total = 0;
    for (const auto& [path, state] : files_) total += state.records.size();

    ClaudeLogSelection selection;
    selection.records.reserve(total);
    DedupSet kept(total);
    const int64_t oldest = now - kClaudeLogLookbackSeconds;
    for (const auto& [path, state] : files_) {
        for (const ClaudeLogRecord& record : state.records) {
            if (record.time < oldest) continue;
            if (!record.dedupKey.empty() && !kept.Insert(record.dedupKey)) continue;
            selection.records.push_back(record);
        }
    }
    std::stable_sort(selection.records.begin(), selection.records.end(),
                     [](const ClaudeLogRecord& a, const ClaudeLogRecord& b) { return a.time < b.time; });
    return selection;
}
