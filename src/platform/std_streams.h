#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bytes of standard input up to its end, or its first `maxBytes` when it goes on longer
// (the rest is not read). An input that is not ready yet (non-blocking) is waited for, up to
// `waitMs` in all. Empty when there is none.
std::string ReadStandardInput(size_t maxBytes, int waitMs);

// Writes the bytes to standard output exactly (no line-end translation). False on failure or
// when the process has no standard output (or its reader has gone).
bool WriteStandardOutput(std::string_view bytes);

// The same for standard error.
bool WriteStandardError(std::string_view bytes);
