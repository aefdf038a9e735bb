#include <unistd.h>

#include <cerrno>

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
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}
