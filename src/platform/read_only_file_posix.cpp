#include <fcntl.h>
#include <sys/stat.h>
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
    failed_ = false;
    // Non-blocking, so that opening a FIFO never waits for a writer.
    const int fd = ::open(PathFromWide(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat status {};
    if (fd < 0) {
        return false;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
    return true;
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
            failed_ = true;
            return 0;
        }
    }
}
