#pragma once

#include <string>

// All bytes of the file; empty when it cannot be opened or read (callers cannot tell an empty
// file from a missing one and do not need to).
std::string ReadWholeFile(const std::wstring& path);
