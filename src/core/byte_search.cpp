#include "core/byte_search.h"
#include "core/byte_search_paths.h"
#include "core/byte_search_wide.h"

#include <array>
#include <cstdint>
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

unsigned char Rarity(char c) { return kRarity[static_cast<unsigned char>(c)]; }

// 16 bytes compared at once with the compiler's generic vector types (SSE2 on x86-64, NEON on
// ARM): a candidate position survives only if two of the needle's rarest bytes both match.
typedef unsigned char Block __attribute__((vector_size(16)));

Block Load(const char* p) {
    Block block;
    std::memcpy(&block, p, sizeof block);
    return block;
}

Block Splat(char c) {
    Block block;
    for (int i = 0; i < 16; ++i) block[i] = static_cast<unsigned char>(c);
    return block;
}

struct Lanes {
    uint64_t low;
    uint64_t high;
};

Lanes ToLanes(Block block) {
    Lanes lanes;
    std::memcpy(&lanes, &block, sizeof lanes);
    return lanes;
}

}  // namespace

BytePattern::BytePattern(std::string_view needle) : needle_(needle) {
    if (needle.size() < 2) return;
    // One pass keeping the two rarest positions (the earlier one wins a tie).
    first_ = 0;
    second_ = 1;
    unsigned firstRarity = Rarity(needle[0]), secondRarity = Rarity(needle[1]);
    if (secondRarity > firstRarity) {
        std::swap(first_, second_);
        std::swap(firstRarity, secondRarity);
    }
    for (size_t i = 2; i < needle.size(); ++i) {
        const unsigned rarity = Rarity(needle[i]);
        if (rarity > firstRarity) {
            second_ = first_;
            secondRarity = firstRarity;
            first_ = i;
            firstRarity = rarity;
        } else if (rarity > secondRarity) {
            second_ = i;
            secondRarity = rarity;
        }
    }
    if (second_ < first_) std::swap(first_, second_);
}

namespace {

// A pattern's filter bytes, each repeated across a block.
struct Filter {
    std::string_view needle;
    size_t first = 0;
    size_t second = 0;
    Block firstBytes{};
    Block secondBytes{};

    explicit Filter(const BytePattern& pattern)
        : needle(pattern.needle()),
          first(pattern.first()),
          second(pattern.second()),
          firstBytes(Splat(needle[first])),
          secondBytes(Splat(needle[second])) {}

    // The 16 candidate starts at `at` where both rare bytes match (all lanes of `at` must be
    // valid starts: at + 15 + needle.size() <= text size).
    Block Candidates(const char* base, size_t at) const {
        return reinterpret_cast<Block>(Load(base + at + first) == firstBytes) &
               reinterpret_cast<Block>(Load(base + at + second) == secondBytes);
    }

    // The first real match among the candidate lanes of `match`, or npos.
    size_t Verify(const char* base, Block match, size_t at) const {
        const Lanes lanes = ToLanes(match);
        for (int half = 0; half < 2; ++half) {
            uint64_t bits = half == 0 ? lanes.low : lanes.high;
            while (bits != 0) {
                const size_t lane = static_cast<size_t>(__builtin_ctzll(bits)) / 8;
                const size_t candidate = at + static_cast<size_t>(half) * 8 + lane;
                if (std::memcmp(base + candidate, needle.data(), needle.size()) == 0) {
                    return candidate;
                }
                bits &= ~(uint64_t{0xFF} << (lane * 8));
            }
        }
        return std::string_view::npos;
    }

    bool MatchesAt(const char* base, size_t at) const {
        return base[at + first] == needle[first] && base[at + second] == needle[second] &&
               std::memcmp(base + at, needle.data(), needle.size()) == 0;
    }
};

// The wide path, when there is one, takes the filter bytes as plain values.
WideFilter Wide(const Filter& filter) {
    return {filter.needle[filter.first], filter.needle[filter.second], filter.first, filter.second};
}

}  // namespace

size_t FindBytes(std::string_view text, std::string_view needle, size_t from) {
    return FindBytesUsing(HasWideCompares(), text, BytePattern(needle), from);
}

size_t FindBytes(std::string_view text, const BytePattern& pattern, size_t from) {
    return FindBytesUsing(HasWideCompares(), text, pattern, from);
}

void FindEachFirst(std::string_view text, const BytePattern& a, const BytePattern& b, size_t from,
                   size_t& foundA, size_t& foundB) {
    FindEachFirstUsing(HasWideCompares(), text, a, b, from, foundA, foundB);
}

