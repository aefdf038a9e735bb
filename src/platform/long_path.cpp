#include "platform/long_path.h"

#include <vector>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// `rest` split at separators, with empty and "." components dropped and ".." taking the
// component before it away (none at the root).
std::vector<std::wstring_view> Components(std::wstring_view rest) {
    std::vector<std::wstring_view> parts;
    size_t from = 0;
    while (from <= rest.size()) {
        size_t end = from;
        while (end < rest.size() && !IsSeparator(rest[end]))
            ++end;
        const std::wstring_view part = rest.substr(from, end - from);
        if (part == L"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        from = end + 1;
    }
    return parts;
}

std::wstring Joined(std::wstring root, std::wstring_view rest) {
    const std::vector<std::wstring_view> parts = Components(rest);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            root += L'\\';
        root.append(parts[i]);
    }
    // A trailing separator (a folder named as such) is kept.
    if (!parts.empty() && !rest.empty() && IsSeparator(rest.back()))
        root += L'\\';
    return root;
}

}  // namespace

std::wstring ExtendedLengthPath(std::wstring_view path) {
    const std::wstring unchanged(path);
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2])) {
        return Joined(std::wstring(L"\\\\?\\") + path[0] + L":\\", path.substr(3));
    }
    if (path.size() < 3 || !IsSeparator(path[0]) || !IsSeparator(path[1]))
        return unchanged;
    // \\?\ and \\.\ (either slash): already a device or extended path.
    if ((path[2] == L'?' || path[2] == L'.') && (path.size() == 3 || IsSeparator(path[3]))) {
        return unchanged;
    }
    // \\server\share\rest
    size_t serverEnd = 2;
    while (serverEnd < path.size() && !IsSeparator(path[serverEnd]))
        ++serverEnd;
    size_t shareEnd = serverEnd + 1;
    while (shareEnd < path.size() && !IsSeparator(path[shareEnd]))
        ++shareEnd;
    if (serverEnd == 2 || serverEnd >= path.size() || shareEnd == serverEnd + 1)
        return unchanged;
    std::wstring root = L"\\\\?\\UNC\\";
    root.append(path.substr(2, serverEnd - 2))
        .append(L"\\")
        .append(path.substr(serverEnd + 1, shareEnd - serverEnd - 1));
    if (shareEnd >= path.size())
        return root;
    const std::wstring_view rest = path.substr(shareEnd + 1);
    return Components(rest).empty() ? root + L'\\' : Joined(root + L'\\', rest);
}

std::wstring PathForWin32(std::wstring_view path) {
    return path.size() < kLegacyPathLimit ? std::wstring(path) : ExtendedLengthPath(path);
}
