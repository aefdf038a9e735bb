#pragma once

#include <optional>

#include "app/command_line.h"

// Runs the short-lived modes (the JSON export, the status line) and returns their exit code;
// nothing for desktop mode, which the platform's entry point starts itself.
std::optional<int> RunCommandLineMode(const CommandLine& command);
