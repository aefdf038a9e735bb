// ParseWslRunningList on arbitrary bytes (wsl.exe's output, UTF-16LE): never crashes, and every
// name it gives is non-empty, without line breaks or edge spaces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/wsl_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view output(reinterpret_cast<const char*>(data), size);
    for (const std::wstring& name : ParseWslRunningList(output)) {
        if (name.empty() || name.find(L'\n') != std::wstring::npos || name.front() == L' ' ||
            name.back() == L' ' || name.back() == L'\r') {
            std::abort();
        }
    }
    return 0;
}
