#pragma once

#include <optional>
#include <string>
#include <vector>

#include "limits/account_usage.h"
#include "sources/login.h"

// The names of each login's own cache files in the program's local folder. The primary login
// keeps "api.ini" and ~/.claude "live.ini", so that one login reads what earlier versions
// wrote; every other login has files named by a tag of its key or folder.

// "api.ini" for the primary login, else "api-<tag of its key>.ini".
std::wstring ApiCacheFileName(const Login& login);

// The live file the status line writes when it runs for the configuration folder `folder`:
// "live.ini" when `folder` is empty or is `home`'s ".claude", else
// "live-<LoginFileTag("dir:" + folder)>.ini". Folders are compared as Windows does: either
// slash, any case, no trailing separator.
std::wstring LiveCacheFileName(const std::wstring& folder, const std::wstring& home);

// The live files of every folder of `login`, without repeats.
std::vector<std::wstring> LiveCacheFileNames(const Login& login, const std::wstring& home);

// The login whose limits are the one-login picture (the first Claude login of old): the Claude
// login that holds `credentialsPath` (the credentials of old, found as before), else the first
// Claude login; none without a Claude login.
std::optional<size_t> PrimaryClaudeLogin(const std::vector<Login>& logins,
                                         const std::optional<std::wstring>& credentialsPath);

// `logins` with the primary Claude login (PrimaryClaudeLogin) marked.
std::vector<Login> WithPrimaryLogin(std::vector<Login> logins,
                                    const std::optional<std::wstring>& credentialsPath);

// `current` with every login of `previous` that is no longer found and was not gone already,
// marked gone, after the last login of its tool: its last figures stay for one cycle.
std::vector<AccountUsage> WithGoneLogins(std::vector<AccountUsage> current,
                                         const std::vector<AccountUsage>& previous);
