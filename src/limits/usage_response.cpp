#include "limits/usage_response.h"

#include <algorithm>

#include "core/byte_search.h"
#include "core/foreign_text.h"
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

int64_t UsageRowWindowSeconds(std::string_view key) {
    if (key == "five_hour")
        return kFiveHourSeconds;
    if (key == "seven_day" || key.starts_with("seven_day_"))
        return kWeekSeconds;
    return 0;
}

std::wstring ModelNameForLabel(std::string_view name) {
    return PrintableLabel(name, kMaxModelNameChars);
}

namespace {

// The array or object (as `opener` says) that is the value of the first "key": in `text`;
// empty when the key is missing, its value is something else (null, say) or never closes.
std::string_view ContainerAfterKey(std::string_view text, std::string_view key, char opener) {
    constexpr auto npos = std::string_view::npos;
    const size_t at = FindQuotedKey(text, key, ":", 0);
    if (at == npos) return {};
    const size_t open = text.find_first_not_of(' ', at + key.size() + 3);  // past "key":
    if (open == npos || text[open] != opener) return {};
    const size_t end = JsonContainerEnd(text, open);
    return end == npos ? std::string_view() : text.substr(open, end - open);
}

// True when "key" is followed by true (after the colon, a blank or none).
bool IsTrue(std::string_view object, std::string_view key) {
    return FindQuotedKey(object, key, ":true", 0) != std::string_view::npos ||
           FindQuotedKey(object, key, ": true", 0) != std::string_view::npos;
}

// The "limits" array of a reply: rows that the members did not give, and the binding mark.
void AddServiceLimits(std::string_view body, std::vector<LimitRow>& rows) {
    constexpr auto npos = std::string_view::npos;
    bool bindingFound = false;  // one row binds: the first entry marked active
    const std::string_view array = ContainerAfterKey(body, "limits", '[');
    for (size_t at = array.find('{'); at != npos;) {
        const size_t entryEnd = JsonContainerEnd(array, at);
        if (entryEnd == npos) return;
        const std::string_view entry = array.substr(at, entryEnd - at);
        at = array.find('{', entryEnd);

        const std::string_view kind = FindStringAfterKey(entry, "kind").value_or("");
        std::wstring label;
        int64_t window = kWeekSeconds;
        if (kind == "session") {
            label = kFiveHourLabel;
            window = kFiveHourSeconds;
        } else if (kind == "weekly_all") {
            label = kWeeklyAllLabel;
        } else if (kind == "weekly_scoped") {
            const std::wstring model =
                ModelNameForLabel(FindStringAfterKey(entry, "display_name").value_or(""));
            if (model.empty()) continue;
            label = L"Weekly \u00b7 " + model;
        } else {
            continue;
        }
        auto row = std::find_if(rows.begin(), rows.end(),
                                [&](const LimitRow& r) { return r.label == label; });
        if (row == rows.end()) {
            double percent = 0;
            if (!FindNumberAfterKey(entry, "percent", 0, kNoLimit, percent)) continue;
            const auto resets = FindStringAfterKey(entry, "resets_at");
            row = rows.insert(rows.end(),
                              {label, percent, resets ? ParseIsoTime(*resets) : 0, false, window});
        }
        if (!bindingFound && IsTrue(entry, "is_active")) {
            row->binding = bindingFound = true;
        }
    }
}

}  // namespace

ExtraUsage ParseExtraUsage(std::string_view body) {
    ExtraUsage extra;
    const std::string_view object = ContainerAfterKey(body, "extra_usage", '{');
    if (!IsTrue(object, "is_enabled")) return extra;
    extra.enabled = true;
    FindNumberAfterKey(object, "used_credits", 0, kNoLimit, extra.spentCents);
    extra.hasCap = FindNumberAfterKey(object, "monthly_limit", 0, kNoLimit, extra.capCents);
    if (!extra.hasCap) extra.capCents = 0;
    return extra;
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
        rows.push_back({*label, percent, resets ? ParseIsoTime(*resets) : 0, false,
                        UsageRowWindowSeconds(key)});
    }
    SortLimitRows(rows);
    AddServiceLimits(body, rows);  // after the members' rows, which win
    SortLimitRows(rows);
    return rows;
}
