#include "platform/atomic_file.h"

#include <windows.h>

#include <atomic>
#include <string>

bool WriteFileAtomically(const std::wstring& path, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const std::wstring temp = path + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter.fetch_add(1));

    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(bytes.size() > (1u << 30) ? (1u << 30) : bytes.size());
        DWORD written = 0;
        ok = WriteFile(file, bytes.data(), chunk, &written, nullptr) && written > 0;
        bytes.remove_prefix(written);
    }
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    ok = ok && MoveFileExW(temp.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileW(temp.c_str());
    }
    return ok;
}
