#pragma once

#include <string>
#include <string_view>

// "Start with Windows": the value "Tidewell" under the per-user Run key. Task Manager's Startup
// tab (and the Settings app's Startup page) switch such an entry off without deleting it: they
// write a value of the same name under "Explorer\StartupApproved\Run", whose first byte has its
// lowest bit set while the entry is disabled. Elsewhere there is no such thing: autostart reads
// as off and cannot be switched on.

// True when the Run value exists (whatever its type) and Windows has not been told to skip it.
bool IsAutostartOn();

// On: writes the Run value for the running executable and, when Task Manager had disabled the
// entry and `overTaskManager` (the user switched it on here), enables it again. Off: deletes
// the Run value. Failures are silent.
void SetAutostart(bool on, bool overTaskManager = true);

// Points an existing Run value at the running executable (it may have been moved), leaving
// whether Windows runs it as the user set it. Nothing happens when there is no Run value.
void RefreshAutostartCommand();

// The Run value's data: the quoted executable path and " --autostart".
std::wstring AutostartCommand(const std::wstring& executablePath);

// True when a StartupApproved value's data says the entry is disabled: its first byte is odd
// (0x03 and 0x07 are what Task Manager writes; 0x02 and 0x06 mean enabled). Data too short to
// say anything leaves the entry as the Run key has it.
bool StartupApprovalDisables(std::string_view data);

// The data that marks an entry enabled: 0x02 and eleven zero bytes, as Task Manager writes it.
std::string_view StartupApprovalEnabled();
