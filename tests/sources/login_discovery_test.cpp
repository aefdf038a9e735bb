// Finding the logins of a computer from made-up homes: which folders are logins, what they are
// called, which merge, and what a damaged or oversized identity file does.
#include "sources/login_discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "core/log_files.h"

namespace {

// Folders and files by path, built with the system's separator.
struct FakeFiles {
    std::set<std::wstring> folders;
    std::map<std::wstring, std::string> files;
    std::vector<size_t> capsAsked;

    static std::wstring At(const std::wstring& base, const std::wstring& relative) {
        std::wstring path = base;
        size_t from = 0;
        while (from <= relative.size()) {
            size_t slash = relative.find(L'/', from);
            if (slash == std::wstring::npos)
                slash = relative.size();
            if (slash > from)
                path = JoinPath(path, {relative.substr(from, slash - from)});
            from = slash + 1;
        }
        return path;
    }
    // One separator and no trailing one: the program joins paths as the system does, and the
    // tests run on both.
    static std::wstring N(std::wstring path) {
        for (wchar_t& c : path)
            c = c == L'\\' ? L'/' : c;
        while (path.size() > 1 && path.back() == L'/')
            path.pop_back();
        return path;
    }
    void Folder(const std::wstring& path) {
        for (std::wstring p = N(path); !p.empty(); p = p.substr(0, p.find_last_of(L'/'))) {
            folders.insert(p);
            if (p.find_last_of(L'/') == std::wstring::npos)
                break;
        }
    }
    void File(const std::wstring& path, std::string bytes = "{}") {
        const std::wstring n = N(path);
        Folder(n.substr(0, n.find_last_of(L'/')));
        files[n] = std::move(bytes);
    }
    DiscoveryFiles Functions() {
        DiscoveryFiles f;
        f.listFolders = [this](const std::wstring& listed) {
            const std::wstring folder = N(listed);
            std::vector<std::wstring> names;
            for (const std::wstring& p : folders) {
                if (IsBelow(p, folder) && p.find(L'/', folder.size() + 1) == std::wstring::npos) {
                    names.push_back(p.substr(folder.size() + 1));
                }
            }
            return names;
        };
        f.exists = [this](const std::wstring& path) {
            return folders.count(N(path)) != 0 || files.count(N(path)) != 0;
        };
        f.readSmall = [this](const std::wstring& path, size_t cap) -> std::optional<std::string> {
            capsAsked.push_back(cap);
            const auto it = files.find(N(path));
            if (it == files.end() || it->second.size() > cap)
                return std::nullopt;
            return it->second;
        };
        return f;
    }
};

const std::wstring kHome = L"/home/me";

std::wstring H(const std::wstring& relative) {
    return FakeFiles::At(kHome, relative);
}

std::string ClaudeJson(const std::string& uuid, const std::string& email) {
    return R"({"numStartups":12,"projects":{"/a":{"allowedTools":[]}},"oauthAccount":{)"
           R"("accountUuid":")" +
           uuid + R"(","emailAddress":")" + email +
           R"(","organizationUuid":"org-1"},"userID":"x"})";
}

struct Expected {
    std::wstring name;
    std::wstring key;
    std::vector<std::wstring> folders;
    bool hasCredentials;
};

struct DiscoveryCase {
    const char* what;
    std::vector<std::wstring> folders;                        // relative to the home
    std::vector<std::pair<std::wstring, std::string>> files;  // relative to the home
    std::wstring claudeConfigDir;  // relative to the home, comma-separated
    std::vector<Expected> claude;
};

std::wstring ConfigDirs(const std::wstring& relative) {
    std::wstring value;
    size_t from = 0;
    while (from < relative.size()) {
        size_t comma = relative.find(L',', from);
        if (comma == std::wstring::npos)
            comma = relative.size();
        if (!value.empty())
            value += L',';
        const std::wstring item = relative.substr(from, comma - from);
        value += H(item);
        if (item.ends_with(L'/'))
            value += L'/';
        from = comma + 1;
    }
    return value;
}

