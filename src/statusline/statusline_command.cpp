#include "statusline/statusline_command.h"

#include "platform/messages.h"
#include "limits/limit_cache.h"
#include "platform/instance.h"
#include "platform/std_streams.h"
#include "statusline/statusline_input.h"

namespace {
// Claude Code's session description is a few kilobytes; past this it is not its input.
constexpr size_t kMaxInputBytes = 4 << 20;
// How long an input that is not ready yet is waited for.
constexpr int kInputWaitMs = 2000;
}  // namespace

int RunStatusLine() {
    const std::string input = ReadStandardInput(kMaxInputBytes, kInputWaitMs);
    const std::vector<LimitRow> rows = ParseStatusLineLimits(input);
    if (!rows.empty()) {
        // "live.ini" is complete before the running instance is told to read it.
        WriteLimitCache(LiveCachePath(), rows, L"");
        PostToRunningInstance(MSG_REFRESH_NOW, 0, 0);
    }
    WriteStandardOutput(FormatStatusLine(rows, StatusLineDisplayName(input)));
    return 0;
}
