#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// String values of other programs' JSON decoded to UTF-8, for text the ledger keeps (a working
// folder such as "C:\\Users\\dev\\app" is written with its backslashes escaped).

// Decodes the string whose opening quote ends just before `valueStart`, up to the first quote
// that is not escaped. Escapes become their characters (\uXXXX with surrogate pairs as UTF-8; a
// lone surrogate as U+FFFD); an unknown escape keeps its character. nullopt when it never ends.
std::optional<std::string> DecodeJsonString(std::string_view text, size_t valueStart);

// Finds "key":"value" (or "key": "value") at or after `start` and decodes the value.
std::optional<std::string> FindDecodedString(std::string_view text, std::string_view key,
                                             size_t start = 0);