TEST(LoginDiscovery, ClaudeLoginsOfFixtureHomes) {
    const std::string huge =
        ClaudeJson("u-1", "me@example.com") + std::string(kMaxIdentityFileBytes, ' ');
    const std::vector<DiscoveryCase> cases = {
        {"the default folder only",
         {L".claude/projects"},
         {},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"the default and a named folder, by name",
         {L".claude/projects", L".claude-zeta/projects"},
         {{L".claude-work/.credentials.json", "{}"}},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false},
          {L"work", L"dir:" + H(L".claude-work"), {H(L".claude-work")}, true},
          {L"zeta", L"dir:" + H(L".claude-zeta"), {H(L".claude-zeta")}, false}}},
        {"a folder with neither credentials nor logs is no login",
         {L".claude/projects", L".claude-empty/cache", L".claude-/projects"},
         {},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"configured folders come first; one without credentials or logs is left out",
         {L".claude/projects"},
         {{L"d1/.credentials.json", "{}"}},
         L"d1,d2",
         {{L"d1", L"dir:" + H(L"d1"), {H(L"d1")}, true},
          {L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"a configured named folder is found once, under its configured spelling",
         {L".claude-work/projects"},
         {},
         L".claude-work/",
         {{L"work", L"dir:" + H(L".claude-work"), {H(L".claude-work") + L"/"}, false}}},
        {"two folders of one account are one login named by its address",
         {L".claude/projects", L".claude-work/projects"},
         {{L".claude.json", ClaudeJson("u-1", "me@example.com")},
          {L".claude-work/.claude.json", ClaudeJson("u-1", "me@example.com")},
          {L".claude-work/.credentials.json", "{}"}},
         L"",
         {{L"me@example.com", L"id:u-1", {H(L".claude"), H(L".claude-work")}, true}}},
        {"two accounts stay apart",
         {L".claude/projects", L".claude-work/projects"},
         {{L".claude.json", ClaudeJson("u-1", "me@example.com")},
          {L".claude-work/.claude.json", ClaudeJson("u-2", "me@work.example")}},
         L"",
         {{L"me@example.com", L"id:u-1", {H(L".claude")}, false},
          {L"me@work.example", L"id:u-2", {H(L".claude-work")}, false}}},
        {"a damaged .claude.json gives the folder's identity",
         {L".claude/projects"},
         {{L".claude.json", R"({"oauthAccount":{"accountUuid":"u-1","emai)"}},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"an empty .claude.json gives the folder's identity",
         {L".claude/projects"},
         {{L".claude.json", ""}},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"an oversized .claude.json gives the folder's identity",
         {L".claude/projects"},
         {{L".claude.json", huge}},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"the XDG folder alone makes the default login",
         {L".config/claude/projects"},
         {},
         L"",
         {{L"default", L"dir:" + H(L".claude"), {H(L".claude")}, false}}},
        {"without one in the home, the default folder's own .claude.json names its account",
         {L".claude/projects"},
         {{L".claude/.claude.json", ClaudeJson("u-1", "me@example.com")}},
         L"",
         {{L"me@example.com", L"id:u-1", {H(L".claude")}, false}}},
    };
    for (const DiscoveryCase& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFiles fake;
        for (const std::wstring& folder : c.folders)
            fake.Folder(H(folder));
        for (const auto& [file, bytes] : c.files)
            fake.File(H(file), bytes);
        PlaceEnvironment env;
        env.userProfile = kHome;
        env.claudeConfigDir = ConfigDirs(c.claudeConfigDir);
        const std::vector<Login> logins = DiscoverLogins(env, {}, {}, fake.Functions());
        ASSERT_EQ(logins.size(), c.claude.size());
        for (size_t i = 0; i < logins.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(logins[i].tool, LoginTool::kClaude);
            EXPECT_EQ(logins[i].name, c.claude[i].name);
            EXPECT_EQ(logins[i].key, c.claude[i].key);
            EXPECT_EQ(logins[i].folders, c.claude[i].folders);
            EXPECT_EQ(logins[i].credentialsPath.has_value(), c.claude[i].hasCredentials);
            EXPECT_FALSE(logins[i].fromWsl);
        }
        for (const size_t cap : fake.capsAsked)
            EXPECT_EQ(cap, kMaxIdentityFileBytes);
    }
}

TEST(LoginDiscovery, TheDefaultLoginReadsBothOfItsLogFoldersAndKeepsTheOldCaches) {
    FakeFiles fake;
    fake.Folder(H(L".claude/projects"));
    fake.File(H(L".claude-work/.credentials.json"));
    PlaceEnvironment env;
    env.userProfile = kHome;
    const std::vector<Login> logins = DiscoverLogins(env, {}, {}, fake.Functions());
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_TRUE(logins[0].isDefault);
    EXPECT_EQ(logins[0].claudeRoots,
              (std::vector<std::wstring>{H(L".claude/projects"), H(L".config/claude/projects")}));
    EXPECT_FALSE(logins[1].isDefault);
    EXPECT_EQ(logins[1].credentialsPath, H(L".claude-work/.credentials.json"));
    EXPECT_EQ(logins[1].claudeRoots, (std::vector<std::wstring>{H(L".claude-work/projects")}));
    EXPECT_EQ(logins[1].where, H(L".claude-work"));
}

TEST(LoginDiscovery, AgentSessionsJoinTheOnlyLoginOrStandApart) {
    const std::wstring agent =
        L"/appdata/Claude/local-agent-mode-sessions/a/m/local_1/.claude/projects";
    struct Case {
        const char* what;
        std::vector<std::wstring> folders;
        size_t logins;
        bool desktopEntry;
    };
    const std::vector<Case> cases = {
        {"one login keeps them", {L".claude/projects"}, 1, false},
        {"two logins: their own entry", {L".claude/projects", L".claude-work/projects"}, 3, true},
        {"no login: their own entry", {}, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFiles fake;
        for (const std::wstring& folder : c.folders)
            fake.Folder(H(folder));
        PlaceEnvironment env;
        env.userProfile = kHome;
        const std::vector<Login> logins = DiscoverLogins(env, {}, {agent}, fake.Functions());
        ASSERT_EQ(logins.size(), c.logins);
        const Login& last = logins.back();
        EXPECT_EQ(last.name == kDesktopLoginName, c.desktopEntry);
        EXPECT_EQ(last.claudeRoots.back(), agent);
        EXPECT_EQ(std::count_if(logins.begin(), logins.end(),
                                [&](const Login& l) {
                                    return std::find(l.claudeRoots.begin(), l.claudeRoots.end(),
                                                     agent) != l.claudeRoots.end();
                                }),
                  1);
        if (c.desktopEntry) {
            EXPECT_FALSE(last.credentialsPath.has_value());
            EXPECT_TRUE(last.folders.empty());
        }
    }
}

std::string Base64Url(const std::string& bytes) {
    static const char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (const unsigned char c : bytes) {
        bits = (bits << 8) | c;
        count += 8;
        while (count >= 6) {
            count -= 6;
            out += kDigits[(bits >> count) & 63];
        }
    }
    if (count > 0)
        out += kDigits[(bits << (6 - count)) & 63];
    return out;
}

std::string CodexAuth(const std::string& claims) {
    return R"({"OPENAI_API_KEY":null,"tokens":{"id_token":"eyJhbGciOiJSUzI1NiJ9.)" +
           Base64Url(claims) +
           R"(.c2ln","access_token":"a","refresh_token":"r","account_id":"acc-1"},"last_refresh":"x"})";
}

