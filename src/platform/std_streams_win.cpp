#include <windows.h>

#include <algorithm>

#include "platform/std_streams.h"

// A GUI program started from a console without redirection has no standard handles at all.
std::string ReadStandardInput(size_t maxBytes, int /*waitMs: Windows pipes block*/) {
    std::string bytes;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    char chunk[65536];
    DWORD got = 0;
    // Windows ends a pipe with FALSE (ERROR_BROKEN_PIPE), Wine with TRUE and 0 bytes.
    while (bytes.size() < maxBytes &&
           ReadFile(input, chunk, static_cast<DWORD>(std::min(sizeof chunk, maxBytes - bytes.size())),
                    &got, nullptr) &&
           got > 0) {
        bytes.append(chunk, got);
    }
    return bytes;
}

namespace {

bool WriteToStandardHandle(DWORD which, std::string_view bytes) {
    HANDLE output = GetStdHandle(which);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        return false;
    }
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        if (!WriteFile(output, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool WriteStandardOutput(std::string_view bytes) {
    return WriteToStandardHandle(STD_OUTPUT_HANDLE, bytes);
}

bool WriteStandardError(std::string_view bytes) {
    return WriteToStandardHandle(STD_ERROR_HANDLE, bytes);
}
