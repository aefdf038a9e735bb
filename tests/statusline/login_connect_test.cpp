// Which settings.json a Claude login's own Connect edits, and what its failures say.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system.h"
#include "statusline/claude_settings.h"

namespace {

Login ClaudeLogin(std::vector<std::wstring> folders) {
    Login login;
    login.tool = LoginTool::kClaude;
    login.name = L"work";
    login.folders = std::move(folders);
    return login;
}

TEST(LoginSettingsPath, OnlyALoginThisProgramCanRunForHasOne) {
    const std::wstring folder = L"/home/me/.claude-work";
    Login codex = ClaudeLogin({L"/home/me/.codex"});
    codex.tool = LoginTool::kCodex;
    Login wsl = ClaudeLogin({folder});
    wsl.fromWsl = true;
    Login desktop = ClaudeLogin({folder});
    desktop.name = kDesktopLoginName;
    const struct {
        const char* what;
        Login login;
        bool has;
    } cases[] = {
        {"a Claude folder", ClaudeLogin({folder}), true},
        {"two folders of one account: the first", ClaudeLogin({folder, L"/home/me/.claude"}), true},
        {"a Codex home", codex, false},
        {"a folder in WSL", wsl, false},
        {"the desktop app's sessions", desktop, false},
        {"no folder", ClaudeLogin({}), false},
    };
    for (const auto& c : cases) {
        const std::wstring path = LoginSettingsPath(c.login);
        EXPECT_EQ(!path.empty(), c.has) << c.what;
        if (c.has) {
            EXPECT_EQ(PathFromWide(path),
                      std::filesystem::path(PathFromWide(folder)) / "settings.json")
                << c.what;
        }
    }
    EXPECT_EQ(StatusLineStateAt(L""), kNoStatusLine);
}

TEST(StatusLineUpdateFailure, ALoginsFileIsNamedByItsPath) {
    const std::wstring path = L"C:\\Users\\me\\.claude-work\\settings.json";
    EXPECT_EQ(StatusLineUpdateFailure({StatusLineUpdate::kFailed, {}}, path),
              L"Could not write C:\\Users\\me\\.claude-work\\settings.json.");
    EXPECT_EQ(StatusLineUpdateFailure({StatusLineUpdate::kNotJsonObject, "a trailing comma"}, path),
              L"C:\\Users\\me\\.claude-work\\settings.json is not valid JSON (a trailing comma), "
              L"so Tidewell left it unchanged.");
}

}  // namespace