TEST(LoginDiscovery, CodexHomesInOrderNamedByAccountOrFolder) {
    FakeFiles fake;
    fake.Folder(H(L".codex/sessions"));
    fake.File(H(L".codex-personal/auth.json"),
              CodexAuth(R"({"sub":"user-7","email":"me@example.com","aud":["app"]})"));
    fake.File(H(L".codex-team/auth.json"),
              CodexAuth(R"({"sub":"user-7","email":"me@example.com"})"));
    fake.Folder(H(L"elsewhere/sessions"));
    fake.Folder(H(L".claude/projects"));
    PlaceEnvironment env;
    env.userProfile = kHome;
    env.codexHome = H(L"elsewhere");
    const std::vector<Login> logins = DiscoverLogins(env, {}, {}, fake.Functions());
    ASSERT_EQ(logins.size(), 4u);
    EXPECT_EQ(logins[0].tool, LoginTool::kClaude);
    const std::vector<std::pair<std::wstring, std::wstring>> codex = {
        {L"elsewhere", L"dir:" + H(L"elsewhere")},
        {L"default", L"dir:" + H(L".codex")},
        {L"me@example.com", L"id:codex:user-7"},  // two homes of one account merge
    };
    for (size_t i = 0; i < codex.size(); ++i) {
        EXPECT_EQ(logins[i + 1].tool, LoginTool::kCodex);
        EXPECT_EQ(logins[i + 1].name, codex[i].first);
        EXPECT_EQ(logins[i + 1].key, codex[i].second);
        EXPECT_FALSE(logins[i + 1].credentialsPath.has_value());
    }
    EXPECT_TRUE(logins[2].isDefault);
    EXPECT_EQ(logins[2].codexFolders, (std::vector<std::wstring>{H(L".codex/sessions")}));
    EXPECT_EQ(logins[3].folders.size(), 2u);
}

