#include "statusline/statusline_command.h"

#include <filesystem>
#include <system_error>

#include "limits/limit_cache.h"
#include "limits/login_files.h"
#include "platform/instance.h"
#include "platform/messages.h"
#include "platform/std_streams.h"
#include "platform/system.h"
#include "statusline/statusline_input.h"
#include "statusline/statusline_login.h"

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
        // The live file of this run's login is complete before the running instance is told to
        // read it. The default folder keeps "live.ini".
        const std::wstring folder = StatusLineConfigFolder(
            ReadEnvironment(L"CLAUDE_CONFIG_DIR"), input, [](const std::wstring& path) {
                std::error_code error;
                return std::filesystem::is_directory(PathFromWide(path), error);
            });
        WriteLimitCache(LimitCachePath(LiveCacheFileName(folder, ReadUserProfile())), rows, L"");
        PostToRunningInstance(MSG_REFRESH_NOW, 0, 0);
    }
    WriteStandardOutput(FormatStatusLine(rows, StatusLineDisplayName(input)));
    return 0;
}
