// INI file bytes in any encoding: decoding never fails, and text decoded once survives being
// written in either encoding and read back (apart from the CRLF line ends of the Windows form).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_encoding.h"

namespace {
std::string WithoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = IniTextFromBytes(bytes);
    // A second byte-order mark at the start would be taken for the file's own when read again.
    if (text.starts_with("\xEF\xBB\xBF")) {
        return 0;
    }
    if (IniTextFromBytes(IniBytesFromText(text, IniEncoding::Utf8)) != text) {
        std::abort();
    }
    if (WithoutCarriageReturns(IniTextFromBytes(
            IniBytesFromText(text, IniEncoding::Utf16LeCrlf))) != WithoutCarriageReturns(text)) {
        std::abort();
    }
    return 0;
}
