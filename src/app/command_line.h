#pragma once

#include <string>
#include <vector>

enum class RunMode { Desktop, JsonExport, StatusLine, Version };

// What the command line asks for.
struct CommandLine {
    RunMode mode = RunMode::Desktop;
    std::wstring jsonPath;   // the export's output file
    bool autostart = false;  // desktop mode started with Windows: no panel at start
};

// Reads the arguments (argument 0 is the program). Whole arguments, case-sensitive:
// "--json FILE" as the first argument is the export, "--statusline" the status line command,
// "--version" the version;
// everything else is desktop mode, where "--autostart" anywhere counts. Unknown words are ignored.
CommandLine ParseCommandLine(const std::vector<std::wstring>& args);
