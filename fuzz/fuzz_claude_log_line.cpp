// One Claude Code log line of arbitrary bytes: never crashes, and an accepted line has a time.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "claude_logs/log_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    ClaudeLogRecord record;
    if (ParseClaudeLogLine(line, record) && record.time == 0) {
        std::abort();
    }
    return 0;
}
