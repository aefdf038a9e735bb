#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>

#include "platform/system.h"
#include "platform/unicode.h"

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("tidewell-test-" + std::to_string(random()) + "-" +
                        std::to_string(counter.fetch_add(1)));
        std::error_code error;
        if (std::filesystem::create_directory(path_, error)) {
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring TempDir::File(const std::string& name) const {
    return WideFromPath(path_ / PathFromWide(Utf8ToWide(name)));
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ScopedEnvironment::ScopedEnvironment(const std::string& name, const char* value) : name_(name) {
    const std::wstring old = ReadEnvironment(Utf8ToWide(name));  // unset and empty alike
    if (!old.empty()) old_ = WideToUtf8(old);
    SetEnvironment(name, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetEnvironment(name_, old_ ? old_->c_str() : nullptr); }
