#include "core/json_fields.h"

#include <cstring>

#include "core/byte_search.h"
#include "core/numbers.h"

size_t FindQuotedKey(std::string_view text, std::string_view key, std::string_view suffix,
                     size_t start) {
    // Search for the whole pattern "key"suffix, built on the stack for the usual short keys.
    char pattern[128];
    const size_t length = key.size() + 2 + suffix.size();
    if (length <= sizeof pattern) {
        pattern[0] = '"';
        std::memcpy(pattern + 1, key.data(), key.size());
        pattern[key.size() + 1] = '"';
        std::memcpy(pattern + key.size() + 2, suffix.data(), suffix.size());
        return FindBytes(text, std::string_view(pattern, length), start);
    }
    // A long key: search for it alone and check the quotes and suffix around each hit.
    if (start >= text.size()) {
        return std::string_view::npos;
    }
    for (size_t at = start + 1;; ++at) {
        at = FindBytes(text, key, at);
        if (at == std::string_view::npos) {
            return at;
        }
        const size_t after = at + key.size();
        if (text[at - 1] == '"' && after < text.size() && text[after] == '"' &&
            text.substr(after + 1, suffix.size()) == suffix) {
            return at - 1;
        }
    }
}

std::optional<std::string_view> FindStringAfterKey(std::string_view text, std::string_view key,
                                                   size_t start) {
    constexpr std::string_view kCompact = ":\"";
    constexpr std::string_view kSpaced = ": \"";
    std::string_view suffix = kCompact;
    size_t at = FindQuotedKey(text, key, kCompact, start);
    if (at == std::string_view::npos) {
        suffix = kSpaced;
        at = FindQuotedKey(text, key, kSpaced, start);
        if (at == std::string_view::npos) {
            return std::nullopt;
        }
    }
    return StringValueFrom(text, at + key.size() + 2 + suffix.size());
}

std::optional<std::string_view> StringValueFrom(std::string_view text, size_t valueStart) {
    const size_t valueEnd = text.find('"', valueStart);
    if (valueEnd == std::string_view::npos) {
        return std::nullopt;
    }
    return text.substr(valueStart, valueEnd - valueStart);
}

namespace {

// The number after a key's colon at `pos`, past blanks.
bool NumberFrom(std::string_view text, size_t pos, double& out) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    return ParseLeadingDouble(text.substr(pos), out) > 0;
}

}  // namespace

bool FindNumberAfterKey(std::string_view text, std::string_view key, size_t start, size_t limit,
                        double& out) {
    const size_t at = FindQuotedKey(text, key, ":", start);
    if (at == std::string_view::npos || at > limit) {
        return false;
    }
    return NumberFrom(text, at + key.size() + 3, out);
}

bool FindNumberAfterPattern(std::string_view text, const BytePattern& quotedKeyColon, size_t start,
                            size_t limit, double& out) {
    const size_t at = FindBytes(text, quotedKeyColon, start);
    if (at == std::string_view::npos || at > limit) {
        return false;
    }
    return NumberFrom(text, at + quotedKeyColon.size(), out);
}

size_t JsonContainerEnd(std::string_view text, size_t open) {
    int depth = 0;
    bool inString = false;
    for (size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (depth == 1) return i + 1;
            --depth;
        }
    }
    return std::string_view::npos;
}
