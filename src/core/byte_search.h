#pragma once

#include <cstddef>
#include <string_view>

// A needle prepared for searching: the search filters 16 positions at a time on the needle's
// two least common bytes, and these are chosen once here, so that a needle searched for on
// every line of a log costs nothing to set up. It refers to the needle's bytes, which must
// outlive it.
class BytePattern {
public:
    explicit BytePattern(std::string_view needle);

    std::string_view needle() const { return needle_; }
    size_t size() const { return needle_.size(); }
    size_t first() const { return first_; }    // the two least common positions (needles of
    size_t second() const { return second_; }  // two bytes or more), first < second

private:
    std::string_view needle_;
    size_t first_ = 0;
    size_t second_ = 0;
};

// Position of the first occurrence of `pattern` in `text` at or after `from`, or npos. Tuned
// for JSON logs: a key such as "usage" is not slowed down by the many quotes around it, and
// the whole needle is compared only where both filter bytes match.
size_t FindBytes(std::string_view text, const BytePattern& pattern, size_t from = 0);
size_t FindBytes(std::string_view text, std::string_view needle, size_t from = 0);

// Position of the last `byte` in `text` before position `before`, or npos.
size_t FindLastByte(std::string_view text, char byte, size_t before);

// The first occurrences of `a` and of `b` at or after `from`, found in one pass over the text.
void FindEachFirst(std::string_view text, const BytePattern& a, const BytePattern& b, size_t from,
                   size_t& foundA, size_t& foundB);
