#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Linux distribution registered with WSL for this user.
struct WslDistribution {
    std::wstring name;
    int32_t version = 2;  // 1 runs without the virtual machine
    friend bool operator==(const WslDistribution&, const WslDistribution&) = default;
};

// The names in the output of "wsl.exe --list --running --quiet", one per line: UTF-16LE as it
// writes by default, or UTF-8 when WSL_UTF8=1 is set for it.
std::vector<std::wstring> ParseWslRunningList(std::string_view output);
// True when that output is UTF-16LE: it starts with the UTF-16LE byte order mark, or holds a NUL
// byte (no UTF-8 text does) and starts without the UTF-8 one.
bool IsUtf16WslOutput(std::string_view output);

// True for a distribution name that can go into \\wsl.localhost\<name> as one path component:
// ASCII letters, digits, '.', '-' and '_' (the characters WSL itself allows in a name), not
// starting or ending with a dot (".", "..", and a trailing dot that Windows would drop, naming
// another distribution). A registry entry with any other name is left alone.
bool IsUsableWslName(std::wstring_view name);

// What the system tells about WSL. Nothing here may start a distribution: only `folderOf`'s
// paths do, and only those of running distributions are ever touched.
struct WslSystem {
    std::function<std::vector<WslDistribution>()> registered;  // from the registry
    // WSL's processes on this side (its virtual machine, wsl.exe, its service), as a number that
    // changes when they do; 0 when none runs, and so no WSL 2 distribution either.
    std::function<uint64_t()> processSignature;
    // Asks wsl.exe which distributions run (a process is started); nothing when it cannot tell.
    std::function<std::optional<std::vector<std::wstring>>()> askRunning;
    std::function<std::wstring(const std::wstring& name)> folderOf;
    std::function<std::vector<std::wstring>(const std::wstring& folder)> listFolders;
};

// WSL as this system has it: the registry's list of distributions, the processes that tell
// whether any can run, wsl.exe's list of running ones, and the \\wsl.localhost\<name> folders.
// Elsewhere than Windows there are none.
//
// Test builds (TIDEWELL_WSL_STANDIN) take the folders from the folder that the environment
// variable of that name gives instead: <folder>\<name> stands for a distribution, and the names
// in <folder>\running.txt (UTF-8, one a line) for wsl.exe's answer.
WslSystem ThisWslSystem();

// True for a folder in a distribution's file system (\\wsl.localhost\…, \\wsl$\…, or below the
// stand-in of a test build): no change notifications come from there.
bool IsWslFolder(const std::wstring& folder);

// True for folders read over a network file server (shares, WSL's): a few megabytes a second.
bool IsSlowFolder(const std::wstring& folder);
