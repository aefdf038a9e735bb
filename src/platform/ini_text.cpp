#include "platform/ini_text.h"

#include <vector>

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

struct Line {
    std::string_view text;  // without its line end
    size_t begin = 0;       // offset of the line in the file
    size_t end = 0;         // offset after its line end
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t newline = text.find('\n', begin);
        const size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view line = text.substr(begin, (newline == std::string_view::npos
                                                        ? text.size()
                                                        : newline) - begin);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back({line, begin, end});
        begin = end;
    }
    return lines;
}

// The section name of a "[name]" line, or nullopt for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const size_t close = line.find(']');
    return Trim(close == std::string_view::npos ? line : line.substr(0, close));
}

bool IsComment(std::string_view line) {
    line = Trim(line);
    return !line.empty() && line.front() == ';';
}

std::string_view KeyOf(std::string_view line) {
    const size_t equals = line.find('=');
    return Trim(equals == std::string_view::npos ? line : line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    std::string_view value = Trim(line.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Index range [first, last) of the entry lines of the first section named `section`; `header`
// is the index of its "[section]" line. False when the section is missing.
bool FindSection(const std::vector<Line>& lines, std::string_view section, size_t& header,
                 size_t& last) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (name && EqualsIgnoringCase(*name, section)) {
            header = i;
            last = i + 1;
            while (last < lines.size() && !SectionName(lines[last].text)) ++last;
            return true;
        }
    }
    return false;
}

bool IsEntryFor(std::string_view line, std::string_view key) {
    return !Trim(line).empty() && !IsComment(line) && EqualsIgnoringCase(KeyOf(line), key);
}

}  // namespace

std::optional<std::string> IniTextGet(std::string_view text, std::string_view section,
                                      std::string_view key) {
    const auto lines = SplitLines(text);
    size_t header = 0, last = 0;
    if (!FindSection(lines, section, header, last)) {
        return std::nullopt;
    }
    for (size_t i = header + 1; i < last; ++i) {
        if (IsEntryFor(lines[i].text, key)) {
            return std::string(ValueOf(lines[i].text));
        }
    }
    return std::nullopt;
}

std::vector<std::string> IniTextKeys(std::string_view text, std::string_view section) {
    std::vector<std::string> keys;
    const auto lines = SplitLines(text);
    size_t header = 0, last = 0;
    if (!FindSection(lines, section, header, last)) {
        return keys;
    }
    for (size_t i = header + 1; i < last; ++i) {
        const std::string_view line = lines[i].text;
        if (!Trim(line).empty() && !IsComment(line)) keys.emplace_back(KeyOf(line));
    }
    return keys;
}

std::string IniTextSet(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value) {
    const auto lines = SplitLines(text);
    std::string entry;
    entry.append(key).append("=").append(value).append("\n");

    size_t header = 0, last = 0;
    if (!FindSection(lines, section, header, last)) {
        std::string out(text);
        if (!out.empty() && out.back() != '\n') out += '\n';
        out.append("[").append(section).append("]\n").append(entry);
        return out;
    }
    size_t insertAt = lines[header].end;
    for (size_t i = header + 1; i < last; ++i) {
        if (IsEntryFor(lines[i].text, key)) {
            std::string out(text.substr(0, lines[i].begin));
            out.append(entry).append(text.substr(lines[i].end));
            return out;
        }
        if (!Trim(lines[i].text).empty()) insertAt = lines[i].end;
    }
    std::string out(text.substr(0, insertAt));
    // The line before may be the file's last one, without a line end.
    if (!out.empty() && out.back() != '\n') out += '\n';
    out.append(entry).append(text.substr(insertAt));
    return out;
}

std::string IniTextReplaceSection(std::string_view text, std::string_view section,
                                  std::string_view body) {
    const auto lines = SplitLines(text);
    std::string out;
    out.reserve(text.size() + body.size());
    bool inReplaced = false;
    bool written = false;
    const auto writeSection = [&] {
        if (!out.empty() && out.back() != '\n') out += '\n';
        out.append("[").append(section).append("]\n").append(body);
        written = true;
    };
    for (const Line& line : lines) {
        if (const auto name = SectionName(line.text)) {
            inReplaced = EqualsIgnoringCase(*name, section);
            if (inReplaced && !written) writeSection();
        }
        if (!inReplaced) {
            out.append(text.substr(line.begin, line.end - line.begin));
        }
    }
    if (!written) writeSection();
    return out;
}

std::string IniTextDeleteSection(std::string_view text, std::string_view section) {
    const auto lines = SplitLines(text);
    std::string out;
    out.reserve(text.size());
    bool inDeleted = false;
    for (const Line& line : lines) {
        if (const auto name = SectionName(line.text)) {
            inDeleted = EqualsIgnoringCase(*name, section);
        }
        if (!inDeleted) {
            out.append(text.substr(line.begin, line.end - line.begin));
        }
    }
    return out;
}

std::string IniTextDeleteKey(std::string_view text, std::string_view section, std::string_view key) {
    const auto lines = SplitLines(text);
    size_t header = 0, last = 0;
    if (!FindSection(lines, section, header, last)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > header && i < last && IsEntryFor(lines[i].text, key)) continue;
        out.append(text.substr(lines[i].begin, lines[i].end - lines[i].begin));
    }
    return out;
}
