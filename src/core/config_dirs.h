#pragma once

#include <functional>
#include <string>
#include <vector>

// The folders that CLAUDE_CONFIG_DIR names, in order: items separated by commas, blanks and tabs
// around each trimmed, empty items dropped (an empty one would name the current folder). A value
// that names one existing folder whole is that folder, commas and all ("C:\Users\Doe, John"):
// splitting it would send the logs, the credentials and the settings file elsewhere.
std::vector<std::wstring> SplitConfigDirs(const std::wstring& value,
                                          const std::function<bool(const std::wstring&)>& isFolder);

// The same, asking the file system whether the whole value is a folder.
std::vector<std::wstring> SplitConfigDirs(const std::wstring& value);
