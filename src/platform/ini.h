#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// INI files as the Windows profile functions see them: "[section]" lines, "key=value" lines,
// section and key names matched without regard to ASCII case, values trimmed of blanks and of
// one pair of surrounding quotes. On Windows these are the profile functions themselves (with
// the file created as UTF-16 so that any text round-trips); elsewhere a small reader and writer
// with the same behaviour for these calls, storing UTF-8 and replacing the file atomically.
// An empty path reads every key as its default and writes nothing.

// The key's value cut to `bufferChars` - 1 characters, or `defaultValue` when the key is missing.
std::wstring IniReadString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars);

// The key's value read as an integer (leading number; "0x" hexadecimal too; text that is not a
// number reads as 0), or `defaultValue` when the key is missing or empty.
int32_t IniReadInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int32_t defaultValue);

// Writes one key, creating the file and the section when missing. Returns false on failure.
bool IniWriteString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value);

// Replaces the section with exactly these keys, in this order, in one write, so that a reader
// sees the old section or the new one, never a mix.
bool IniReplaceSection(const std::wstring& path, const std::wstring& section,
                       const std::vector<std::pair<std::wstring, std::wstring>>& entries);

// Removes the section with all its keys (the file is created when missing).
bool IniDeleteSection(const std::wstring& path, const std::wstring& section);

// The integer reading of IniReadInt applied to a value that is present and not empty.
int32_t IniIntegerFromText(const std::wstring& text);
