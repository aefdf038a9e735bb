#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/history_record.h"
#include "app/run_mode.h"
#include "platform/path_bytes_posix.h"

int main(int argc, char** argv) {
    // A reader that has gone (Claude Code may close the status line's pipe first) makes writes
    // fail instead of ending the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::wstring> args;
    for (int i = 0; i < argc; ++i) args.push_back(WideFromBytes(argv[i]));
    // Recording without the tray program is for the computers it does not run on.
    if (argc == 2 && std::string(argv[1]) == kRecordOption) return RunHistoryRecord();
    if (const auto exitCode = RunCommandLineMode(ParseCommandLine(args))) {
        return *exitCode;
    }
    std::fputs("Tidewell's tray application runs on Windows. Here it offers:\n", stderr);
    std::fputs(kUsageText, stderr);
    std::fputs(kRecordUsage, stderr);
    return 0;
}
