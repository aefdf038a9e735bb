#include "statusline/statusline_command.h"

#include "app/messages.h"
#include "limits/limit_cache.h"
#include "platform/instance.h"
#include "platform/std_streams.h"
#include "statusline/statusline_input.h"

int RunStatusLine() {
    const std::string input = ReadStandardInput();
    const std::vector<LimitRow> rows = ParseStatusLineLimits(input);
    if (!rows.empty()) {
        // "live.ini" is complete before the running instance is told to read it.
        WriteLimitCache(LiveCachePath(), rows, L"");
        PostToRunningInstance(MSG_REFRESH_NOW, 0, 0);
    }
    WriteStandardOutput(FormatStatusLine(rows, StatusLineDisplayName(input)));
    return 0;
}
