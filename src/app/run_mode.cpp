#include "app/run_mode.h"

#include "app/json_export.h"
#include "platform/std_streams.h"
#include "statusline/statusline_command.h"

std::optional<int> RunCommandLineMode(const CommandLine& command) {
    switch (command.mode) {
        case RunMode::JsonExport:
            return RunJsonExport(command.jsonPath);
        case RunMode::StatusLine:
            return RunStatusLine();
        case RunMode::Version:
            return WriteStandardOutput("Tidewell " TIDEWELL_VERSION "\n") ? 0 : 1;
        case RunMode::Desktop:
            break;
    }
    return std::nullopt;
}
