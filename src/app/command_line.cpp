#include "app/command_line.h"

#include <algorithm>

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLine command;
    if (args.size() > 2 && args[1] == L"--json") {
        command.mode = RunMode::JsonExport;
        command.jsonPath = args[2];
    } else if (args.size() > 1 && args[1] == L"--statusline") {
        command.mode = RunMode::StatusLine;
    } else if (args.size() > 1 && args[1] == L"--version") {
        command.mode = RunMode::Version;
    } else {
        command.autostart = args.size() > 1 && std::find(args.begin() + 1, args.end(),
                                                         L"--autostart") != args.end();
    }
    return command;
}
