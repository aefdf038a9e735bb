#include <windows.h>

#include "platform/unicode.h"
#include "support/temp_dir.h"

void SetEnvironment(const std::string& name, const char* value) {
    const std::wstring wideName = Utf8ToWide(name);
    if (value) {
        SetEnvironmentVariableW(wideName.c_str(), Utf8ToWide(value).c_str());
    } else {
        SetEnvironmentVariableW(wideName.c_str(), nullptr);
    }
}

std::wstring HostPath(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    if (!wide.empty() && wide[0] == L'/') {
        wide = L"Z:" + wide;
    }
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return wide;
}

const char* const kProfileVariable = "USERPROFILE";
