// A usage-service reply of arbitrary bytes: never crashes, the rows come in row order, and at
// most one of them binds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "limits/usage_response.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto rows = ParseUsageResponse(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t binding = 0;
    for (const LimitRow& row : rows) binding += row.binding ? 1 : 0;
    if (binding > 1) std::abort();
    for (size_t i = 1; i < rows.size(); ++i) {
        if (LimitRowOrderKey(rows[i - 1].label) > LimitRowOrderKey(rows[i].label)) {
            std::abort();
        }
    }
    return 0;
}
