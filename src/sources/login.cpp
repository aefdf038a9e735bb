#include "sources/login.h"

std::wstring LoginFileTag(const std::wstring& key) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const wchar_t unit : key) {
        hash ^= static_cast<uint16_t>(unit);
        hash *= 0x100000001b3ull;
    }
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring tag(16, L'0');
    for (int i = 15; i >= 0; --i, hash >>= 4) tag[static_cast<size_t>(i)] = kDigits[hash & 15];
    return tag;
}
