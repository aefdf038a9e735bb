#include "platform/ini_encoding.h"

// Windows programs (Notepad, the profile functions) read a file with a UTF-16 byte-order mark
// as Unicode; in the ANSI code page labels such as "Weekly · Opus" or a user's name would not
// survive.
IniEncoding IniFileEncoding() {
    return IniEncoding::Utf16LeCrlf;
}
