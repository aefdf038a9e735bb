#include "core/files.h"

#include <fstream>

#include "platform/system.h"

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream file(PathFromWide(path), std::ios::binary);
    if (!file) {
        return {};
    }
    // Read in chunks rather than trusting a size taken beforehand: the file may be growing.
    std::string bytes;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.append(chunk, static_cast<size_t>(file.gcount()));
    }
    if (file.bad()) {
        return {};
    }
    return bytes;
}
