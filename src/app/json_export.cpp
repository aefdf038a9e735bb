#include "app/json_export.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>
#include <ctime>

#include "claude_logs/scan.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "display/display_format.h"
#include "limits/cached_limits.h"
#include "limits/login_files.h"
#include "limits/usage_client.h"
#include "platform/atomic_file.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "sources/login_estimate.h"
#include "sources/place_scan.h"

namespace {

// printf's "%g" (6 significant digits, no trailing zeros), independent of the locale. A value
// that is not finite has no JSON spelling and is written as 0.
std::string Shortest6(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
    return std::string(text, result.ptr);
}

const char* Bool(bool value) { return value ? "true" : "false"; }

// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted.append(1, '\\').append(1, c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

std::string FormatJsonExport(const ClaudeLogSummary& claude, const CodexLimits& codex) {
    std::string json = "{\"claude\":{\"found\":";
    json.append(Bool(claude.found))
        .append(",\"active\":")
        .append(Bool(claude.active))
        .append(",\"current_tokens\":")
        .append(std::to_string(TruncateToInt64(claude.current.tokens)))
        .append(",\"pct\":")
        .append(std::to_string(TruncateToInt32(claude.percent)))
        .append("},\"codex\":{\"primary_pct\":")
        .append(Shortest6(codex.primary.usedPercent))
        .append(",\"primary_minutes\":")
        .append(std::to_string(codex.primary.windowMinutes))
        .append("},\"sources\":[");
    // The places read, after the members older readers know.
    const std::vector<SourceLine> sources = ShownSourceLines(claude.sources, codex.sources);
    for (size_t i = 0; i < sources.size(); ++i) {
        json.append(i ? ",{\"name\":" : "{\"name\":")
            .append(JsonString(WideToUtf8(sources[i].name)))
            .append(",\"files\":")
            .append(std::to_string(sources[i].files))
            .append(",\"read\":")
            .append(Bool(!sources[i].notRead))
            .append("}");
    }
    json.append("]}");
    return json;
}

namespace {

void AppendLimit(std::string& json, bool first, const std::wstring& label, double percent,
                 int64_t resetsAt) {
    json.append(first ? "{\"label\":" : ",{\"label\":")
        .append(JsonString(WideToUtf8(label)))
        .append(",\"percent\":")
        .append(Shortest6(percent))
        .append(",\"resets_at\":")
        .append(std::to_string(resetsAt))
        .append("}");
}

void AppendAccount(std::string& json, const AccountUsage& account) {
    const Login& login = account.login;
    const bool claude = login.tool == LoginTool::kClaude;
    json.append("{\"name\":")
        .append(JsonString(WideToUtf8(login.name)))
        .append(",\"tool\":")
        .append(claude ? "\"claude\"" : "\"codex\"")
        .append(",\"folder\":")
        .append(JsonString(WideToUtf8(login.folders.empty() ? login.where : login.folders.front())))
        .append(",\"limits\":[");
    bool first = true;
    if (claude) {
        for (const LimitRow& row : account.planLimits.limits) {
            AppendLimit(json, first, row.label, row.percent, row.resetsAt);
            first = false;
        }
    } else {
        for (const CodexWindow* window : {&account.codex.primary, &account.codex.secondary}) {
            if (!window->present)
                continue;
            AppendLimit(json, first, FormatWindowLabel(NominalWindowMinutes(window->windowMinutes)),
                        window->usedPercent, window->resetsAt);
            first = false;
        }
    }
    json.append("],\"estimate\":");
    if (claude) {
        json.append("{\"percent\":")
            .append(Shortest6(account.claude.percent))
            .append(",\"tokens\":")
            .append(std::to_string(TruncateToInt64(account.claude.current.tokens)))
            .append("}}");
    } else {
        json.append("null}");
    }
}

}  // namespace

std::string FormatJsonExport(const ClaudeLogSummary& claude, const CodexLimits& codex,
                             const std::vector<AccountUsage>& accounts) {
    std::string json = FormatJsonExport(claude, codex);
    json.pop_back();  // the closing brace: "accounts" goes after every older member
    json.append(",\"accounts\":[");
    for (size_t i = 0; i < accounts.size(); ++i) {
        if (i)
            json.append(",");
        AppendAccount(json, accounts[i]);
    }
    json.append("]}");
    return json;
}

int RunJsonExport(const std::wstring& outputPath, const JsonLoginSources& loginSources) {
    Settings settings = LoadSettings();
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    ClaudeLogScanner claudeScanner;
    CodexScanner codexScanner;
    LogPlaceFinder places;
    const ClaudeLogSummary claude =
        ScanClaudePlaces(claudeScanner, places, now, now, settings.maxblock, nullptr);
    const CodexLimits codex = ScanCodexPlaces(codexScanner, places, now);
    std::vector<AccountUsage> accounts;
    const std::vector<Login> logins =
        loginSources.logins ? loginSources.logins(now)
                           : WithPrimaryLogin(places.Logins(now), FindClaudeCredentials());
    const std::wstring home = ReadUserProfile();
    for (const Login& login : logins) {
        AccountUsage account;
        account.login = login;
        if (login.tool == LoginTool::kClaude) {
            account.planLimits = ReadCachedLoginLimits(login, home, now);
            if (loginSources.claudeEstimate) {
                account.claude = loginSources.claudeEstimate(login, now);
            } else {
                // The primary login's largest block is the one always learned; another's is
                // stored by its tag.
                LoginRecords records;
                const auto stored = settings.loginMaxblocks.find(LoginFileTag(login.key));
                AtomicDouble maxblock(stored == settings.loginMaxblocks.end() ? 0 : stored->second);
                account.claude = EstimateLogin(records, claudeScanner, login, now,
                                               login.primary ? settings.maxblock : maxblock);
            }
        } else {
            account.codex = loginSources.codexEstimate ? loginSources.codexEstimate(login, now)
                                                       : CodexLimitsOfLogin(codexScanner, login, now);
        }
        accounts.push_back(std::move(account));
    }
    const std::string json = FormatJsonExport(claude, codex, accounts);

    // Replaced whole: a script reading the file while the export runs, or an export that fails
    // half-way (disk full), never leaves a cut JSON line where the last good one was.
    // A device or a pipe ("--json NUL", "--json /dev/stdout") is written as it is.
    if (const std::optional<bool> written = WriteToDevice(outputPath, json)) return *written ? 0 : 1;
    return WriteFileAtomically(outputPath, json) ? 0 : 1;
}
