#include "limits/usage_response.h"

#include "core/byte_search.h"
#include "core/iso_time.h"
#include "core/json_fields.h"

namespace {

wchar_t AsciiUpper(unsigned char byte) {
    return static_cast<wchar_t>(byte >= 'a' && byte <= 'z' ? byte - 32 : byte);
}

std::string_view WithoutOauth(std::string_view key) {
    return key == "oauth_apps" ? std::string_view("apps") : key;
}

}  // namespace

std::wstring TitleCaseKey(std::string_view key) {
    std::wstring title;
    title.reserve(key.size());
    bool wordStart = true;
    for (const char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '_') {
            title += L' ';
            wordStart = true;
            continue;
        }
        title += wordStart ? AsciiUpper(byte) : static_cast<wchar_t>(byte);
        wordStart = false;
    }
    return title;
}

std::optional<std::wstring> UsageRowLabel(std::string_view key) {
    constexpr std::string_view kWeeklyPrefix = "seven_day_";
    if (key == "extra_usage") return std::nullopt;
    if (key == "five_hour") return kFiveHourLabel;
    if (key == "seven_day") return kWeeklyAllLabel;
    if (key.starts_with(kWeeklyPrefix)) {
        return L"Weekly \u00b7 " + TitleCaseKey(WithoutOauth(key.substr(kWeeklyPrefix.size())));
    }
    return TitleCaseKey(WithoutOauth(key));
}

std::vector<LimitRow> ParseUsageResponse(std::string_view body) {
    constexpr auto npos = std::string_view::npos;
    std::vector<LimitRow> rows;
    size_t from = 0;
    while (true) {
        const size_t utilization = FindBytes(body, "\"utilization\"", from);
        if (utilization == npos) break;
        const size_t open = body.rfind('{', utilization);
        if (open == npos) break;
        const size_t keyEnd = body.rfind('"', open);
        const size_t keyStart = keyEnd == npos || keyEnd == 0 ? npos : body.rfind('"', keyEnd - 1);
        const size_t close = body.find('}', utilization);
        if (keyStart == npos || close == npos) {
            from = utilization + 1;
            continue;
        }
        const std::string_view key = body.substr(keyStart + 1, keyEnd - keyStart - 1);
        const std::string_view member = body.substr(open, close - open + 1);
        from = close;
        const auto label = UsageRowLabel(key);
        double percent = 0;
        if (!label || !FindNumberAfterKey(member, "utilization", 0, kNoLimit, percent)) {
            continue;
        }
        const auto resets = FindStringAfterKey(member, "resets_at", 0);
        rows.push_back({*label, percent, resets ? ParseIsoTime(*resets) : 0});
    }
    SortLimitRows(rows);
    return rows;
}
