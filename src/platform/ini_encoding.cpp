#include "platform/ini_encoding.h"

#include <cstdint>

#include "platform/utf8_append.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point at `i` (advanced past it), or kInvalid for an invalid sequence,
// which then consumes one byte.
constexpr char32_t kInvalid = 0x110000;
char32_t NextUtf8(std::string_view s, size_t& i) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(s[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        ++i;
        return kInvalid;
    }
    if (i + length > s.size()) {
        ++i;
        return kInvalid;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kInvalid;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return kInvalid;
    }
    i += length;
    return c;
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        if (NextUtf8(s, i) == kInvalid)
            return false;
    }
    return true;
}

std::string Utf8FromUtf16Le(std::string_view bytes) {
    const size_t units = bytes.size() / 2;  // an odd last byte is half a character: dropped
    const auto unit = [&](size_t k) {
        return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                     (static_cast<unsigned char>(bytes[2 * k + 1]) << 8));
    };
    std::string out;
    out.reserve(units);
    for (size_t k = 0; k < units; ++k) {
        const char16_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 &&
            unit(k + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

// Windows-1252 in 0x80-0x9F; the five bytes it leaves undefined map to the same C1 controls
// that Windows' own conversion gives them. Every other byte is its Latin-1 code point.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Utf8FromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char b : bytes) {
        const unsigned char c = static_cast<unsigned char>(b);
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

void AppendUtf16Le(std::string& out, char32_t c) {
    const auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    if (c >= 0x10000) {
        unit(0xD800 + ((c - 0x10000) >> 10));
        unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        unit(c);
    }
}

}  // namespace

std::string IniTextFromBytes(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        return Utf8FromUtf16Le(bytes.substr(2));
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    return IsValidUtf8(bytes) ? std::string(bytes) : Utf8FromWindows1252(bytes);
}

std::string IniBytesFromText(std::string_view text, IniEncoding encoding) {
    if (encoding == IniEncoding::Utf8) {
        return std::string(text);
    }
    std::string out = "\xFF\xFE";
    out.reserve(2 + text.size() * 2 + text.size() / 8);
    char32_t previous = 0;
    for (size_t i = 0; i < text.size();) {
        char32_t c = NextUtf8(text, i);
        if (c == kInvalid)
            c = kReplacement;
        if (c == U'\n' && previous != U'\r')
            AppendUtf16Le(out, U'\r');
        AppendUtf16Le(out, c);
        previous = c;
    }
    return out;
}
