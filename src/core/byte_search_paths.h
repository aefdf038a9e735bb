#pragma once

#include <cstddef>
#include <string_view>

#include "core/byte_search.h"

// The searches with their compare width chosen by the caller, so that tests check both ways on
// any processor: 16 positions per compare everywhere, or 32 (`wide`) where HasWideCompares().
bool HasWideCompares();
size_t FindBytesUsing(bool wide, std::string_view text, const BytePattern& pattern, size_t from);
void FindEachFirstUsing(bool wide, std::string_view text, const BytePattern& a,
                        const BytePattern& b, size_t from, size_t& foundA, size_t& foundB);
size_t FindLastByteUsing(bool wide, std::string_view text, char byte, size_t before);
