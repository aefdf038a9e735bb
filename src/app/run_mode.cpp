#include "app/run_mode.h"

#include "app/history_export.h"
#include "app/json_export.h"
#include "platform/unicode.h"
#include "platform/std_streams.h"
#include "statusline/statusline_command.h"

const char kUsageText[] =
    "  tidewell --json FILE     write the log figures as one line of JSON\n"
    "  tidewell --history-csv FILE\n"
    "                           write the usage history of every computer as CSV\n"
    "  tidewell --statusline    the status line command for Claude Code\n"
    "  tidewell --version       print the version\n";

std::optional<int> RunCommandLineMode(const CommandLine& command) {
    switch (command.mode) {
        case RunMode::JsonExport:
            return RunJsonExport(command.jsonPath);
        case RunMode::HistoryCsv:
            return RunHistoryCsvExport(command.historyCsvPath);
        case RunMode::StatusLine:
            return RunStatusLine();
        case RunMode::Version:
            return WriteStandardOutput("Tidewell " TIDEWELL_VERSION "\n") ? 0 : 1;
        case RunMode::UnknownOption:
            WriteStandardError("tidewell: unknown option '" + WideToUtf8(command.unknownOption) +
                               "'\nUsage:\n" + kUsageText);
            return 2;
        case RunMode::MissingFile:
            WriteStandardError("tidewell: " + WideToUtf8(command.unknownOption) +
                               " needs a file name\nUsage:\n" + kUsageText);
            return 2;
        case RunMode::Desktop:
            break;
    }
    return std::nullopt;
}
