#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_win.h"
#include "app/json_export.h"
#include "statusline/statusline_command.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    if (arguments) {
        args.assign(arguments, arguments + count);
        LocalFree(arguments);
    }
    const CommandLine command = ParseCommandLine(args);
    switch (command.mode) {
        case RunMode::JsonExport:
            return RunJsonExport(command.jsonPath);
        case RunMode::StatusLine:
            return RunStatusLine();
        case RunMode::Desktop:
            break;
    }
    return RunDesktopInstance(instance, command);
}
