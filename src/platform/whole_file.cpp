#include "platform/whole_file.h"

#include "platform/read_only_file.h"

std::string ReadWholeFile(const std::wstring& path) {
    return ReadFileIfReadable(path).value_or(std::string());
}

std::optional<std::string> ReadFileIfReadable(const std::wstring& path) {
    ReadOnlyFile file;
    if (!file.Open(path)) {
        return std::nullopt;
    }
    // Read in chunks rather than trusting a size taken beforehand: the file may be growing.
    std::string bytes;
    char chunk[65536];
    while (const size_t got = file.Read(chunk, sizeof chunk)) {
        bytes.append(chunk, got);
    }
    if (file.failed()) {
        return std::nullopt;
    }
    return bytes;
}
