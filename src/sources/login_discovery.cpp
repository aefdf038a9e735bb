#include "sources/login_discovery.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

#include "core/config_dirs.h"
#include "core/json_fields.h"
#include "core/log_files.h"
#include "platform/file_walk.h"
#include "platform/read_only_file.h"
#include "platform/unicode.h"

namespace {

constexpr size_t kMaxIdBytes = 128;
constexpr size_t kMaxEmailBytes = 254;
constexpr size_t kMaxTokenBytes = 64 << 10;
constexpr size_t kMaxHomeFolders = 4096;  // a home lists all its folders; none is left out

bool IsPlausibleId(std::string_view id) {
    if (id.empty() || id.size() > kMaxIdBytes)
        return false;
    return std::all_of(id.begin(), id.end(),
                       [](char c) { return c > 0x20 && c < 0x7f && c != '\\' && c != '"'; });
}

bool IsPlausibleEmail(std::string_view email) {
    if (email.size() < 3 || email.size() > kMaxEmailBytes)
        return false;
    if (email.find('@') == std::string_view::npos)
        return false;
    return std::all_of(email.begin(), email.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7f && c != '\\';
    });
}

std::optional<LoginIdentity> IdentityOf(std::string_view id, std::string_view email) {
    if (!IsPlausibleId(id) || !IsPlausibleEmail(email))
        return std::nullopt;
    std::wstring name = Utf8ToWide(email);
    if (name.empty())
        return std::nullopt;
    return LoginIdentity{std::string(id), std::move(name)};
}

// The object that is the value of `key` (its braces included), or nothing when there is none or
// it never closes.
std::optional<std::string_view> ObjectAfterKey(std::string_view text, std::string_view key) {
    const size_t at = FindQuotedKey(text, key, ":", 0);
    if (at == std::string_view::npos)
        return std::nullopt;
    const size_t open = text.find_first_not_of(" \t\r\n", at + key.size() + 3);
    if (open == std::string_view::npos || text[open] != '{')
        return std::nullopt;
    const size_t end = JsonContainerEnd(text, open);
    if (end == std::string_view::npos)
        return std::nullopt;
    return text.substr(open, end - open);
}

int Base64UrlValue(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '-' || c == '+')
        return 62;
    if (c == '_' || c == '/')
        return 63;
    return -1;
}

// Base64url without padding (as in a JSON web token); nothing on any other character.
std::optional<std::string> DecodeBase64Url(std::string_view text) {
    while (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    if (text.size() % 4 == 1)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() * 3 / 4);
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const int value = Base64UrlValue(c);
        if (value < 0)
            return std::nullopt;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<char>((bits >> count) & 0xff));
        }
    }
    return bytes;
}

bool IsWindowsPath(std::wstring_view path) {
    const bool drive =
        path.size() >= 2 && path[1] == L':' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (drive)
        return true;
    const bool share = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
                       (path[1] == L'\\' || path[1] == L'/');
    if (!share)
        return false;
    std::wstring host;
    for (size_t i = 2; i < path.size() && path[i] != L'\\' && path[i] != L'/'; ++i) {
        host += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(path[i])));
    }
    return host != L"wsl$" && host != L"wsl.localhost";  // WSL's folders are Linux folders
}

