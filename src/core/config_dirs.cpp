#include "core/config_dirs.h"

std::vector<std::wstring> SplitConfigDirs(const std::wstring& value) {
    constexpr wchar_t kBlanks[] = L" \t";
    std::vector<std::wstring> folders;
    size_t begin = 0;
    while (begin <= value.size()) {
        size_t comma = value.find(L',', begin);
        if (comma == std::wstring::npos)
            comma = value.size();
        const size_t first = value.find_first_not_of(kBlanks, begin);
        if (first != std::wstring::npos && first < comma) {
            const size_t last = value.find_last_not_of(kBlanks, comma - 1);
            folders.push_back(value.substr(first, last - first + 1));
        }
        begin = comma + 1;
    }
    return folders;
}
