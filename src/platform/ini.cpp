#include "platform/ini.h"

#include <filesystem>
#include <functional>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/ini_encoding.h"
#include "platform/ini_text.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "platform/whole_file.h"

namespace {

// The file's text, "" when it does not exist; nothing when it exists but cannot be read.
std::optional<std::string> CurrentText(const std::wstring& path) {
    if (const auto bytes = ReadFileIfReadable(path)) {
        return IniTextFromBytes(*bytes);
    }
    std::error_code error;
    const auto status = std::filesystem::status(PathFromWide(path), error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::string();
    }
    return std::nullopt;
}

bool EditFile(const std::wstring& path,
              const std::function<std::string(const std::string&)>& edit) {
    if (path.empty()) {
        return false;
    }
    const auto text = CurrentText(path);
    if (!text) {
        return false;
    }
    return WriteFileAtomically(path, IniBytesFromText(edit(*text), IniFileEncoding()));
}

std::string Body(const IniEntries& entries) {
    std::string body;
    for (const auto& [key, value] : entries) {
        body.append(WideToUtf8(key)).append("=").append(WideToUtf8(value)).append("\n");
    }
    return body;
}

}  // namespace

IniFile IniFile::Read(const std::wstring& path) {
    IniFile file;
    if (path.empty()) return file;
    if (const std::optional<std::string> bytes = ReadFileIfReadable(path)) {
        file.text_ = IniTextFromBytes(*bytes);
    } else {
        std::error_code error;
        file.unreadable_ = std::filesystem::status(PathFromWide(path), error).type() !=
                           std::filesystem::file_type::not_found;
    }
    return file;
}

std::optional<std::wstring> IniFile::Value(const std::wstring& section,
                                           const std::wstring& key) const {
    const auto value = IniTextGet(text_, WideToUtf8(section), WideToUtf8(key));
    if (!value) {
        return std::nullopt;
    }
    return Utf8ToWide(*value);
}

std::wstring IniFile::String(const std::wstring& section, const std::wstring& key,
                             const std::wstring& defaultValue, size_t bufferChars) const {
    if (bufferChars == 0) {
        return {};
    }
    std::wstring result = Value(section, key).value_or(defaultValue);
    if (result.size() > bufferChars - 1) {
        result.resize(bufferChars - 1);
    }
    return result;
}

int32_t IniFile::Int(const std::wstring& section, const std::wstring& key,
                     int32_t defaultValue) const {
    const auto value = Value(section, key);
    if (!value || value->empty()) {
        return defaultValue;
    }
    return IniIntegerFromText(*value);
}

std::vector<std::wstring> IniFile::Keys(const std::wstring& section) const {
    std::vector<std::wstring> keys;
    for (const std::string& key : IniTextKeys(text_, WideToUtf8(section))) {
        keys.push_back(Utf8ToWide(key));
    }
    return keys;
}

std::wstring IniReadString(const std::wstring& path, const std::wstring& section,
                           const std::wstring& key, const std::wstring& defaultValue,
                           size_t bufferChars) {
    return IniFile::Read(path).String(section, key, defaultValue, bufferChars);
}

int32_t IniReadInt(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                   int32_t defaultValue) {
    return IniFile::Read(path).Int(section, key, defaultValue);
}

bool IniWriteKeys(const std::wstring& path, const std::wstring& section,
                  const IniEntries& entries, const std::vector<std::wstring>& removed) {
    return EditFile(path, [&](const std::string& text) {
        std::string edited = text;
        for (const auto& [key, value] : entries) {
            edited = IniTextSet(edited, WideToUtf8(section), WideToUtf8(key), WideToUtf8(value));
        }
        for (const std::wstring& key : removed) {
            edited = IniTextDeleteKey(edited, WideToUtf8(section), WideToUtf8(key));
        }
        return edited;
    });
}

bool IniWriteString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value) {
    return IniWriteKeys(path, section, {{key, value}});
}

bool IniReplaceSection(const std::wstring& path, const std::wstring& section,
                       const IniEntries& entries) {
    return EditFile(path, [&](const std::string& text) {
        return IniTextReplaceSection(text, WideToUtf8(section), Body(entries));
    });
}

bool IniDeleteSection(const std::wstring& path, const std::wstring& section) {
    return EditFile(path, [&](const std::string& text) {
        return IniTextDeleteSection(text, WideToUtf8(section));
    });
}
