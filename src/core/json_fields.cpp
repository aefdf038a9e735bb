#include "core/json_fields.h"

#include "core/byte_search.h"
#include "core/numbers.h"

size_t FindQuotedKey(std::string_view text, std::string_view key, std::string_view suffix,
                     size_t start) {
    if (start >= text.size()) {
        return std::string_view::npos;
    }
    // Search for the key itself and check the quote before it and the quote and suffix after,
    // which finds the same first match as searching for the whole pattern, without building it.
    size_t at = start + 1;
    while (true) {
        at = FindBytes(text, key, at);
        if (at == std::string_view::npos) {
            return at;
        }
        const size_t after = at + key.size();
        if (text[at - 1] == '"' && after < text.size() && text[after] == '"' &&
            text.substr(after + 1, suffix.size()) == suffix) {
            return at - 1;
        }
        ++at;
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
    const size_t valueStart = at + key.size() + 2 + suffix.size();
    const size_t valueEnd = text.find('"', valueStart);
    if (valueEnd == std::string_view::npos) {
        return std::nullopt;
    }
    return text.substr(valueStart, valueEnd - valueStart);
}

bool FindNumberAfterKey(std::string_view text, std::string_view key, size_t start, size_t limit,
                        double& out) {
    const size_t at = FindQuotedKey(text, key, ":", start);
    if (at == std::string_view::npos || at > limit) {
        return false;
    }
    size_t pos = at + key.size() + 3;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    return ParseLeadingDouble(text.substr(pos), out) > 0;
}
