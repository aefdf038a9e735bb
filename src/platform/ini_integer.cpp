#include <cstdint>

#include "platform/ini.h"

// Windows reads profile integers with RtlUnicodeStringToInteger in base 0: blanks, a sign, an
// optional 0x/0o/0b prefix, then digits up to the first other character, in 32-bit arithmetic.
int32_t IniIntegerFromText(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < text.size() && text[i] == L'0') {
        switch (text[i + 1]) {
            case L'x': case L'X': base = 16; break;
            case L'o': case L'O': base = 8; break;
            case L'b': case L'B': base = 2; break;
            default: break;
        }
        if (base != 10) i += 2;
    }
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        uint32_t digit = 0;
        if (c >= L'0' && c <= L'9') digit = static_cast<uint32_t>(c - L'0');
        else if (c >= L'a' && c <= L'f') digit = static_cast<uint32_t>(c - L'a' + 10);
        else if (c >= L'A' && c <= L'F') digit = static_cast<uint32_t>(c - L'A' + 10);
        else break;
        if (digit >= base) break;
        value = value * base + digit;  // wraps as the 32-bit original does
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
}
