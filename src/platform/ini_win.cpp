#include <windows.h>

#include <vector>

#include "platform/handles_win.h"
#include "platform/ini.h"

namespace {

// The profile functions write a new file in the ANSI code page, which loses every character
// outside it. A file that starts with a UTF-16LE byte-order mark is kept in UTF-16, so create
// each file that way before its first write. CREATE_NEW leaves an existing file alone.
void EnsureUnicodeFile(const std::wstring& path) {
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file.get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr);
}

}  // namespace

std::wstring IniReadString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars) {
    if (bufferChars == 0) {
        return {};
    }
    // An empty path would make the profile functions use win.ini.
    if (path.empty()) {
        return defaultValue.substr(0, bufferChars - 1);
    }
    std::vector<wchar_t> buffer(bufferChars);
    const DWORD length =
        GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(bufferChars), path.c_str());
    return std::wstring(buffer.data(), length);
}

int32_t IniReadInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int32_t defaultValue) {
    if (path.empty()) {
        return defaultValue;
    }
    return static_cast<int32_t>(
        GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, path.c_str()));
}

bool IniWriteString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value) {
    if (path.empty()) {
        return false;
    }
    EnsureUnicodeFile(path);
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path.c_str());
}

bool IniReplaceSection(const std::wstring& path, const std::wstring& section,
                       const std::vector<std::pair<std::wstring, std::wstring>>& entries) {
    if (path.empty()) {
        return false;
    }
    // "key=value\0key=value\0\0": the profile functions replace the whole section with it.
    std::wstring block;
    for (const auto& [key, value] : entries) {
        block.append(key).append(L"=").append(value).push_back(L'\0');
    }
    block.push_back(L'\0');
    EnsureUnicodeFile(path);
    return WritePrivateProfileSectionW(section.c_str(), block.c_str(), path.c_str());
}

bool IniDeleteSection(const std::wstring& path, const std::wstring& section) {
    if (path.empty()) {
        return false;
    }
    EnsureUnicodeFile(path);
    return WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, path.c_str());
}
