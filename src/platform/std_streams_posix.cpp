#include <unistd.h>

#include <cerrno>

#include "platform/fd_io_posix.h"
#include "platform/std_streams.h"

std::string ReadStandardInput() {
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got > 0) {
            bytes.append(chunk, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

bool WriteStandardOutput(std::string_view bytes) {
    return WriteAllToDescriptor(STDOUT_FILENO, bytes);
}
