
#include "platform/whole_file.h"
#include "platform/atomic_file.h"
#include "platform/ini.h"
#include "platform/ini_text.h"
#include "platform/unicode.h"

namespace {

std::string ReadIni(const std::wstring& path) { return ReadWholeFile(path); }

}  // namespace

std::wstring IniReadString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars) {
    if (bufferChars == 0) {
        return {};
    }
    const auto value = path.empty()
                           ? std::nullopt
                           : IniTextGet(ReadIni(path), WideToUtf8(section), WideToUtf8(key));
    std::wstring result = value ? Utf8ToWide(*value) : defaultValue;
    if (result.size() > bufferChars - 1) {
        result.resize(bufferChars - 1);
    }
    return result;
}

int32_t IniReadInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int32_t defaultValue) {
    if (path.empty()) {
        return defaultValue;
    }
    const auto value = IniTextGet(ReadIni(path), WideToUtf8(section), WideToUtf8(key));
    if (!value || value->empty()) {
        return defaultValue;
    }
    return IniIntegerFromText(Utf8ToWide(*value));
}

bool IniWriteString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value) {
    if (path.empty()) {
        return false;
    }
    return WriteFileAtomically(
        path, IniTextSet(ReadIni(path), WideToUtf8(section), WideToUtf8(key), WideToUtf8(value)));
}

bool IniReplaceSection(const std::wstring& path, const std::wstring& section,
                       const std::vector<std::pair<std::wstring, std::wstring>>& entries) {
    if (path.empty()) {
        return false;
    }
    std::string body;
    for (const auto& [key, value] : entries) {
        body.append(WideToUtf8(key)).append("=").append(WideToUtf8(value)).append("\n");
    }
    return WriteFileAtomically(path, IniTextReplaceSection(ReadIni(path), WideToUtf8(section), body));
}

bool IniDeleteSection(const std::wstring& path, const std::wstring& section) {
    if (path.empty()) {
        return false;
    }
    return WriteFileAtomically(path, IniTextDeleteSection(ReadIni(path), WideToUtf8(section)));
}
