// A usage-service reply of arbitrary bytes: never crashes, and the rows come in row order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "limits/usage_response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto rows = ParseUsageResponse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (size_t i = 1; i < rows.size(); ++i) {
        if (LimitRowOrderKey(rows[i - 1].label) > LimitRowOrderKey(rows[i].label)) {
            std::abort();
        }
    }
    return 0;
}
