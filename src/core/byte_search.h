#pragma once

#include <cstddef>
#include <string_view>

// Position of the first occurrence of `needle` in `text` at or after `from`, or npos. Tuned for
// JSON logs: it scans with memchr for the needle's least common byte (so a key such as "usage"
// is not slowed down by the many quotes around it) and compares the whole needle only there.
size_t FindBytes(std::string_view text, std::string_view needle, size_t from = 0);
