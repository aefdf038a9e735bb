#include "platform/ini_encoding.h"

IniEncoding IniFileEncoding() {
    return IniEncoding::Utf8;
}
