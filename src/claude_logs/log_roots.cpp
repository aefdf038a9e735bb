#include "claude_logs/log_roots.h"

#include "core/log_files.h"
#include "platform/system.h"

std::vector<std::wstring> ClaudeLogRoots(const std::wstring& userProfile, const std::wstring& home,
                                         const std::wstring& claudeConfigDir) {
    std::vector<std::wstring> roots;
    if (!claudeConfigDir.empty()) {
        size_t begin = 0;
        while (begin < claudeConfigDir.size()) {
            size_t comma = claudeConfigDir.find(L',', begin);
            if (comma == std::wstring::npos) comma = claudeConfigDir.size();
            roots.push_back(JoinPath(claudeConfigDir.substr(begin, comma - begin), {L"projects"}));
            begin = comma + 1;
        }
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