TEST(LoginDiscovery, WslHomesAreLoginsOfTheirDistribution) {
    FakeFiles fake;
    const std::wstring wslHome = L"//wsl.localhost/Ubuntu/home/dev";
    fake.Folder(FakeFiles::At(wslHome, L".claude/projects"));
    fake.Folder(FakeFiles::At(wslHome, L".claude-work/projects"));
    fake.Folder(FakeFiles::At(wslHome, L".codex/sessions"));
    fake.Folder(H(L".claude/projects"));
    PlaceEnvironment env;
    env.userProfile = kHome;
    const std::vector<Login> logins =
        DiscoverLogins(env, {{L"Ubuntu", {wslHome}}}, {}, fake.Functions());
    ASSERT_EQ(logins.size(), 4u);
    EXPECT_FALSE(logins[0].fromWsl);
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_TRUE(logins[i].fromWsl);
        EXPECT_FALSE(logins[i].isDefault);
        EXPECT_EQ(logins[i].where, L"Ubuntu (WSL)");
    }
    // Named apart from this computer's logins of the same folder names.
    EXPECT_EQ(logins[0].name, L"default");
    EXPECT_EQ(logins[1].name, L"Ubuntu");
    EXPECT_EQ(logins[2].name, L"work (Ubuntu)");
    EXPECT_EQ(logins[3].tool, LoginTool::kCodex);
    EXPECT_EQ(logins[3].name, L"Ubuntu");
}

