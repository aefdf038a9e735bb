#include <windows.h>

#include "platform/long_path.h"
#include "platform/read_only_file.h"

namespace {
HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
}  // namespace

ReadOnlyFile::~ReadOnlyFile() { Close(); }

void ReadOnlyFile::Close() {
    if (handle_ != -1) {
        CloseHandle(AsHandle(handle_));
        handle_ = -1;
    }
}

bool ReadOnlyFile::Open(const std::wstring& path) {
    Close();
    HANDLE file = CreateFileW(PathForWin32(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {  // a pipe or a device: nothing to read here
        CloseHandle(file);
        return false;
    }
    failed_ = false;
    handle_ = reinterpret_cast<intptr_t>(file);
    return true;
}

bool ReadOnlyFile::Seek(uint64_t offset) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return handle_ != -1 && SetFilePointerEx(AsHandle(handle_), distance, nullptr, FILE_BEGIN);
}

size_t ReadOnlyFile::Read(char* buffer, size_t size) {
    if (handle_ == -1) {
        return 0;
    }
    const DWORD wanted = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD read = 0;
    if (!ReadFile(AsHandle(handle_), buffer, wanted, &read, nullptr)) {
        failed_ = true;
        return 0;
    }
    return read;
}
