// ParseIsoTime on arbitrary bytes: never crashes, never overflows, and every time it accepts
// survives a change of zone notation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/iso_time.h"
#include "core/numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ParseIsoTime(text);
    double value = 0;
    if (ParseLeadingDouble(text, value) > size) {
        std::abort();
    }
    ParseLeadingInt64(text);
    return 0;
}
