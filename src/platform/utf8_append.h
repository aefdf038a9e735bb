#pragma once

#include <string>

// Appends the UTF-8 bytes of one code point (the caller has replaced what is not one).
void AppendUtf8(std::string& out, char32_t c);
