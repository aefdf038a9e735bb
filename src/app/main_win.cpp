#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop_win.h"
#include "app/run_mode.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    if (arguments) {
        args.assign(arguments, arguments + count);
        LocalFree(arguments);
    }
    const CommandLine command = ParseCommandLine(args);
    if (const auto exitCode = RunCommandLineMode(command)) {
        return *exitCode;
    }
    return RunDesktopInstance(instance, command);
}
