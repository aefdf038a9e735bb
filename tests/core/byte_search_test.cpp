#include "core/byte_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/byte_search_paths.h"

namespace {

// Both compare widths this processor can run.
std::vector<bool> Widths() {
    if (HasWideCompares()) return {false, true};
    return {false};
}

// Random texts over a small alphabet make many near misses; every answer must equal the plain
// search's, at every start position and for needles at the very end of the text.
TEST(FindBytes, AgreesWithThePlainSearch) {
    for (const bool wide : Widths()) {
        std::mt19937 random(7);
        const std::string alphabet = "\"usage:g\n ";
        for (int round = 0; round < 400; ++round) {
            // Long stretches of blanks let the search skip whole steps before a near miss.
            std::string text(random() % 600, ' ');
            for (char& c : text) c = random() % 4 == 0 ? alphabet[random() % alphabet.size()] : ' ';
            std::string needle(1 + random() % 8, ' ');
            for (char& c : needle) c = alphabet[random() % alphabet.size()];
            if (round % 3 == 0 && text.size() > needle.size()) {
                text.replace(text.size() - needle.size(), needle.size(), needle);
            }
            for (size_t from = 0; from <= text.size() + 1; from += 1 + random() % 7) {
                ASSERT_EQ(FindBytesUsing(wide, text, BytePattern(needle), from),
                          std::string_view(text).find(needle, from))
                    << "wide=" << wide << " text=" << text << " needle=" << needle
                    << " from=" << from;
            }
        }
    }
}

TEST(FindBytes, HandlesEdges) {
    EXPECT_EQ(FindBytes("", ""), 0u);
    EXPECT_EQ(FindBytes("abc", "", 3), 3u);
    EXPECT_EQ(FindBytes("abc", "", 4), std::string_view::npos);
    EXPECT_EQ(FindBytes("abc", "abcd"), std::string_view::npos);
    const std::string big = std::string(100000, 'x') + "\"usage\"";
    EXPECT_EQ(FindBytes(big, "\"usage\""), 100000u);
    EXPECT_EQ(FindBytes(big, "\"usage\"", 100001), std::string_view::npos);
}

// Short texts with many newlines, and long ones with few, so that whole quiet steps are crossed
// before the answer (or the start of the text) is reached.
TEST(FindLastByte, FindsTheLastBeforeAPosition) {
    for (const bool wide : Widths()) {
        std::mt19937 random(11);
        for (int round = 0; round < 300; ++round) {
            const bool sparse = round % 2 == 1;
            std::string text(random() % (sparse ? 700 : 200), 'a');
            for (char& c : text) c = random() % (sparse ? 300 : 9) == 0 ? '\n' : 'a';
            for (size_t before = 0; before <= text.size() + 1; ++before) {
                const size_t expected = before == 0 ? std::string_view::npos
                                                    : std::string_view(text).rfind('\n', before - 1);
                ASSERT_EQ(FindLastByteUsing(wide, text, '\n', before), expected)
                    << "wide=" << wide << " " << text << " " << before;
            }
        }
    }
}

TEST(FindEachFirst, FindsBothInOnePassAsTwoSearchesWould) {
    for (const bool wide : Widths()) {
        std::mt19937 random(3);
        const std::string alphabet = "\"tmp:rq";
        for (int round = 0; round < 300; ++round) {
            std::string text(random() % 500, ' ');
            for (char& c : text) c = random() % 3 == 0 ? alphabet[random() % alphabet.size()] : ' ';
            std::string a(2 + random() % 5, ' '), b(2 + random() % 9, ' ');
            for (char& c : a) c = alphabet[random() % alphabet.size()];
            for (char& c : b) c = alphabet[random() % alphabet.size()];
            const size_t from = random() % (text.size() + 2);
            size_t foundA = 0, foundB = 0;
            FindEachFirstUsing(wide, text, BytePattern(a), BytePattern(b), from, foundA, foundB);
            ASSERT_EQ(foundA, std::string_view(text).find(a, from)) << wide << " " << text << " " << a;
            ASSERT_EQ(foundB, std::string_view(text).find(b, from)) << wide << " " << text << " " << b;
        }
    }
}

}  // namespace
