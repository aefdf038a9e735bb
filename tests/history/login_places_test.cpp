#include "history/login_places.h"

#include <gtest/gtest.h>

namespace {

Login Of(LoginTool tool, const wchar_t* name, std::vector<std::wstring> roots,
         bool isDefault = false, bool fromWsl = false) {
    Login login;
    login.tool = tool;
    login.name = name;
    (tool == LoginTool::kClaude ? login.claudeRoots : login.codexFolders) = std::move(roots);
    login.isDefault = isDefault;
    login.fromWsl = fromWsl;
    return login;
}

// name, account, default, claude roots, codex folders
std::string Describe(const std::vector<HistoryPlace>& places) {
    std::string text;
    for (const HistoryPlace& p : places) {
        text += p.name + "|" + p.account + (p.defaultAccount ? "*" : "") + "|" +
                std::to_string(p.claudeRoots.size()) + "/" + std::to_string(p.codexFolders.size()) +
                (p.read ? "" : " unread") + ";";
    }
    return text;
}

TEST(LoginPlaces, APlaceIsSplitByTheLoginsThatHoldItsFolders) {
    const HistoryPlace home{"Home",
                            {L"/h/.claude/projects", L"/h/.claude-work/projects"},
                            {L"/h/.codex/sessions"},
                            true};
    const HistoryPlace wsl{"Ubuntu (WSL)", {L"/u/.claude/projects"}, {}, false};
    const Login me = Of(LoginTool::kClaude, L"me@example.com", {L"/h/.claude/projects"}, true);
    const Login work = Of(LoginTool::kClaude, L"work", {L"/h/.claude-work/projects"});
    const Login codex = Of(LoginTool::kCodex, L"default", {L"/h/.codex/sessions"}, true);
    struct Case {
        const char* what;
        std::vector<HistoryPlace> places;
        std::vector<Login> logins;
        const char* split;
    };
    const Case cases[] = {
        {"no logins known: as before", {home}, {}, "Home||2/1;"},
        {"one login of each tool",
         {home},
         {me, codex},
         "Home|me@example.com*|2/0;Home|default*|0/1;"},
        {"a Claude folder of no login, where Claude has none",
         {home},
         {codex},
         "Home|default*|0/1;Home||2/0;"},
        {"two Claude logins",
         {home, wsl},
         {work, me, codex},
         "Home|work|1/0;Home|me@example.com*|1/0;Home|default*|0/1;Ubuntu (WSL)||1/0 unread;"},
        {"a place with no folders stays",
         {HistoryPlace{"Empty", {}, {}, true}},
         {me},
         "Empty||0/0;"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(HistoryPlacesByLogin(c.places, c.logins)), c.split) << c.what;
    }
}

TEST(LoginPlaces, TheDefaultLoginsOfThisComputerNameTheOldRows) {
    const std::vector<Login> logins = {
        Of(LoginTool::kClaude, L"work", {}),
        Of(LoginTool::kClaude, L"wsl-me", {}, true, true),
        Of(LoginTool::kClaude, L"m\u00e9@example.com", {}, true),
        Of(LoginTool::kCodex, L"personal", {}),
    };
    const DefaultAccounts defaults = DefaultAccountsOf(logins);
    EXPECT_EQ(defaults.claude, "m\xC3\xA9@example.com");
    EXPECT_EQ(defaults.codex, "");
    EXPECT_EQ(DefaultAccountsOf({}).claude, "");
}

}  // namespace
