#include "platform/environment_block.h"

namespace {

wchar_t AsciiUpper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c;
}

// True when `entry` ("NAME=value") is the variable `name`.
bool IsVariable(std::wstring_view entry, std::wstring_view name) {
    const size_t equals = entry.find(L'=', 1);  // a leading '=' belongs to the name
    const std::wstring_view entryName = entry.substr(0, equals);
    if (entryName.size() != name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (AsciiUpper(entryName[i]) != AsciiUpper(name[i]))
            return false;
    }
    return true;
}

}  // namespace

std::wstring EnvironmentBlockWithout(std::wstring_view block, std::wstring_view name) {
    std::wstring kept;
    size_t from = 0;
    while (from < block.size() && block[from] != L'\0') {
        size_t end = block.find(L'\0', from);
        if (end == std::wstring_view::npos)
            end = block.size();
        const std::wstring_view entry = block.substr(from, end - from);
        if (!IsVariable(entry, name))
            kept.append(entry).push_back(L'\0');
        from = end + 1;
    }
    if (kept.empty())
        kept.push_back(L'\0');  // an empty block is two NULs
    kept.push_back(L'\0');
    return kept;
}
