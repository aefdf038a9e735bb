#pragma once

#include <windows.h>

#include "app/command_line.h"

// Desktop mode: hands over to a running instance of this logon session (its panel opens), or
// becomes the instance and runs until it quits. Returns the exit code, 0.
int RunDesktopInstance(HINSTANCE instance, const CommandLine& command);
