#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/read_only_file.h"
#include "platform/system.h"

ReadOnlyFile::~ReadOnlyFile() { Close(); }

void ReadOnlyFile::Close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

bool ReadOnlyFile::Open(const std::wstring& path) {
    Close();
    handle_ = ::open(PathFromWide(path).c_str(), O_RDONLY | O_CLOEXEC);
    return handle_ >= 0;
}

bool ReadOnlyFile::Seek(uint64_t offset) {
    return handle_ >= 0 &&
           ::lseek(static_cast<int>(handle_), static_cast<off_t>(offset), SEEK_SET) >= 0;
}

size_t ReadOnlyFile::Read(char* buffer, size_t size) {
    if (handle_ < 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) {
            return static_cast<size_t>(n);
        }
        if (errno != EINTR) {
            return 0;
        }
    }
}
