#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

CommandLine Parse(std::vector<std::wstring> args) {
    args.insert(args.begin(), L"tidewell.exe");
    return ParseCommandLine(args);
}

TEST(ParseCommandLine, ChoosesTheModeFromTheFirstArgument) {
    struct Case {
        std::vector<std::wstring> args;
        RunMode mode;
        std::wstring jsonPath;
        bool autostart;
    };
    const Case cases[] = {
        {{}, RunMode::Desktop, L"", false},
        {{L"--json", L"out.json"}, RunMode::JsonExport, L"out.json", false},
        {{L"--json", L"out.json", L"--statusline"}, RunMode::JsonExport, L"out.json", false},
        {{L"--json"}, RunMode::Desktop, L"", false},  // a lone --json is no export
        {{L"--statusline"}, RunMode::StatusLine, L"", false},
        {{L"--statusline", L"extra", L"words"}, RunMode::StatusLine, L"", false},
        {{L"--version"}, RunMode::Version, L"", false},
        {{L"--autostart", L"--version"}, RunMode::Desktop, L"", true},
        {{L"--autostart"}, RunMode::Desktop, L"", true},
        {{L"--autostart", L"--json", L"out.json"}, RunMode::Desktop, L"", true},
        {{L"--JSON", L"out.json"}, RunMode::UnknownOption, L"", false},  // case-sensitive
        {{L"--json=out.json"}, RunMode::UnknownOption, L"", false},  // whole arguments only
        {{L"whatever", L"--autostart"}, RunMode::Desktop, L"", true},  // plain words are ignored
        {{L"--autostart "}, RunMode::UnknownOption, L"", false},
        {{L"--autostart", L"-x"}, RunMode::UnknownOption, L"", false},
        {{L"--autostart", L"--statusline"}, RunMode::Desktop, L"", true},
        {{L"-"}, RunMode::UnknownOption, L"", false},
        {{L"--statusline", L"--no-such-option"}, RunMode::StatusLine, L"", false},
    };
    for (const Case& c : cases) {
        const CommandLine command = Parse(c.args);
        EXPECT_EQ(command.mode, c.mode) << c.args.size();
        EXPECT_EQ(command.jsonPath, c.jsonPath);
        EXPECT_EQ(command.autostart, c.autostart);
        EXPECT_EQ(command.unknownOption.empty(), c.mode != RunMode::UnknownOption);
    }
}

TEST(ParseCommandLine, TheHistoryExportNeedsItsFile) {
    const struct {
        std::vector<std::wstring> args;
        RunMode mode;
        std::wstring path;
        std::wstring option;
    } cases[] = {
        {{L"--history-csv", L"h.csv"}, RunMode::HistoryCsv, L"h.csv", L""},
        {{L"--history-csv", L"h.csv", L"--json", L"x"}, RunMode::HistoryCsv, L"h.csv", L""},
        {{L"--history-csv", L"--json"}, RunMode::HistoryCsv, L"--json", L""},  // as given
        {{L"--history-csv"}, RunMode::MissingFile, L"", L"--history-csv"},
        {{L"--History-csv", L"h.csv"}, RunMode::UnknownOption, L"", L"--History-csv"},
        // Only as the first word.
        {{L"--autostart", L"--history-csv", L"x"}, RunMode::UnknownOption, L"", L"--history-csv"},
        {{L"--json", L"--history-csv"}, RunMode::JsonExport, L"", L""},
    };
    for (const auto& c : cases) {
        const CommandLine command = Parse(c.args);
        EXPECT_EQ(command.mode, c.mode) << c.args.size();
        EXPECT_EQ(command.historyCsvPath, c.path);
        EXPECT_EQ(command.unknownOption, c.option);
    }
}

}  // namespace
