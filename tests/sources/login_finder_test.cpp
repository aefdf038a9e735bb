// The logins' folders as places to read, and how often logins are looked for.
#include "sources/login_finder.h"

#include <gtest/gtest.h>

#include "core/log_files.h"

namespace {

const std::wstring kHome = L"/home/me";

std::wstring H(std::initializer_list<std::wstring_view> parts) {
    return JoinPath(kHome, parts);
}

Login LoginIn(LoginTool tool, std::vector<std::wstring> folders, std::wstring where = L"",
              bool fromWsl = false, bool isDefault = false) {
    Login login;
    login.tool = tool;
    login.folders = std::move(folders);
    login.where = std::move(where);
    login.fromWsl = fromWsl;
    login.isDefault = isDefault;
    return login;
}

std::vector<std::wstring> Names(const std::vector<LogPlace>& places) {
    std::vector<std::wstring> names;
    for (const LogPlace& place : places)
        names.push_back(place.name);
    return names;
}

TEST(LoginPlaces, EveryLoginFolderIsReadOnceWithoutRenamingTheOldPlaces) {
    PlaceEnvironment env;
    env.userProfile = kHome;
    const std::vector<LogPlace> local = LocalPlaces(env);
    const std::wstring system(kThisSystemName);
    const std::wstring wslHome = L"//wsl.localhost/Ubuntu/home/dev";
    const std::wstring work = H({L".claude-work"});
    struct Case {
        const char* what;
        std::vector<Login> logins;
        std::vector<std::wstring> names;  // after this computer's first three
        size_t localCount;
        std::vector<std::wstring> wslClaudeRoots;  // added to Ubuntu's
    };
    const std::vector<Case> cases = {
        {"the default logins read what was read before",
         {LoginIn(LoginTool::kClaude, {H({L".claude"})}, L"", false, true),
          LoginIn(LoginTool::kCodex, {H({L".codex"})}, L"", false, true)},
         {L"Ubuntu (WSL)"},
         3,
         {}},
        {"a named folder is a place of its own, named by its folder",
         {LoginIn(LoginTool::kClaude, {H({L".claude"}), work}, L"", false, true)},
         {work, L"Ubuntu (WSL)"},
         4,
         {}},
        {"a folder that is a Claude and a Codex login is one place",
         {LoginIn(LoginTool::kClaude, {work}), LoginIn(LoginTool::kCodex, {work})},
         {work, L"Ubuntu (WSL)"},
         4,
         {}},
        {"a WSL login's folder joins its distribution",
         {LoginIn(LoginTool::kClaude, {JoinPath(wslHome, {L".claude-x"})}, L"Ubuntu (WSL)", true)},
         {L"Ubuntu (WSL)"},
         3,
         {JoinPath(wslHome, {L".claude-x", L"projects"})}},
        {"a WSL login of a distribution that is no place is not read",
         {LoginIn(LoginTool::kClaude, {L"//wsl.localhost/Arch/root/.claude-x"}, L"Arch (WSL)",
                  true)},
         {L"Ubuntu (WSL)"},
         3,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<LogPlace> places = local;
        places.push_back({L"Ubuntu (WSL)", {JoinPath(wslHome, {L".claude", L"projects"})}, {}});
        const size_t count = AddLoginPlaces(places, local.size(), c.logins);
        EXPECT_EQ(count, c.localCount);
        std::vector<std::wstring> names = Names(places);
        ASSERT_GE(names.size(), 3u);
        EXPECT_EQ(std::vector<std::wstring>(names.begin(), names.begin() + 3), Names(local));
        EXPECT_EQ(std::vector<std::wstring>(names.begin() + 3, names.end()), c.names);
        std::vector<std::wstring> wslRoots(places.back().claudeRoots.begin() + 1,
                                           places.back().claudeRoots.end());
        EXPECT_EQ(wslRoots, c.wslClaudeRoots);
        if (count == 4) {
            EXPECT_EQ(places[3].claudeRoots,
                      (std::vector<std::wstring>{JoinPath(work, {L"projects"})}));
        }
    }
}

TEST(LoginPlaces, AHomeCodexBesideAConfiguredOneKeepsItsOldName) {
    PlaceEnvironment env;
    env.userProfile = kHome;
    env.codexHome = L"/elsewhere";
    std::vector<LogPlace> places = LocalPlaces(env);
    const size_t before = places.size();
    AddLoginPlaces(places, before,
                   {LoginIn(LoginTool::kCodex, {H({L".codex"})}, L"", false, true),
                    LoginIn(LoginTool::kCodex, {L"/elsewhere"})});
    ASSERT_EQ(places.size(), before + 1);
    EXPECT_EQ(places[before].name, std::wstring(kThisSystemName) + L" ~/.codex");
    EXPECT_EQ(places[before].codexFolders,
              (std::vector<std::wstring>{H({L".codex", L"sessions"})}));
}

TEST(LoginFinder, LooksAgainEveryTenMinutesOrWhenWhatItFoundFromChanged) {
    size_t lists = 0;
    DiscoveryFiles files;
    files.listFolders = [&](const std::wstring&) {
        ++lists;
        return std::vector<std::wstring>{};
    };
    files.exists = [](const std::wstring&) { return false; };
    files.readSmall = [](const std::wstring&, size_t) { return std::optional<std::string>(); };
    PlaceEnvironment env;
    env.userProfile = kHome;
    LoginFinder finder(env, files);
    struct Step {
        int64_t now;
        std::vector<WslHomes> wsl;
        std::vector<std::wstring> agents;
        bool looks;
    };
    const std::vector<WslHomes> ubuntu = {{L"Ubuntu", {L"//wsl.localhost/Ubuntu/root"}}};
    const std::vector<Step> steps = {
        {1000, {}, {}, true},
        {1599, {}, {}, false},
        {1600, {}, {}, true},
        {1601, ubuntu, {}, true},
        {1602, ubuntu, {}, false},
        {1603, ubuntu, {L"/s"}, false},  // sessions only move between the logins found
        {1604, ubuntu, {}, false},
        {1500, ubuntu, {L"/s"}, true},  // the clock went back
    };
    size_t expected = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.now);
        const std::vector<Login>& logins = finder.Logins(step.now, step.wsl, step.agents);
        expected += step.looks ? 1 : 0;
        EXPECT_EQ(finder.discoveries(), expected);
        // No folder is a login here: agent sessions are an entry of their own, or nothing.
        ASSERT_EQ(logins.size(), step.agents.size());
        if (!logins.empty()) {
            EXPECT_EQ(logins[0].claudeRoots, step.agents);
        }
    }
    EXPECT_GT(lists, 0u);
}

}  // namespace
