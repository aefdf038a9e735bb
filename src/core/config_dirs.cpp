#include "core/config_dirs.h"

#include <filesystem>
#include <system_error>

#include "platform/system.h"

namespace {

constexpr wchar_t kBlanks[] = L" \t";

}  // namespace

std::vector<std::wstring> SplitConfigDirs(const std::wstring& value,
                                          const std::function<bool(const std::wstring&)>& isFolder) {
    const size_t start = value.find_first_not_of(kBlanks);
    if (start == std::wstring::npos) return {};
    const std::wstring whole = value.substr(start, value.find_last_not_of(kBlanks) - start + 1);
    if (whole.find(L',') != std::wstring::npos && isFolder && isFolder(whole)) return {whole};

    std::vector<std::wstring> folders;
    size_t begin = 0;
    while (begin <= value.size()) {
        size_t comma = value.find(L',', begin);
        if (comma == std::wstring::npos) comma = value.size();
        const size_t first = value.find_first_not_of(kBlanks, begin);
        if (first != std::wstring::npos && first < comma) {
            const size_t last = value.find_last_not_of(kBlanks, comma - 1);
            folders.push_back(value.substr(first, last - first + 1));
        }
        begin = comma + 1;
    }
    return folders;
}

std::vector<std::wstring> SplitConfigDirs(const std::wstring& value) {
    return SplitConfigDirs(value, [](const std::wstring& path) {
        std::error_code error;
        return std::filesystem::is_directory(PathFromWide(path), error);
    });
}
