#include "core/log_files.h"

#include <algorithm>
#include <cstring>

#include "core/byte_search.h"
#include "platform/read_only_file.h"
#include "platform/system.h"

namespace {
// A quarter MiB: what a read copies is still in the cache when it is searched, and a first scan
// takes little fresh memory for its buffers, while calls stay few.
constexpr size_t kReadChunk = 1 << 18;
}  // namespace

bool HasJsonlExtension(std::wstring_view path) {
    constexpr std::wstring_view kExtension = L".jsonl";
    const size_t nameStart = path.find_last_of(L"/\\") + 1;
    return path.size() >= nameStart + kExtension.size() + 1 && path.ends_with(kExtension);
}

bool TakeFromBudget(uint64_t bytes, uint64_t& left, uint64_t whole) {
    if (bytes > left && left < whole) return false;
    left -= std::min(bytes, left);
    return true;
}

bool IsAuditLog(std::wstring_view path) {
    return path.substr(path.find_last_of(L"/\\") + 1) == L"audit.jsonl";
}

std::wstring JoinPath(const std::wstring& base, std::initializer_list<std::wstring_view> parts) {
    auto path = PathFromWide(base);
    for (const std::wstring_view part : parts) path /= PathFromWide(std::wstring(part));
    return WideFromPath(path);
}

bool IsBelow(std::wstring_view path, std::wstring_view root) {
    if (root.empty() || path.size() <= root.size() || !path.starts_with(root)) return false;
    const auto separator = [](wchar_t c) { return c == L'/' || c == L'\\'; };
    return separator(root.back()) || separator(path[root.size()]);
}

AppendedRead ReadAppendedLines(const std::wstring& path, uint64_t start, uint64_t size,
                               bool inLongLine, std::vector<char>& buffer,
                               const std::function<void(std::string_view lines)>& onLines) {
    AppendedRead result;
    ReadOnlyFile file;
    if (!file.Open(path) || !file.Seek(start)) {
        return result;
    }
    result.opened = true;
    result.inLongLine = inLongLine;
    uint64_t remaining = size > start ? size - start : 0;
    size_t partial = 0;  // bytes of an incomplete line at the front of the buffer
    while (remaining > 0) {
        if (buffer.size() - partial < kReadChunk / 2) {
            buffer.resize(std::clamp(buffer.size() * 2, kReadChunk, kMaxLogLineBytes + kReadChunk));
        }
        const size_t wanted =
            static_cast<size_t>(std::min<uint64_t>(buffer.size() - partial, remaining));
        const size_t got = file.Read(buffer.data() + partial, wanted);
        if (got == 0) {
            result.failed = file.failed();  // else the file ends early: it shrank meanwhile
            break;
        }
        remaining -= got;
        result.bytesRead += got;
        const size_t from = partial;  // where the bytes just read begin
        partial += got;
        if (result.inLongLine) {  // drop the rest of an over-long line, up to its newline
            const size_t newline = std::string_view(buffer.data() + from, got).find('\n');
            const size_t dropped = newline == std::string_view::npos ? got : newline + 1;
            result.consumed += dropped;
            result.inLongLine = newline == std::string_view::npos;
            std::memmove(buffer.data() + from, buffer.data() + from + dropped, got - dropped);
            partial -= dropped;
        }
        const size_t lastNewline = FindLastByte(std::string_view(buffer.data(), partial), '\n', partial);
        if (lastNewline == std::string_view::npos) {
            if (partial >= kMaxLogLineBytes) {
                result.consumed += partial;
                result.inLongLine = true;
                partial = 0;
            }
            continue;
        }
        const size_t complete = lastNewline + 1;
        onLines(std::string_view(buffer.data(), complete));
        result.consumed += complete;
        std::memmove(buffer.data(), buffer.data() + complete, partial - complete);
        partial -= complete;
    }
    if (buffer.size() > 4 * kReadChunk) {  // do not keep the memory of one very long line
        buffer = std::vector<char>();
    }
    return result;
}

void ForEachLineWith(std::string_view lines, std::string_view key,
                     const std::function<void(std::string_view line, size_t keyAt)>& onLine) {
    const BytePattern pattern(key);
    size_t from = 0;
    while (true) {
        const size_t at = FindBytes(lines, pattern, from);
        if (at == std::string_view::npos) {
            return;
        }
        const size_t newlineBefore = FindLastByte(lines, '\n', at);
        const size_t lineStart = newlineBefore == std::string_view::npos ? 0 : newlineBefore + 1;
        size_t lineEnd = lines.find('\n', at);
        if (lineEnd == std::string_view::npos) lineEnd = lines.size();
        onLine(lines.substr(lineStart, lineEnd - lineStart), at - lineStart);
        from = lineEnd + 1;
        if (from >= lines.size()) {
            return;
        }
    }
}
