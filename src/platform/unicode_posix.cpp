#include "platform/path_bytes_posix.h"
#include "platform/unicode.h"
#include "platform/utf8_append.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one UTF-8 sequence at `i`; an invalid or truncated sequence yields U+FFFD and
// consumes its maximal valid prefix (at least one byte), as the Unicode standard recommends.
char32_t DecodeOne(std::string_view s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i++);
    if (lead < 0x80) {
        return lead;
    }
    int continuation = 0;
    char32_t c = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuation = 1;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuation = 2;
        c = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuation = 3;
        c = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kReplacement;
    }
    for (int k = 0; k < continuation; ++k) {
        if (i >= s.size() || byte(i) < low || byte(i) > high) {
            return kReplacement;
        }
        c = (c << 6) | (byte(i++) & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return c;
}

}  // namespace

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t w : wide) {
        auto c = static_cast<char32_t>(w);
        if (IsSurrogate(c) || c > 0x10FFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        out += static_cast<wchar_t>(DecodeOne(utf8, i));
    }
    return out;
}

std::wstring WideFromBytes(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t start = i;
        const char32_t c = DecodeOne(bytes, i);
        if (c == kReplacement && bytes.substr(start, 3) != "\xEF\xBF\xBD") {
            i = start + 1;  // an invalid byte stands for itself
            out += static_cast<wchar_t>(0xDC00 | static_cast<unsigned char>(bytes[start]));
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}

std::string BytesFromWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (const wchar_t w : wide) {
        const auto c = static_cast<char32_t>(w);
        if (c >= 0xDC80 && c <= 0xDCFF) {
            out += static_cast<char>(c & 0xFF);
        } else {
            AppendUtf8(out, IsSurrogate(c) || c > 0x10FFFF ? kReplacement : c);
        }
    }
    return out;
}
