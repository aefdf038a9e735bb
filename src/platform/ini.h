#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// INI files as the Windows profile functions see them: "[section]" lines, "key=value" lines,
// section and key names matched without regard to ASCII case, values trimmed of blanks and of
// one pair of surrounding quotes. Every change rewrites the whole file through one atomic
// replacement, so that a reader, another writer or a process killed in the middle never
// leaves a file cut short or mixed; the bytes are UTF-16 with a byte-order mark on Windows and
// UTF-8 elsewhere, and any of the encodings is read. An empty path reads every key as its
// default and writes nothing.

using IniEntries = std::vector<std::pair<std::wstring, std::wstring>>;

// One reading of an INI file: the file is read once and every key is answered from that copy,
// so the values read together belong together even while another process replaces the file.
class IniFile {
public:
    IniFile() = default;
    static IniFile Read(const std::wstring& path);
    // True when the file is there but could not be read (locked, denied): every key then reads
    // as its default, which must not be mistaken for what the file holds.
    bool unreadable() const { return unreadable_; }

    // The key's value cut to `bufferChars` - 1 characters, or `defaultValue` when it is missing.
    std::wstring String(const std::wstring& section, const std::wstring& key,
                        const std::wstring& defaultValue, size_t bufferChars) const;
    // The key's value read as an integer (leading number; "0x" hexadecimal too; text that is
    // not a number reads as 0), or `defaultValue` when the key is missing or empty.
    int32_t Int(const std::wstring& section, const std::wstring& key, int32_t defaultValue) const;

    // The keys of the section's entries, in the file's order.
    std::vector<std::wstring> Keys(const std::wstring& section) const;

private:
    std::optional<std::wstring> Value(const std::wstring& section, const std::wstring& key) const;
    std::string text_;  // UTF-8
    bool unreadable_ = false;
};

// One key read from the file (each call reads the file: use IniFile for several keys).
std::wstring IniReadString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars);
int32_t IniReadInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int32_t defaultValue);

// Sets the keys in the section and removes the `removed` ones, in one write, creating the file
// and the section when missing and keeping every other key and section. Returns false on
// failure, and when the file exists but cannot be read (writing then would lose what it holds).
bool IniWriteKeys(const std::wstring& path, const std::wstring& section, const IniEntries& entries,
                  const std::vector<std::wstring>& removed = {});

// Writes one key, as IniWriteKeys.
bool IniWriteString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value);

// Replaces the section with exactly these keys, in this order, in one write.
bool IniReplaceSection(const std::wstring& path, const std::wstring& section,
                       const IniEntries& entries);

// Removes the section with all its keys (the file is created when missing).
bool IniDeleteSection(const std::wstring& path, const std::wstring& section);

// The integer reading of IniFile::Int applied to a value that is present and not empty.
int32_t IniIntegerFromText(const std::wstring& text);
