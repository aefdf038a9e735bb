// Claude Code's status-line input of arbitrary bytes: never crashes, gives at most two rows, and
// always one line that ends in a line feed (the only one, unless the display name holds one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "statusline/statusline_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto rows = ParseStatusLineLimits(input);
    const std::string_view name = StatusLineDisplayName(input);
    const std::string line = FormatStatusLine(rows, name);
    if (rows.size() > 2 || line.empty() || line.back() != '\n' ||
        (name.find('\n') == std::string_view::npos && line.find('\n') != line.size() - 1)) {
        std::abort();
    }
    return 0;
}