// The folder as compared: one kind of separator, no trailing separator, and on Windows' own
// paths one letter case.
std::wstring Comparable(std::wstring_view folder) {
    const bool windows = IsWindowsPath(folder);
    std::wstring out(folder);
    for (wchar_t& c : out) {
        if (windows && c == L'/')
            c = L'\\';
        if (windows)
            c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    while (out.size() > 1 && (out.back() == L'\\' || out.back() == L'/'))
        out.pop_back();
    return out;
}

// The folder as a key holds it: as found, without trailing separators, so that "D:\work\" and
// "D:\work" keep one login's settings.
std::wstring KeyFolder(std::wstring_view folder) {
    std::wstring out(folder);
    while (out.size() > 1 && (out.back() == L'\\' || out.back() == L'/'))
        out.pop_back();
    return out;
}

std::wstring LastComponent(std::wstring_view folder) {
    std::wstring_view trimmed = folder;
    while (trimmed.size() > 1 && (trimmed.back() == L'\\' || trimmed.back() == L'/')) {
        trimmed.remove_suffix(1);
    }
    const size_t slash = trimmed.find_last_of(L"\\/");
    return std::wstring(slash == std::wstring_view::npos ? trimmed : trimmed.substr(slash + 1));
}

// One configuration folder as found, before folders of one account are merged.
struct Candidate {
    std::wstring folder;
    std::wstring name;
    std::wstring where;
    std::vector<std::wstring> identityFiles;  // where its account may be named, in order
    std::vector<std::wstring> extraRoots;     // Claude: projects folders beside its own
    bool fromWsl = false;
    bool isDefault = false;
};

class Discovery {
public:
    Discovery(LoginTool tool, const DiscoveryFiles& files) : tool_(tool), files_(files) {}

    // Takes the folder as a login when it qualifies and was not found before.
    void Add(Candidate candidate) {
        const std::wstring same = Comparable(candidate.folder);
        for (const std::wstring& seen : seen_) {
            if (seen == same)
                return;
        }
        seen_.push_back(same);
        const bool claude = tool_ == LoginTool::kClaude;
        const std::wstring credentials =
            JoinPath(candidate.folder, {claude ? L".credentials.json" : L"auth.json"});
        const std::wstring logs = JoinPath(candidate.folder, {claude ? L"projects" : L"sessions"});
        const bool hasCredentials = files_.exists(credentials);
        const bool hasLogs = files_.exists(logs);
        const bool hasExtra =
            std::any_of(candidate.extraRoots.begin(), candidate.extraRoots.end(), files_.exists);
        if (!hasCredentials && !hasLogs && !hasExtra)
            return;

        std::optional<LoginIdentity> identity;
        for (const std::wstring& file : candidate.identityFiles) {
            if (identity)
                break;
            const std::optional<std::string> text = files_.readSmall(file, kMaxIdentityFileBytes);
            if (!text)
                continue;
            identity = claude ? ParseClaudeIdentity(*text) : ParseCodexIdentity(*text);
        }
        const std::wstring key =
            identity ? L"id:" + Utf8ToWide(identity->id) : L"dir:" + KeyFolder(candidate.folder);
        auto login = std::find_if(logins_.begin(), logins_.end(),
                                  [&](const Login& l) { return l.key == key; });
        if (login == logins_.end()) {
            Login fresh;
            fresh.tool = tool_;
            fresh.key = key;
            fresh.name = identity ? identity->name : candidate.name;
            fresh.where = candidate.where;
            fresh.fromWsl = candidate.fromWsl;
            logins_.push_back(std::move(fresh));
            login = logins_.end() - 1;
        }
        login->folders.push_back(candidate.folder);
        login->isDefault = login->isDefault || candidate.isDefault;
        if (hasCredentials && claude && !login->credentialsPath)
            login->credentialsPath = credentials;
        std::vector<std::wstring>& roots = claude ? login->claudeRoots : login->codexFolders;
        // Its logs' folders, whether they exist yet or not: logs written there later are its own.
        roots.push_back(logs);
        roots.insert(roots.end(), candidate.extraRoots.begin(), candidate.extraRoots.end());
    }

    // The home's ".claude-<name>" (or ".codex-<name>") folders, by name.
    void AddNamed(const std::wstring& home, const std::wstring& where, bool fromWsl) {
        const std::wstring prefix = tool_ == LoginTool::kClaude ? L".claude-" : L".codex-";
        std::vector<std::wstring> names;
        for (std::wstring& name : files_.listFolders(home)) {
            if (name.size() > prefix.size() && name.starts_with(prefix))
                names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end());
        for (const std::wstring& name : names) {
            const std::wstring folder = JoinPath(home, {name});
            Add({folder,
                 name.substr(prefix.size()),
                 where.empty() ? folder : where,
                 {IdentityFileIn(folder)},
                 {},
                 fromWsl,
                 false});
        }
    }

    std::wstring IdentityFileIn(const std::wstring& folder) const {
        return JoinPath(folder, {tool_ == LoginTool::kClaude ? L".claude.json" : L"auth.json"});
    }

    std::vector<Login> Take() { return std::move(logins_); }

private:
    LoginTool tool_;
    const DiscoveryFiles& files_;
    std::vector<std::wstring> seen_;
    std::vector<Login> logins_;
};

// One home's logins of `tool`: its default folder, then its named ones.
void AddHome(Discovery& discovery, LoginTool tool, const std::wstring& home,
             const std::wstring& where, bool fromWsl, bool isDefault) {
    if (tool == LoginTool::kClaude) {
        const std::wstring folder = JoinPath(home, {L".claude"});
        // Claude Code keeps the account of its default folder in the home's .claude.json; the
        // XDG folder's logs belong to the same login.
        discovery.Add({folder,
                       L"default",
                       where.empty() ? folder : where,
                       {JoinPath(home, {L".claude.json"}), discovery.IdentityFileIn(folder)},
                       {JoinPath(home, {L".config", L"claude", L"projects"})},
                       fromWsl,
                       isDefault});
    } else {
        const std::wstring folder = JoinPath(home, {L".codex"});
        discovery.Add({folder,
                       L"default",
                       where.empty() ? folder : where,
                       {discovery.IdentityFileIn(folder)},
                       {},
                       fromWsl,
                       isDefault});
    }
    discovery.AddNamed(home, where, fromWsl);
}

std::vector<Login> DiscoverTool(LoginTool tool, const PlaceEnvironment& env,
                                const std::vector<WslHomes>& wslHomes,
                                const DiscoveryFiles& files) {
    Discovery discovery(tool, files);
    const std::wstring& home = env.userProfile.empty() ? env.home : env.userProfile;
    const std::vector<std::wstring> configured =
        tool == LoginTool::kClaude ? SplitConfigDirs(env.claudeConfigDir, files.exists)
        : env.codexHome.empty()    ? std::vector<std::wstring>{}
                                   : std::vector<std::wstring>{env.codexHome};
    const std::wstring defaultFolder =
        Comparable(JoinPath(home, {tool == LoginTool::kClaude ? L".claude" : L".codex"}));
    for (const std::wstring& folder : configured) {
        const bool isDefault = Comparable(folder) == defaultFolder;
        std::vector<std::wstring> identity = {discovery.IdentityFileIn(folder)};
        if (isDefault && tool == LoginTool::kClaude)
            identity.push_back(JoinPath(home, {L".claude.json"}));
        discovery.Add({folder,
                       isDefault ? L"default" : LoginNameOfFolder(folder),
                       folder,
                       identity,
                       {},
                       false,
                       isDefault});
    }
    AddHome(discovery, tool, home, L"", false, true);
    for (const WslHomes& distribution : wslHomes) {
        for (const std::wstring& wslHome : distribution.homes) {
            AddHome(discovery, tool, wslHome, distribution.distribution + L" (WSL)", true, false);
        }
    }
    std::vector<Login> logins = discovery.Take();
    // A distribution's login named by its folder is told from this computer's by the
    // distribution: "Ubuntu" for its default folder, "work (Ubuntu)" for ".claude-work".
    constexpr std::wstring_view kWslMark = L" (WSL)";
    for (Login& login : logins) {
        if (!login.fromWsl || !login.key.starts_with(L"dir:") || !login.where.ends_with(kWslMark))
            continue;
        const std::wstring distribution = login.where.substr(0, login.where.size() - kWslMark.size());
        login.name = login.name == L"default" ? distribution : login.name + L" (" + distribution + L")";
    }
    return logins;
}

}  // namespace

