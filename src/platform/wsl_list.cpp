#include "platform/wsl_system.h"

#include "platform/unicode.h"

namespace {

// Adds one line's name: U+FEFF (a byte order mark, wherever it lands) and NUL dropped, edge
// spaces and a carriage return trimmed.
void AddName(std::wstring_view line, std::vector<std::wstring>& names) {
    std::wstring name;
    for (const wchar_t c : line) {
        if (c != 0xFEFF && c != 0)
            name += c;
    }
    while (!name.empty() && (name.back() == L' ' || name.back() == L'\r'))
        name.pop_back();
    size_t first = 0;
    while (first < name.size() && name[first] == L' ')
        ++first;
    if (first < name.size())
        names.push_back(name.substr(first));
}

}  // namespace

bool IsUtf16WslOutput(std::string_view output) {
    if (output.starts_with("\xEF\xBB\xBF"))
        return false;
    if (output.starts_with("\xFF\xFE"))
        return true;
    // UTF-8 text holds no NUL byte; UTF-16 text of names has one in every line break.
    return output.find('\0') != std::string_view::npos;
}

std::vector<std::wstring> ParseWslRunningList(std::string_view output) {
    std::vector<std::wstring> names;
    if (!IsUtf16WslOutput(output)) {
        size_t from = 0;
        while (from < output.size()) {
            size_t end = output.find('\n', from);
            if (end == std::string_view::npos)
                end = output.size();
            AddName(Utf8ToWide(output.substr(from, end - from)), names);
            from = end + 1;
        }
        return names;
    }
    std::wstring line;
    for (size_t i = 0; i + 1 < output.size(); i += 2) {
        const auto unit = static_cast<wchar_t>(static_cast<unsigned char>(output[i]) |
                                               static_cast<unsigned char>(output[i + 1]) << 8);
        if (unit == L'\n') {
            AddName(line, names);
            line.clear();
        } else {
            line += unit;
        }
    }
    AddName(line, names);
    return names;
}
