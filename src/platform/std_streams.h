#pragma once

#include <string>
#include <string_view>

// All bytes of standard input up to its end; empty when there is none.
std::string ReadStandardInput();

// Writes the bytes to standard output exactly (no line-end translation). False on failure or
// when the process has no standard output.
bool WriteStandardOutput(std::string_view bytes);
