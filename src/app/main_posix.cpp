#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/json_export.h"
#include "platform/unicode.h"
#include "statusline/statusline_command.h"

int main(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 0; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
    const CommandLine command = ParseCommandLine(args);
    switch (command.mode) {
        case RunMode::JsonExport:
            return RunJsonExport(command.jsonPath);
        case RunMode::StatusLine:
            return RunStatusLine();
        case RunMode::Desktop:
            break;
    }
    std::fputs("Tidewell's tray application runs on Windows. Here it offers:\n"
               "  tidewell --json FILE     write the log figures as one line of JSON\n"
               "  tidewell --statusline    the status line command for Claude Code\n",
               stderr);
    return 0;
}
