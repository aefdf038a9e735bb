#pragma once

#include <string>
#include <string_view>

// A process's environment block ("NAME=value" strings, each ended by a NUL, the block by one more)
// without the variable `name` (compared without regard to ASCII case, as Windows compares
// names). Entries that start with '=' (the current folders of drives) are names of their own
// and kept. A block that ends without its closing NUL is taken as far as it goes and closed.
std::wstring EnvironmentBlockWithout(std::wstring_view block, std::wstring_view name);
