#pragma once

#include <string>

// "Start with Windows": the value "Tidewell" under the per-user Run key. Elsewhere there is no
// such thing: it reads as off and cannot be switched on.

// True exactly when the value exists, whatever its type.
bool IsAutostartOn();

// Writes the value for the running executable (on) or deletes it (off). Failures are silent.
void SetAutostart(bool on);

// The value's data: the quoted executable path and " --autostart".
std::wstring AutostartCommand(const std::wstring& executablePath);