DiscoveryFiles DiscoveryFilesOfThisSystem() {
    DiscoveryFiles files;
    files.listFolders = [](const std::wstring& folder) {
        return ListSubfolders(folder, kMaxHomeFolders);
    };
    files.exists = PathExists;
    files.readSmall = [](const std::wstring& path, size_t cap) -> std::optional<std::string> {
        ReadOnlyFile file;
        if (!file.Open(path))
            return std::nullopt;
        std::string bytes;
        char chunk[64 << 10];
        while (true) {
            const size_t read = file.Read(chunk, sizeof chunk);
            if (read == 0)
                break;
            if (bytes.size() + read > cap)
                return std::nullopt;  // too large to be what we look for
            bytes.append(chunk, read);
        }
        if (file.failed())
            return std::nullopt;
        return bytes;
    };
    return files;
}

std::optional<LoginIdentity> ParseClaudeIdentity(std::string_view text) {
    const std::optional<std::string_view> account = ObjectAfterKey(text, "oauthAccount");
    if (!account)
        return std::nullopt;
    const std::optional<std::string_view> id = FindStringAfterKey(*account, "accountUuid");
    const std::optional<std::string_view> email = FindStringAfterKey(*account, "emailAddress");
    if (!id || !email)
        return std::nullopt;
    return IdentityOf(*id, *email);
}

