#include <windows.h>

#include "platform/file_walk.h"

namespace {

using Visit = std::function<void(const std::wstring&, const WalkedFile&)>;

int64_t UnixSeconds(const FILETIME& time) {
    const int64_t ticks =
        static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    const int64_t seconds = ticks / 10000000 - 11644473600LL;  // 100 ns ticks since 1601
    return seconds;
}

// Returns false when the walk must end.
bool WalkFolder(const std::wstring& folder, const Visit& visit) {
    WIN32_FIND_DATAW data;
    const std::wstring pattern =
        folder + (folder.empty() || folder.back() == L'\\' || folder.back() == L'/' ? L"*" : L"\\*");
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    bool keepGoing = true;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) {
            continue;
        }
        const std::wstring path = pattern.substr(0, pattern.size() - 1) + name;
        const DWORD attributes = data.dwFileAttributes;
        const bool link = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!link) keepGoing = WalkFolder(path, visit);
            continue;
        }
        if (!link) {
            visit(path, {(static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                         UnixSeconds(data.ftLastWriteTime)});
            continue;
        }
        // A link to a file: its target's status.
        WIN32_FILE_ATTRIBUTE_DATA target;
        if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &target) &&
            !(target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            visit(path, {(static_cast<uint64_t>(target.nFileSizeHigh) << 32) | target.nFileSizeLow,
                         UnixSeconds(target.ftLastWriteTime)});
        }
    } while (keepGoing && FindNextFileW(find, &data));
    if (keepGoing && GetLastError() != ERROR_NO_MORE_FILES) {
        keepGoing = false;
    }
    FindClose(find);
    return keepGoing;
}

}  // namespace

void WalkRegularFiles(const std::wstring& root, const Visit& visit) { WalkFolder(root, visit); }

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
