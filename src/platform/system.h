#pragma once

#include <filesystem>
#include <string>

// The environment variable's value; empty when it is unset, empty, or 2048 characters or longer.
std::wstring ReadEnvironment(const std::wstring& name);

// The user's profile folder: USERPROFILE on Windows; HOME elsewhere, where a USERPROFILE (a
// Windows variable) means nothing and must not redirect the program.
std::wstring ReadUserProfile();

// The program's own folder for settings and caches: "Tidewell" in the roaming application data
// on Windows, $XDG_CONFIG_HOME/tidewell or ~/.config/tidewell elsewhere (a relative
// XDG_CONFIG_HOME is ignored, as the XDG rules say). Empty when the base
// folder cannot be determined. The folder is not created here.
std::wstring ProgramDataFolder();

// The program's folder for files rewritten all the time that need not follow the user to other
// computers (the limit caches): "Tidewell" in the local application data on Windows, the same
// folder as ProgramDataFolder elsewhere. Empty when the base folder cannot be determined; not
// created here.
std::wstring ProgramLocalDataFolder();

// This computer's name (its host name); empty when it cannot be determined.
std::wstring ComputerName();

// The folder for temporary files, with no trailing separator requirement.
std::wstring TempFolder();

// The full path of the running executable; empty when it cannot be determined.
std::wstring ExecutablePath();

// Paths are wide strings in the program; these convert at the file-system boundary (UTF-8 bytes
// on POSIX, UTF-16 on Windows).
std::filesystem::path PathFromWide(const std::wstring& path);
std::wstring WideFromPath(const std::filesystem::path& path);
