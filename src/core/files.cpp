#include "core/files.h"

#include <fstream>

#include "platform/system.h"

std::string ReadWholeFile(const std::wstring& path) {
    return ReadFileIfReadable(path).value_or(std::string());
}

std::optional<std::string> ReadFileIfReadable(const std::wstring& path) {
    std::ifstream file(PathFromWide(path), std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    // Read in chunks rather than trusting a size taken beforehand: the file may be growing.
    std::string bytes;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.append(chunk, static_cast<size_t>(file.gcount()));
    }
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}