size_t FindBytesUsing(bool wide, std::string_view text, const BytePattern& pattern, size_t from) {
    const std::string_view needle = pattern.needle();
    if (from > text.size() || needle.size() > text.size() - from) {
        return std::string_view::npos;
    }
    if (needle.empty()) {
        return from;
    }
    const char* base = text.data();
    if (needle.size() == 1) {
        const void* hit = std::memchr(base + from, needle[0], text.size() - from);
        return hit ? static_cast<size_t>(static_cast<const char*>(hit) - base)
                   : std::string_view::npos;
    }
    const Filter filter(pattern);
    const size_t lastStart = text.size() - needle.size();  // last candidate start
    size_t start = from;
    // 64 positions per step while nothing matches, which is nearly always.
    for (; start + 64 <= lastStart + 1; start += 64) {
        const Block m0 = filter.Candidates(base, start), m1 = filter.Candidates(base, start + 16),
                    m2 = filter.Candidates(base, start + 32), m3 = filter.Candidates(base, start + 48);
        const Lanes any = ToLanes(m0 | m1 | m2 | m3);
        if ((any.low | any.high) == 0) {
            // A quiet step, so likely a long quiet stretch: crossed wide where the processor can.
            if (wide) {
                start = SkipQuietStepsWide(base, start + 64, lastStart + 1, Wide(filter), nullptr) - 64;
            }
            continue;
        }
        const Block blocks[4] = {m0, m1, m2, m3};
        for (size_t k = 0; k < 4; ++k) {
            const size_t found = filter.Verify(base, blocks[k], start + 16 * k);
            if (found != std::string_view::npos) return found;
        }
    }
    for (; start + 16 <= lastStart + 1; start += 16) {
        const size_t found = filter.Verify(base, filter.Candidates(base, start), start);
        if (found != std::string_view::npos) return found;
    }
    for (; start <= lastStart; ++start) {
        if (filter.MatchesAt(base, start)) return start;
    }
    return std::string_view::npos;
}

void FindEachFirstUsing(bool wide, std::string_view text, const BytePattern& a,
                        const BytePattern& b, size_t from, size_t& foundA, size_t& foundB) {
    constexpr size_t npos = std::string_view::npos;
    foundA = foundB = npos;
    if (a.size() < 2 || b.size() < 2) {
        foundA = FindBytesUsing(wide, text, a, from);
        foundB = FindBytesUsing(wide, text, b, from);
        return;
    }
    const char* base = text.data();
    const Filter filterA(a), filterB(b);
    const size_t longest = std::max(a.size(), b.size());
    size_t start = from;
    // Both filters over the same blocks, 64 positions per step, while both needles fit and
    // neither is found; a false candidate costs one step. Once one is found, the other is
    // searched for alone from the same step.
    if (from <= text.size() && longest <= text.size() - from) {
        const size_t end = text.size() - longest + 1;  // one past the last start both fit at
        for (; start + 64 <= end; start += 64) {
            const Block a0 = filterA.Candidates(base, start), b0 = filterB.Candidates(base, start),
                        a1 = filterA.Candidates(base, start + 16),
                        b1 = filterB.Candidates(base, start + 16),
                        a2 = filterA.Candidates(base, start + 32),
                        b2 = filterB.Candidates(base, start + 32),
                        a3 = filterA.Candidates(base, start + 48),
                        b3 = filterB.Candidates(base, start + 48);
            const Lanes any = ToLanes(a0 | b0 | a1 | b1 | a2 | b2 | a3 | b3);
            if ((any.low | any.high) == 0) {
                if (wide) {
                    const WideFilter wideB = Wide(filterB);
                    start = SkipQuietStepsWide(base, start + 64, end, Wide(filterA), &wideB) - 64;
                }
                continue;
            }
            const Block candidatesA[4] = {a0, a1, a2, a3}, candidatesB[4] = {b0, b1, b2, b3};
            for (size_t k = 0; k < 4; ++k) {
                if (foundA == npos) foundA = filterA.Verify(base, candidatesA[k], start + 16 * k);
                if (foundB == npos) foundB = filterB.Verify(base, candidatesB[k], start + 16 * k);
            }
            if (foundA != npos || foundB != npos) break;
        }
    }
    if (foundA == npos) foundA = FindBytesUsing(wide, text, a, start);
    if (foundB == npos) foundB = FindBytesUsing(wide, text, b, start);
}

size_t FindLastByte(std::string_view text, char byte, size_t before) {
    return FindLastByteUsing(HasWideCompares(), text, byte, before);
}

size_t FindLastByteUsing(bool wide, std::string_view text, char byte, size_t before) {
    if (before > text.size()) before = text.size();
    const char* base = text.data();
    const Block wanted = Splat(byte);
    size_t end = before;
    // 64 bytes per step while none matches: the usual case inside a long line.
    for (; end >= 64; end -= 64) {
        const Block any = reinterpret_cast<Block>(Load(base + end - 16) == wanted) |
                          reinterpret_cast<Block>(Load(base + end - 32) == wanted) |
                          reinterpret_cast<Block>(Load(base + end - 48) == wanted) |
                          reinterpret_cast<Block>(Load(base + end - 64) == wanted);
        const Lanes lanes = ToLanes(any);
        if ((lanes.low | lanes.high) != 0) break;
        // A quiet step, so likely inside a long line: crossed wide where the processor can.
        if (wide) end = SkipQuietStepsBackWide(base, end - 64, byte) + 64;
    }
    for (; end >= 16; end -= 16) {
        const Lanes lanes = ToLanes(reinterpret_cast<Block>(Load(base + end - 16) == wanted));
        if (lanes.high != 0) {
            return end - 16 + 8 + (63 - static_cast<size_t>(__builtin_clzll(lanes.high))) / 8;
        }
        if (lanes.low != 0) {
            return end - 16 + (63 - static_cast<size_t>(__builtin_clzll(lanes.low))) / 8;
        }
    }
    while (end > 0) {
        if (base[--end] == byte) return end;
    }
    return std::string_view::npos;
}
