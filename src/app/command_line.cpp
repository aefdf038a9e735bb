#include "app/command_line.h"

#include <algorithm>
#include <array>

CommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    CommandLine command;
    if (args.size() > 2 && args[1] == L"--json") {
        command.mode = RunMode::JsonExport;
        command.jsonPath = args[2];
    } else if (args.size() > 1 && args[1] == L"--history-csv") {
        // New with the ledger, so no older command line holds it: without its file it is a
        // mistake, not the desktop.
        if (args.size() > 2) {
            command.mode = RunMode::HistoryCsv;
            command.historyCsvPath = args[2];
        } else {
            command.mode = RunMode::MissingFile;
            command.unknownOption = args[1];
        }
    } else if (args.size() > 1 && args[1] == L"--statusline") {
        command.mode = RunMode::StatusLine;
    } else if (args.size() > 1 && args[1] == L"--version") {
        command.mode = RunMode::Version;
    } else {
        command.autostart = args.size() > 1 && std::find(args.begin() + 1, args.end(),
                                                         L"--autostart") != args.end();
        // The words the modes above take count as known wherever they stand: the desktop has
        // always started with them ("--autostart --json out.json").
        static const std::array<std::wstring_view, 4> kKnown = {L"--autostart", L"--json",
                                                                L"--statusline", L"--version"};
        for (size_t i = 1; i < args.size(); ++i) {
            const std::wstring& word = args[i];
            if (!word.empty() && word[0] == L'-' &&
                std::find(kKnown.begin(), kKnown.end(), word) == kKnown.end()) {
                command.mode = RunMode::UnknownOption;
                command.unknownOption = word;
                command.autostart = false;
                break;
            }
        }
    }
    return command;
}
