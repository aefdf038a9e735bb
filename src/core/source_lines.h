#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One place on this computer that logs come from, as the settings page, the report and the export
// list it: "Windows ~/.claude · 1,204 files", "Ubuntu (WSL) · stopped, not read".
struct SourceLine {
    std::wstring name;
    size_t files = 0;      // log files that gave records or Codex figures
    bool notRead = false;  // a WSL distribution that is not running, left alone
    bool unreadable = false;  // a folder of it could not be listed (access denied, say)
    friend bool operator==(const SourceLine&, const SourceLine&) = default;
};

// "1,204 files" ("1 file"), "stopped, not read"; for a place with a folder that could not be
// listed, "not read", or "12 files, some not read".
std::wstring SourceDetail(const SourceLine& line);

// "<name> · " and the detail.
std::wstring FormatSourceLine(const SourceLine& line);

// Adds `more` to `lines`: a name already there has its files added (read anywhere, it was read),
// a new one goes last.
void MergeSourceLines(std::vector<SourceLine>& lines, const std::vector<SourceLine>& more);

// The places that gave something, and the ones not read (stopped, or a folder that could not be
// listed): lines with no files that were read in full are left out.
std::vector<SourceLine> ShownSourceLines(const std::vector<SourceLine>& claude,
                                         const std::vector<SourceLine>& codex);
