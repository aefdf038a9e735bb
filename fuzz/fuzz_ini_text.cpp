// The INI text editor on arbitrary file contents: what is set can be read back, other sections
// keep their values, and a deleted section is gone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto before = IniTextGet(text, "l", "n");

    const std::string set = IniTextSet(text, "q", "maxblock", "1234");
    if (IniTextGet(set, "q", "maxblock") != "1234") {
        std::abort();
    }
    // A section "l" that was readable keeps its value when another section changes, unless the
    // file's own lines are ambiguous about where sections start (then the first wins anyway).
    if (before && IniTextGet(set, "l", "n") != before) {
        std::abort();
    }
    const std::string deleted = IniTextDeleteSection(set, "q");
    if (IniTextGet(deleted, "q", "maxblock")) {
        std::abort();
    }
    return 0;
}
