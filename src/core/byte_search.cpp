#include "core/byte_search.h"

#include <array>
#include <cstring>

namespace {

// Bytes ordered from most to least common in JSON logs of English text and code; bytes not
// listed are rarer still.
constexpr std::string_view kCommonFirst =
    " \"e:tao,insr_lcdu1{}0m2hp.gy-f3b49w5678\\/vkxTSACIMNRDEPOLUFHGBWKVYJQXZqjz[]";

constexpr std::array<unsigned char, 256> MakeRarity() {
    std::array<unsigned char, 256> rarity{};
    for (auto& r : rarity) r = 255;
    for (size_t i = 0; i < kCommonFirst.size(); ++i) {
        rarity[static_cast<unsigned char>(kCommonFirst[i])] = static_cast<unsigned char>(i);
    }
    return rarity;
}

constexpr std::array<unsigned char, 256> kRarity = MakeRarity();

size_t RarestIndex(std::string_view needle) {
    size_t best = 0;
    for (size_t i = 1; i < needle.size(); ++i) {
        if (kRarity[static_cast<unsigned char>(needle[i])] >
            kRarity[static_cast<unsigned char>(needle[best])]) {
            best = i;
        }
    }
    return best;
}

}  // namespace

size_t FindBytes(std::string_view text, std::string_view needle, size_t from) {
    if (from > text.size() || needle.size() > text.size() - from) {
        return std::string_view::npos;
    }
    if (needle.empty()) {
        return from;
    }
    const size_t anchor = RarestIndex(needle);
    const char anchorByte = needle[anchor];
    const char* base = text.data();
    const char* p = base + from + anchor;
    const char* last = base + (text.size() - needle.size()) + anchor;  // last anchor position
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, anchorByte, static_cast<size_t>(last - p) + 1));
        if (p == nullptr) {
            return std::string_view::npos;
        }
        const char* start = p - anchor;
        if (std::memcmp(start, needle.data(), needle.size()) == 0) {
            return static_cast<size_t>(start - base);
        }
        ++p;
    }
    return std::string_view::npos;
}
