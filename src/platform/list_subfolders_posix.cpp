#include <filesystem>
#include <system_error>

#include "platform/file_walk.h"
#include "platform/system.h"

std::vector<std::wstring> ListSubfolders(const std::wstring& folder, size_t limit) {
    std::vector<std::wstring> names;
    std::error_code error;
    std::filesystem::directory_iterator it(PathFromWide(folder), error);
    for (; !error && it != std::filesystem::directory_iterator() && names.size() < limit;
         it.increment(error)) {
        std::error_code statusError;
        if (it->is_symlink(statusError) || !it->is_directory(statusError)) continue;
        names.push_back(WideFromPath(it->path().filename()));
    }
    return names;
}
