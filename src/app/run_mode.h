#pragma once

#include <optional>

#include "app/command_line.h"

// Runs the short-lived modes (the JSON export, the status line) and returns their exit code;
// nothing for desktop mode, which the platform's entry point starts itself. An unknown option
// is told on standard error, with the usage, and exits with 2.
std::optional<int> RunCommandLineMode(const CommandLine& command);

// What the program offers on its command line, one line each.
extern const char kUsageText[];
