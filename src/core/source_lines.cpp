#include "core/source_lines.h"

#include <algorithm>

namespace {

// 1204 -> "1,204".
std::wstring Grouped(size_t value) {
    std::wstring digits = std::to_wstring(value);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, L",");
    return digits;
}

}  // namespace

std::wstring SourceDetail(const SourceLine& line) {
    if (line.notRead) return L"stopped, not read";
    if (line.unreadable && line.files == 0)
        return L"not read";
    return Grouped(line.files) + (line.files == 1 ? L" file" : L" files") +
           (line.unreadable ? L", some not read" : L"");
}

std::wstring FormatSourceLine(const SourceLine& line) {
    return line.name + L" \u00b7 " + SourceDetail(line);
}

void MergeSourceLines(std::vector<SourceLine>& lines, const std::vector<SourceLine>& more) {
    for (const SourceLine& line : more) {
        const auto same = std::find_if(lines.begin(), lines.end(),
                                       [&](const SourceLine& l) { return l.name == line.name; });
        if (same == lines.end()) {
            lines.push_back(line);
        } else {
            same->files += line.files;
            same->notRead = same->notRead && line.notRead;
            same->unreadable = same->unreadable || line.unreadable;
        }
    }
}

std::vector<SourceLine> ShownSourceLines(const std::vector<SourceLine>& claude,
                                         const std::vector<SourceLine>& codex) {
    std::vector<SourceLine> lines;
    MergeSourceLines(lines, claude);
    MergeSourceLines(lines, codex);
    std::erase_if(lines, [](const SourceLine& line) {
        return !line.notRead && !line.unreadable && line.files == 0;
    });
    return lines;
}