std::optional<LoginIdentity> ParseCodexIdentity(std::string_view text) {
    const std::optional<std::string_view> tokens = ObjectAfterKey(text, "tokens");
    if (!tokens)
        return std::nullopt;
    const std::optional<std::string_view> token = FindStringAfterKey(*tokens, "id_token");
    if (!token || token->size() > kMaxTokenBytes)
        return std::nullopt;
    // header.payload.signature: the claims are the payload's JSON.
    const size_t first = token->find('.');
    if (first == std::string_view::npos)
        return std::nullopt;
    const size_t second = token->find('.', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::string> claims =
        DecodeBase64Url(token->substr(first + 1, second - first - 1));
    if (!claims)
        return std::nullopt;
    const std::optional<std::string_view> subject = FindStringAfterKey(*claims, "sub");
    const std::optional<std::string_view> email = FindStringAfterKey(*claims, "email");
    if (!subject || !email)
        return std::nullopt;
    std::optional<LoginIdentity> identity = IdentityOf(*subject, *email);
    if (identity)
        identity->id = "codex:" + identity->id;  // never one key with a Claude account
    return identity;
}

std::wstring LoginNameOfFolder(std::wstring_view folder) {
    const std::wstring last = LastComponent(folder);
    for (const std::wstring_view base :
         {std::wstring_view(L".claude"), std::wstring_view(L".codex")}) {
        if (last == base)
            return L"default";
        if (last.size() > base.size() + 1 && last.starts_with(base) && last[base.size()] == L'-') {
            return last.substr(base.size() + 1);
        }
    }
    return last;
}

bool SameFolder(std::wstring_view a, std::wstring_view b) {
    return Comparable(a) == Comparable(b);
}

std::vector<Login> DiscoverLogins(const PlaceEnvironment& environment,
                                  const std::vector<WslHomes>& wslHomes,
                                  const std::vector<std::wstring>& agentRoots,
                                  const DiscoveryFiles& files) {
    std::vector<Login> logins = DiscoverTool(LoginTool::kClaude, environment, wslHomes, files);
    std::vector<Login> codex = DiscoverTool(LoginTool::kCodex, environment, wslHomes, files);
    logins.insert(logins.end(), std::make_move_iterator(codex.begin()),
                  std::make_move_iterator(codex.end()));
    return WithAgentSessions(std::move(logins), agentRoots);
}

std::vector<Login> WithAgentSessions(std::vector<Login> logins,
                                     const std::vector<std::wstring>& agentRoots) {
    const auto codex = std::find_if(logins.begin(), logins.end(),
                                    [](const Login& l) { return l.tool == LoginTool::kCodex; });
    const size_t claude = static_cast<size_t>(codex - logins.begin());
    if (claude == 1) {
        logins.front().claudeRoots.insert(logins.front().claudeRoots.end(), agentRoots.begin(),
                                          agentRoots.end());
    } else if (!agentRoots.empty()) {
        // Which login the desktop app uses is not known: its sessions are shown on their own.
        Login desktop;
        desktop.tool = LoginTool::kClaude;
        desktop.key = L"desktop";
        desktop.name = kDesktopLoginName;
        desktop.where = kAgentSessionsName;
        desktop.claudeRoots = agentRoots;
        logins.insert(codex, std::move(desktop));
    }
    return logins;
}
