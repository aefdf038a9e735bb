#include "core/foreign_text.h"

#include "platform/unicode.h"

std::wstring PrintableLabel(std::string_view utf8, size_t maxChars) {
    std::wstring label;
    for (const wchar_t c : Utf8ToWide(utf8)) {
        if (label.size() == maxChars) break;
        if (c >= 0x20 && c != 0x7F) label += c;
    }
    if (!label.empty() && label.back() >= 0xD800 && label.back() <= 0xDBFF) label.pop_back();
    return label;
}
