#pragma once

#include <string>
#include <vector>

enum class RunMode {
    Desktop,
    JsonExport,
    HistoryCsv,
    StatusLine,
    Version,
    UnknownOption,
    MissingFile,  // an option that needs a file name was given none
};

// What the command line asks for.
struct CommandLine {
    RunMode mode = RunMode::Desktop;
    std::wstring jsonPath;   // the export's output file
    bool autostart = false;  // desktop mode started with Windows: no panel at start
    // The history's CSV file, for `--history-csv FILE`.
    std::wstring historyCsvPath;
    // The first word that looks like an option and is none; with MissingFile, the option that
    // needs a file.
    std::wstring unknownOption;
};

// Reads the arguments (argument 0 is the program). Whole arguments, case-sensitive:
// "--json FILE" as the first argument is the export, "--history-csv FILE" the history's CSV
// (without FILE, MissingFile), "--statusline" the status line command, "--version" the version;
// everything else is desktop mode, where "--autostart" anywhere counts. In desktop mode a word
// that starts with "-" and is none of the program's options is a mistake the user should hear
// of (UnknownOption); other words are ignored.
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);
