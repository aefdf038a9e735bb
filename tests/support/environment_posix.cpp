#include <cstdlib>

#include "support/temp_dir.h"

void SetEnvironment(const std::string& name, const char* value) {
    if (value) {
        setenv(name.c_str(), value, 1);
    } else {
        unsetenv(name.c_str());
    }
}

std::wstring HostPath(const std::string& path) { return std::wstring(path.begin(), path.end()); }

const char* const kProfileVariable = "HOME";
