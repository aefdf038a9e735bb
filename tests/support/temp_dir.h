#pragma once

#include <filesystem>
#include <optional>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes out of scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the folder, as the program's wide-string paths.
    std::wstring File(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Writes `bytes` to `path` exactly (binary), creating parent folders.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Sets (or, with nullptr, removes) an environment variable of this process.
void SetEnvironment(const std::string& name, const char* value);

// The variable that names the user's profile folder: USERPROFILE on Windows, HOME elsewhere.
extern const char* const kProfileVariable;

// Sets an environment variable for the life of the object, then restores its earlier value.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::string& name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A path that the build wrote into the tests (a host path) as this program must open it: under
// Wine, the host's "/a/b" is "Z:\a\b".
std::wstring HostPath(const std::string& path);
