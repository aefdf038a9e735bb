#include "platform/folder_watch.h"

#include <windows.h>

#include "platform/long_path.h"
#include "platform/wsl_system.h"

namespace {

class ChangeNotification : public FolderWatch {
public:
    explicit ChangeNotification(HANDLE handle) : handle_(handle) {}
    ~ChangeNotification() override { FindCloseChangeNotification(handle_); }
    ChangeNotification(const ChangeNotification&) = delete;
    ChangeNotification& operator=(const ChangeNotification&) = delete;

    FolderChange Take() override {
        switch (WaitForSingleObject(handle_, 0)) {
            case WAIT_TIMEOUT:
                return FolderChange::kNone;
            case WAIT_OBJECT_0:
                // Re-armed at once: a change from now on signals again.
                return FindNextChangeNotification(handle_) ? FolderChange::kChanged
                                                           : FolderChange::kLost;
            default:
                return FolderChange::kLost;
        }
    }

private:
    HANDLE handle_;
};

class FixedAnswer : public FolderWatch {
public:
    explicit FixedAnswer(FolderChange answer) : answer_(answer) {}
    FolderChange Take() override { return answer_; }

private:
    FolderChange answer_;
};

// Shares (network drives, \\server\share, \\wsl.localhost\…) notify unreliably or not at all.
bool IsShare(const std::wstring& folder) {
    if (folder.size() >= 2 && (folder[0] == L'\\' || folder[0] == L'/') &&
        (folder[1] == L'\\' || folder[1] == L'/'))
        return true;
    if (folder.size() >= 2 && folder[1] == L':') {
        const wchar_t root[] = {folder[0], L':', L'\\', L'\0'};
        return GetDriveTypeW(root) == DRIVE_REMOTE;
    }
    return false;
}

}  // namespace

std::unique_ptr<FolderWatch> WatchFolder(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(PathForWin32(folder).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return nullptr;
    // WSL's file server sends no notifications, and its users work there all day: polled.
    if (IsWslFolder(folder))
        return std::make_unique<FixedAnswer>(FolderChange::kChanged);
    if (IsShare(folder))
        return std::make_unique<FixedAnswer>(FolderChange::kNone);
    const HANDLE handle =
        FindFirstChangeNotificationW(PathForWin32(folder).c_str(), TRUE,
                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                         FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (handle == INVALID_HANDLE_VALUE)  // cannot be watched: walked every cycle instead
        return std::make_unique<FixedAnswer>(FolderChange::kChanged);
    return std::make_unique<ChangeNotification>(handle);
}