TEST(LoginIdentity, ClaudeJson) {
    struct Case {
        const char* what;
        std::string text;
        std::optional<std::string> id;
    };
    const std::vector<Case> cases = {
        {"both members", ClaudeJson("u-1", "me@example.com"), "u-1"},
        {"spaced as pretty-printed",
         "{\n  \"oauthAccount\": {\n    \"accountUuid\": \"u-1\",\n"
         "    \"emailAddress\": \"me@example.com\"\n  }\n}",
         "u-1"},
        {"no e-mail", R"({"oauthAccount":{"accountUuid":"u-1"}})", std::nullopt},
        {"e-mail outside the account",
         R"({"oauthAccount":{"accountUuid":"u-1"},"emailAddress":"a@b.c"})", std::nullopt},
        {"not an object", R"({"oauthAccount":"u-1","accountUuid":"u","emailAddress":"a@b.c"})",
         std::nullopt},
        {"never closed", R"({"oauthAccount":{"accountUuid":"u-1","emailAddress":"a@b.c")",
         std::nullopt},
        {"empty id", ClaudeJson("", "me@example.com"), std::nullopt},
        {"id with a blank", ClaudeJson("u 1", "me@example.com"), std::nullopt},
        {"escaped e-mail", ClaudeJson("u-1", "me\\u0040example.com"), std::nullopt},
        {"e-mail without @", ClaudeJson("u-1", "me.example.com"), std::nullopt},
        {"e-mail with a control character", ClaudeJson("u-1", "me@ex\x01.com"), std::nullopt},
        {"overlong id", ClaudeJson(std::string(129, 'a'), "me@example.com"), std::nullopt},
        {"longest id", ClaudeJson(std::string(128, 'a'), "me@example.com"), std::string(128, 'a')},
        {"empty", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<LoginIdentity> identity = ParseClaudeIdentity(c.text);
        ASSERT_EQ(identity.has_value(), c.id.has_value());
        if (identity) {
            EXPECT_EQ(identity->id, *c.id);
            EXPECT_EQ(identity->name, L"me@example.com");
        }
    }
}

TEST(LoginIdentity, CodexAuthJson) {
    struct Case {
        const char* what;
        std::string text;
        bool found;
    };
    const std::vector<Case> cases = {
        {"a token with both claims", CodexAuth(R"({"sub":"user-7","email":"me@example.com"})"),
         true},
        {"no e-mail claim", CodexAuth(R"({"sub":"user-7"})"), false},
        {"an API key only", R"({"OPENAI_API_KEY":"sk-1","tokens":null})", false},
        {"a token that is not base64", R"({"tokens":{"id_token":"a.b!c.d"}})", false},
        {"a token without parts", R"({"tokens":{"id_token":"abc"}})", false},
        {"a claim set cut short", CodexAuth(R"({"sub":"user-7","email":"me@exa)"), false},
        {"empty", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<LoginIdentity> identity = ParseCodexIdentity(c.text);
        ASSERT_EQ(identity.has_value(), c.found);
        if (identity) {
            EXPECT_EQ(identity->id, "codex:user-7");
            EXPECT_EQ(identity->name, L"me@example.com");
        }
    }
}

TEST(LoginDiscovery, FolderNamesAndSameFolders) {
    const std::vector<std::pair<std::wstring, std::wstring>> names = {
        {L"/h/.claude", L"default"},   {L"/h/.codex", L"default"},    {L"/h/.claude-work", L"work"},
        {L"/h/.codex-me", L"me"},      {L"/h/.claude-", L".claude-"}, {L"D:\\cfg\\team\\", L"team"},
        {L"/h/.claudex", L".claudex"},
    };
    for (const auto& [folder, name] : names)
        EXPECT_EQ(LoginNameOfFolder(folder), name) << folder;
    struct Same {
        std::wstring a, b;
        bool same;
    };
    const std::vector<Same> pairs = {
        {L"C:\\Users\\Me\\.claude", L"c:/users/me/.claude/", true},
        {L"\\\\server\\Share\\x", L"\\\\SERVER\\share\\X", true},
        {L"\\\\wsl.localhost\\Ubuntu\\home\\Me", L"\\\\wsl.localhost\\Ubuntu\\home\\me", false},
        {L"\\\\wsl$\\Ubuntu\\home\\me\\", L"\\\\wsl$\\Ubuntu\\home\\me", true},
        {L"/home/Me", L"/home/me", false},
        {L"/home/me/", L"/home/me", true},
        {L"C:\\a", L"C:\\ab", false},
    };
    for (const Same& p : pairs)
        EXPECT_EQ(SameFolder(p.a, p.b), p.same) << p.a << L" " << p.b;
}

}  // namespace
