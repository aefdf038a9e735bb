#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text edits behind the INI files; they work on whole UTF-8 file contents so that a
// change can be written back in one atomic replacement. Lines may end in LF or CRLF.

// The value of `key` in the first section named `section`, trimmed and unquoted; nullopt when
// the section or the key is missing.
std::optional<std::string> IniTextGet(std::string_view text, std::string_view section,
                                      std::string_view key);

// The keys of the entries in the first section named `section`, in the file's order (a key
// written twice is listed twice); empty when the section is missing.
std::vector<std::string> IniTextKeys(std::string_view text, std::string_view section);

// The text with `key` set to `value` in `section`: the key's line is replaced in place, a new key
// goes after the section's last entry, and a new section goes at the end.
std::string IniTextSet(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value);

// The text with the section replaced by `body` (its "key=value\n" lines): in place of the
// first copy of the section, other copies removed; at the end when it is missing.
std::string IniTextReplaceSection(std::string_view text, std::string_view section,
                                  std::string_view body);

// The text without `key`'s lines in the first section named `section` (the text as it is when
// there are none).
std::string IniTextDeleteKey(std::string_view text, std::string_view section, std::string_view key);

// The text without any section named `section` and its lines.
std::string IniTextDeleteSection(std::string_view text, std::string_view section);
