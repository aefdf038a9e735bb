#pragma once

#include <string>
#include <string_view>

// The extended-length form of an absolute path, which Win32 file calls accept past MAX_PATH:
// C:\a -> \\?\C:\a, \\server\share\a -> \\?\UNC\server\share\a. The prefixed form is passed to
// the file system as it is, so forward slashes become backslashes, repeated separators collapse
// and "." and ".." components are resolved here first (".." stops at the drive or the share).
// Paths already in the \\?\ or \\.\ form, relative paths ("a\b", "\a", "C:a") and a UNC path
// without a share are returned unchanged.
std::wstring ExtendedLengthPath(std::wstring_view path);

// Paths this long or longer go to Win32 file calls in the extended-length form; shorter ones as
// they are, with Win32's usual parsing (trailing dots and spaces dropped, say). 248 is the
// shortest limit among those calls (a folder's own name must leave room for an 8.3 file name).
inline constexpr size_t kLegacyPathLimit = 248;

// The path as a Win32 file call should get it: ExtendedLengthPath once it reaches
// kLegacyPathLimit, else unchanged.
std::wstring PathForWin32(std::wstring_view path);
