#pragma once

#include <string>
#include <vector>

enum class RunMode { Desktop, JsonExport, StatusLine, Version, UnknownOption };

// What the command line asks for.
struct CommandLine {
    RunMode mode = RunMode::Desktop;
    std::wstring jsonPath;   // the export's output file
    bool autostart = false;  // desktop mode started with Windows: no panel at start
    std::wstring unknownOption;  // the first word that looks like an option and is none
};

// Reads the arguments (argument 0 is the program). Whole arguments, case-sensitive:
// "--json FILE" as the first argument is the export, "--statusline" the status line command,
// "--version" the version;
// everything else is desktop mode, where "--autostart" anywhere counts. In desktop mode a word
// that starts with "-" and is none of the program's options is a mistake the user should hear
// of (UnknownOption); other words are ignored.
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);
