#pragma once

#include <string>
#include <string_view>

// The bytes of an INI file on disk and the UTF-8 text the INI edits work on.

enum class IniEncoding {
    Utf8,         // as written elsewhere: UTF-8, no byte-order mark, lines as the edits leave them
    Utf16LeCrlf,  // as Windows writes profile files that hold any text: BOM, UTF-16LE, CRLF lines
};

// The encoding this build writes INI files in.
IniEncoding IniFileEncoding();

// The file's text as UTF-8, whatever wrote it: a UTF-16LE file (byte-order mark FF FE; an odd
// last byte of a file cut short is dropped), UTF-8 with or without its byte-order mark, and
// anything that is not valid UTF-8 read as Windows-1252, the ANSI code page the profile
// functions used for files that had no mark. Broken UTF-16 reads as U+FFFD.
std::string IniTextFromBytes(std::string_view bytes);

// The bytes to store for the UTF-8 text (invalid sequences become U+FFFD in UTF-16).
std::string IniBytesFromText(std::string_view text, IniEncoding encoding);
