#pragma once

#include <optional>
#include <string>

// Only regular files are read: a FIFO or a device is never waited on, and reads as missing.

// All bytes of the file; empty when it cannot be opened or read (callers cannot tell an empty
// file from a missing one and do not need to).
std::string ReadWholeFile(const std::wstring& path);

// All bytes of the file, or nothing when it cannot be opened or read (missing, locked, denied):
// for callers that must not mistake an unreadable file for an empty one.
std::optional<std::string> ReadFileIfReadable(const std::wstring& path);
