#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What a folder walk tells about one regular file.
struct WalkedFile {
    uint64_t size = 0;
    int64_t lastWriteTime = 0;  // Unix seconds, rounded down
};

using VisitFile = std::function<void(const std::wstring& path, const WalkedFile& file)>;
using VisitUnlisted = std::function<void(const std::wstring& folder)>;

// Calls `visit` with the full path of every regular file below `root`, depth first. Links to
// files are followed, links to folders are not. A folder that cannot be listed (or only in part:
// access denied, a path too long, a failing disk) is passed to `unlisted` and skipped, and the
// walk goes on; a folder that vanished on the way is simply gone. Size and time come from each
// file's own status, which is current even while another program keeps the file open.
void WalkRegularFiles(const std::wstring& root, const VisitFile& visit,
                      const VisitUnlisted& unlisted = nullptr);

// True when anything exists at `path` (links followed).
bool PathExists(const std::wstring& path);

// The names of the folders directly in `folder` (links to folders left out), at most `limit` of
// them, in the order the system lists them; none when it cannot be listed.
std::vector<std::wstring> ListSubfolders(const std::wstring& folder, size_t limit);
