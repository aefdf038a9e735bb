#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "core/byte_search.h"

// Values in other programs' JSON are found by plain byte search for the quoted key and a colon,
// never by parsing: the search knows nothing of nesting, arrays or escapes. Callers narrow it
// with a start position (and, for numbers, a limit on where the key may start).

// Finds "key":"value" at or after `start`, else "key": "value" (one blank). The compact form is
// tried over the whole text first. The value runs to the next double quote, undecoded; it
// points into `text`. Empty when neither form occurs or the value has no closing quote.
std::optional<std::string_view> FindStringAfterKey(std::string_view text, std::string_view key,
                                                   size_t start = 0);

// The string value that starts at `valueStart` and runs to the next double quote (undecoded),
// or nullopt when there is no further quote.
std::optional<std::string_view> StringValueFrom(std::string_view text, size_t valueStart);

// Finds "key": at or after `start` and starting no later than `limit`, skips blanks, and reads
// the number there as strtod does in the classic locale. When the key is found, `out` is set
// (0 when nothing converts, as for null or a string); returns true only if a number converted.
// When the key is not found within the limit, `out` is left unchanged.
bool FindNumberAfterKey(std::string_view text, std::string_view key, size_t start, size_t limit,
                        double& out);

// The same with the quoted key and its colon prepared once, such as "\"input_tokens\":".
bool FindNumberAfterPattern(std::string_view text, const BytePattern& quotedKeyColon, size_t start,
                            size_t limit, double& out);

// Position of the first occurrence of `"key"` followed by `suffix` at or after `start`, or npos.
size_t FindQuotedKey(std::string_view text, std::string_view key, std::string_view suffix,
                     size_t start);

constexpr size_t kNoLimit = static_cast<size_t>(-1);

// Position just after the object or array whose "{" or "[" is at `open` (nested ones and strings
// with their escapes skipped), or npos when it never closes.
size_t JsonContainerEnd(std::string_view text, size_t open);
