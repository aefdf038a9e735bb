#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What a folder walk tells about one regular file.
struct WalkedFile {
    uint64_t size = 0;
    int64_t lastWriteTime = 0;  // Unix seconds, rounded down
};

// Calls `visit` with the full path of every regular file below `root`, depth first. Links to
// files are followed, links to folders are not; folders that deny access are skipped; any other
// error ends the walk. Files whose status cannot be read are not visited. One status query per
// file at most (none on Windows, where the folder listing carries size and time).
void WalkRegularFiles(const std::wstring& root,
                      const std::function<void(const std::wstring& path, const WalkedFile& file)>& visit);

// True when anything exists at `path` (links followed).
bool PathExists(const std::wstring& path);
