#include "claude_logs/log_roots.h"

#include "core/config_dirs.h"
#include "core/log_files.h"
#include "platform/system.h"

std::vector<std::wstring> ClaudeLogRoots(const std::wstring& userProfile, const std::wstring& home,
                                         const std::wstring& claudeConfigDir) {
    std::vector<std::wstring> roots;
    for (const std::wstring& folder : SplitConfigDirs(claudeConfigDir)) {
        roots.push_back(JoinPath(folder, {L"projects"}));
    }
    const std::wstring& homeDir = userProfile.empty() ? home : userProfile;
    roots.push_back(JoinPath(homeDir, {L".claude", L"projects"}));
    roots.push_back(JoinPath(homeDir, {L".config", L"claude", L"projects"}));
    return roots;
}

std::vector<std::wstring> ClaudeLogRootsFromEnvironment() {
    return ClaudeLogRoots(ReadUserProfile(), ReadEnvironment(L"HOME"),
                          ReadEnvironment(L"CLAUDE_CONFIG_DIR"));
}
