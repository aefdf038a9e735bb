#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text taken from other programs' files and replies (a model's name, a bucket's name), made
// fit to show: the bytes as UTF-8 (undecoded JSON escapes stay as they are), control characters
// dropped, cut to `maxChars` UTF-16 code units without leaving half of a pair at the end.
std::wstring PrintableLabel(std::string_view utf8, size_t maxChars);
