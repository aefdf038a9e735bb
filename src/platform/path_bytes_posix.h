#pragma once

#include <string>
#include <string_view>

// POSIX paths, arguments and environment values are bytes that need not be UTF-8. These convert
// them to the program's wide strings and back without loss: valid UTF-8 is decoded, and every
// other byte b becomes the lone surrogate U+DC00 + b, which turns back into b.
std::wstring WideFromBytes(std::string_view bytes);
std::string BytesFromWide(std::wstring_view wide);
