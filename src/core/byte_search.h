#pragma once

#include <cstddef>
#include <string_view>

// Position of the first occurrence of `needle` in `text` at or after `from`, or npos. Tuned for
// JSON logs: 16 positions at a time are filtered on the needle's two least common bytes (so a
// key such as "usage" is not slowed down by the many quotes around it), and the whole needle
// is compared only where both match.
size_t FindBytes(std::string_view text, std::string_view needle, size_t from = 0);

// Position of the last `byte` in `text` before position `before`, or npos.
size_t FindLastByte(std::string_view text, char byte, size_t before);

// The first occurrences of `a` and of `b` at or after `from`, found in one pass over the text.
void FindEachFirst(std::string_view text, std::string_view a, std::string_view b, size_t from,
                   size_t& foundA, size_t& foundB);
