#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/fd_io_posix.h"
#include "platform/std_streams.h"

std::string ReadStandardInput(size_t maxBytes, int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    std::string bytes;
    char chunk[65536];
    while (bytes.size() < maxBytes) {
        const size_t wanted = std::min(sizeof chunk, maxBytes - bytes.size());
        const ssize_t got = ::read(STDIN_FILENO, chunk, wanted);
        if (got > 0) {
            bytes.append(chunk, static_cast<size_t>(got));
        } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // A non-blocking input with nothing in it yet: wait for data or its end.
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&input, 1, static_cast<int>(left.count())) == 0) {
                break;
            }
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    return bytes;
}

bool WriteStandardOutput(std::string_view bytes) {
    return WriteAllToDescriptor(STDOUT_FILENO, bytes);
}

bool WriteStandardError(std::string_view bytes) {
    return WriteAllToDescriptor(STDERR_FILENO, bytes);
}
