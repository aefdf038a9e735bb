#include <windows.h>

#include "platform/file_walk.h"
#include "platform/handles_win.h"
#include "platform/listing_failure.h"
#include "platform/long_path.h"

namespace {

int64_t UnixSeconds(const FILETIME& time) {
    const int64_t ticks =
        static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return ticks / 10000000 - 11644473600LL;  // 100 ns ticks since 1601
}

// Symbolic links and junctions. Other reparse points (cloud placeholders such as OneDrive's
// files on demand, deduplicated files) are ordinary files and folders to the user.
bool IsLink(const WIN32_FIND_DATAW& data) {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    constexpr DWORD kWslSymlink = 0xA000001D;  // IO_REPARSE_TAG_LX_SYMLINK
    const DWORD tag = data.dwReserved0;
    return tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT || tag == kWslSymlink;
}

// The file's own status. The folder listing's size and time are not enough: NTFS updates them
// lazily while a writer keeps the file open, as Codex does for a whole session.
bool FileStatus(const std::wstring& path, bool link, WalkedFile& file) {
    if (!link) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(PathForWin32(path).c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return false;
        }
        file = {(static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                UnixSeconds(data.ftLastWriteTime)};
        return true;
    }
    // A link to a file: the target's status, through a handle that follows the link.
    const FileHandle handle(CreateFileW(PathForWin32(path).c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                        nullptr));
    if (!handle) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(handle.get(), &info) &&
                    !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (ok) {
        file = {(static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                UnixSeconds(info.ftLastWriteTime)};
    }
    return ok;
}

// Why `folder` could not be listed, asked of the folder itself.
ListingFailure WhyNotListed(const std::wstring& folder, DWORD findError) {
    FolderStatus status;
    const DWORD attributes = GetFileAttributesW(PathForWin32(folder).c_str());
    status.attributesRead = attributes != INVALID_FILE_ATTRIBUTES;
    status.statusError = status.attributesRead ? 0 : GetLastError();
    status.isFolder = status.attributesRead && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return ClassifyListingFailure(findError, status);
}

// Begins the listing of the folder that `prefix` (its path and a separator) names.
HANDLE FindFirstIn(const std::wstring& prefix, WIN32_FIND_DATAW& data, DWORD flags) {
    return FindFirstFileExW(PathForWin32(prefix + L"*").c_str(), FindExInfoBasic, &data,
                            FindExSearchNameMatch, nullptr, flags);
}

struct Walker {
    const VisitFile& visit;
    const VisitUnlisted& unlisted;

    void WalkFolder(const std::wstring& folder) const {
        WIN32_FIND_DATAW data;
        const std::wstring prefix =
            folder + (folder.empty() || folder.back() == L'\\' || folder.back() == L'/' ? L"" : L"\\");
        // Closed on every path: a visit may throw (out of memory) at any depth.
        const FindHandle find(FindFirstIn(prefix, data, FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            const DWORD error = GetLastError();
            if (WhyNotListed(folder, error) == ListingFailure::kNotRead && unlisted)
                unlisted(folder);
            return;
        }
        do {
            const wchar_t* name = data.cFileName;
            if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) {
                continue;
            }
            const std::wstring path = prefix + name;
            const bool link = IsLink(data);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!link) WalkFolder(path);
                continue;
            }
            WalkedFile file;
            if (FileStatus(path, link, file)) {
                visit(path, file);
            }
        } while (FindNextFileW(find.get(), &data));
        if (GetLastError() != ERROR_NO_MORE_FILES && unlisted) {
            unlisted(folder);  // listed only in part
        }
    }
};

}  // namespace

void WalkRegularFiles(const std::wstring& root, const VisitFile& visit, const VisitUnlisted& unlisted) {
    Walker{visit, unlisted}.WalkFolder(root);
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(PathForWin32(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> ListSubfolders(const std::wstring& folder, size_t limit) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const std::wstring prefix =
        folder + (folder.empty() || folder.back() == L'\\' || folder.back() == L'/' ? L"" : L"\\");
    const FindHandle find(FindFirstIn(prefix, data, 0));
    if (!find) return names;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(data)) {
            names.emplace_back(name);
        }
    } while (names.size() < limit && FindNextFileW(find.get(), &data));
    return names;
}
