#pragma once

#include <string>
#include <vector>

// The folders that CLAUDE_CONFIG_DIR names, in order: items separated by commas, blanks and tabs
// around each trimmed, empty items dropped (an empty one would name the current folder).
std::vector<std::wstring> SplitConfigDirs(const std::wstring& value);
