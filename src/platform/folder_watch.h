#pragma once

#include <memory>
#include <string>

// What a watch on a folder tree has seen since it was last asked.
enum class FolderChange {
    kNone,     // nothing below the folder changed
    kChanged,  // something did (or the system's record of changes overflowed)
    kLost,     // the watch stopped working (the folder went): walk, then watch afresh
};

// Changes anywhere below one folder, asked without waiting.
class FolderWatch {
public:
    virtual ~FolderWatch() = default;
    virtual FolderChange Take() = 0;
};

// A watch on `folder` and everything below it, or null when the folder is missing. Where changes
// cannot be watched the watch says kChanged every time (the folder is walked every cycle), and so
// do WSL's folders, which send no notifications and change all day; where signals cannot be
// trusted (network shares) it never does, and only the periodic walk reads the folder.
std::unique_ptr<FolderWatch> WatchFolder(const std::wstring& folder);
