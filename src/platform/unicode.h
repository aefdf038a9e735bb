#pragma once

#include <string>
#include <string_view>

// UTF-16 (Windows) or UTF-32 (elsewhere) wide text to UTF-8 bytes and back. Invalid input is
// replaced by U+FFFD, as Windows' converters do by default.
std::string WideToUtf8(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);
