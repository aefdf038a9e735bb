#include "history/json_string.h"

#include <cstdint>

#include "core/json_fields.h"
#include "platform/utf8_append.h"

namespace {

// The four hex digits at `at`, or -1.
int32_t Hex4(std::string_view text, size_t at) {
    if (at + 4 > text.size()) {
        return -1;
    }
    int32_t value = 0;
    for (size_t i = at; i < at + 4; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

std::optional<std::string> DecodeJsonString(std::string_view text, size_t valueStart) {
    std::string out;
    size_t at = valueStart;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '"') {
            return out;
        }
        if (c != '\\' || at + 1 >= text.size()) {
            out += c;
            ++at;
            continue;
        }
        const char e = text[at + 1];
        at += 2;
        switch (e) {
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                int32_t unit = Hex4(text, at);
                if (unit < 0) {
                    out += 'u';
                    break;
                }
                at += 4;
                uint32_t code = static_cast<uint32_t>(unit);
                if (code >= 0xD800 && code <= 0xDBFF) {
                    const int32_t low = text.substr(at, 2) == "\\u" ? Hex4(text, at + 2) : -1;
                    if (low >= 0xDC00 && low <= 0xDFFF) {
                        code = 0x10000 + ((code - 0xD800) << 10) +
                               (static_cast<uint32_t>(low) - 0xDC00);
                        at += 6;
                    } else {
                        code = 0xFFFD;
                    }
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    code = 0xFFFD;
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                out += e;
                break;  // \" \\ \/ and anything unknown
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindDecodedString(std::string_view text, std::string_view key,
                                             size_t start) {
    for (const std::string_view suffix : {std::string_view(":\""), std::string_view(": \"")}) {
        const size_t at = FindQuotedKey(text, key, suffix, start);
        if (at != std::string_view::npos) {
            return DecodeJsonString(text, at + key.size() + 2 + suffix.size());
        }
    }
    return std::nullopt;
}
