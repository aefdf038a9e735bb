#pragma once

#include <string>
#include <vector>

// The folders that hold Claude Code's logs, in scan order: "projects" in every folder that
// CLAUDE_CONFIG_DIR names (SplitConfigDirs), then home/.claude/projects and
// home/.config/claude/projects. Home is USERPROFILE, or HOME when that is empty; an empty home
// leaves the last two relative to the current folder.
std::vector<std::wstring> ClaudeLogRoots(const std::wstring& userProfile, const std::wstring& home,
                                         const std::wstring& claudeConfigDir);

// The same from this process's environment.
std::vector<std::wstring> ClaudeLogRootsFromEnvironment();
