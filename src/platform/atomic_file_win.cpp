#include "platform/atomic_file.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <vector>
#include <string>

#include "platform/atomic_file_replace.h"
#include "platform/handles_win.h"
#include "platform/long_path.h"

namespace {

// The file that `path` finally names, links followed; `path` itself when it does not exist yet.
std::wstring FinalPath(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) {
        return path;
    }
    std::wstring final(MAX_PATH, L'\0');
    DWORD length =
        GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(file.get(), final.data(), length, 0);
    }
    if (length == 0 || length >= final.size()) {
        return path;
    }
    final.resize(length);
    return final;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() > (1u << 30) ? (1u << 30) : bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// FILE_RENAME_INFO as Windows 10 1607 and later take it for FileRenameInfoEx (class 22), with a
// flags word where older headers have the ReplaceIfExists byte.
struct RenameInfoEx {
    DWORD flags;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
};
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

// Renames `temp` over `target` (in the same folder) with POSIX semantics: in one step, and even
// while readers have the target open (shared for deletion, as this program's readers open it).
// Needs Windows 10 1709 or later and NTFS; false elsewhere.
bool RenameOverOpenFile(const std::wstring& temp, const std::wstring& target) {
    const FileHandle file(CreateFileW(temp.c_str(), DELETE | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    // A name without a folder renames within the file's own folder.
    const std::wstring name = std::filesystem::path(target).filename().wstring();
    std::vector<unsigned char> buffer(sizeof(RenameInfoEx) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<RenameInfoEx*>(buffer.data());
    info->flags = kRenameReplaceIfExists | kRenamePosixSemantics;
    info->rootDirectory = nullptr;
    info->fileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(info->fileName, name.data(), name.size() * sizeof(wchar_t));
    return SetFileInformationByHandle(file.get(), kFileRenameInfoEx, info,
                                      static_cast<DWORD>(buffer.size())) != 0;
}

// Moves the finished temporary file to the target's name, trying again while another program
// holds the original.
bool PutInPlace(const std::wstring& temp, const std::wstring& target) {
    for (int attempt = 1;; ++attempt) {
        // A rename that replaces the target is one step on NTFS: a reader opens the old file or
        // the new one, never no file. ReplaceFileW (which would keep the old file's security
        // descriptor) is not: its own failure 1176 means the old file was removed before the new
        // one got its name, and where it is emulated it moves the old file aside first.
        if (RenameOverOpenFile(temp, target) ||
            MoveFileExW(temp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        switch (AfterReplaceFailure(GetLastError(), attempt)) {
            case ReplaceStep::RetryNow:
                break;
            case ReplaceStep::RetryLater:
                Sleep(ReplaceRetryDelayMs(attempt));
                break;
            case ReplaceStep::GiveUp:
                return false;
        }
    }
}

}  // namespace

bool WriteFileAtomically(const std::wstring& path, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    // A link stays a link: the file it points to is replaced, in its own folder.
    // Long paths in their extended form (GetFinalPathNameByHandleW gives that form already).
    const std::wstring target = PathForWin32(FinalPath(PathForWin32(path)));
    const std::wstring temp =
        PathForWin32(target + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                     std::to_wstring(counter.fetch_add(1)));

    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        return false;
    }
    FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    ok = CloseHandle(file.release()) && ok;  // a failed close can lose written data
    if (ok) {
        ok = PutInPlace(temp, target);
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
    } else if (attributes != INVALID_FILE_ATTRIBUTES) {
        // The new file comes with its own attributes: set the old ones again.
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        SetFileAttributesW(target.c_str(), (attributes & kKept) ? attributes & kKept
                                                                : FILE_ATTRIBUTE_NORMAL);
    }
    return ok;
}

bool MoveFileIfAbsent(const std::wstring& from, const std::wstring& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists; without
    // MOVEFILE_COPY_ALLOWED it is a rename, never a copy a reader could see half-made.
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

std::optional<bool> WriteToDevice(const std::wstring& path, std::string_view bytes) {
    FileHandle file(CreateFileW(PathForWin32(path).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || GetFileType(file.get()) == FILE_TYPE_DISK) {
        return std::nullopt;  // a file on disk is replaced whole, never written over in place
    }
    bool ok = WriteAll(file.get(), bytes);
    ok = CloseHandle(file.release()) && ok;
    return ok;
}
