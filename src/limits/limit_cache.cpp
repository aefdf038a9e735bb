#include "limits/limit_cache.h"

#include <algorithm>
#include <charconv>
#include <ctime>

#include "core/numbers.h"
#include "core/settings.h"
#include "platform/atomic_file.h"
#include "platform/file_walk.h"
#include "platform/ini.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace {

const std::wstring kSection = L"l";
constexpr size_t kTextChars = 256;  // values longer than 255 characters are cut when read
// A hand-edited "n" beyond any real number of limits must not make a reader loop for hours.
constexpr int32_t kMaxRows = 100;

// "%f": fixed point with six decimals, whatever the process locale.
std::wstring FixedSix(double value) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return Utf8ToWide(std::string_view(text, static_cast<size_t>(result.ptr - text)));
}

std::wstring CachePath(const std::wstring& name) {
    const std::wstring folder = LocalDataDirectory();
    if (folder.empty()) {
        return {};
    }
    const std::wstring path = WideFromPath(PathFromWide(folder) / name);
    const std::wstring roaming = ProgramDataFolder();
    if (!roaming.empty()) {
        MoveCacheFromOldFolder(WideFromPath(PathFromWide(roaming) / name), path);
    }
    return path;
}

}  // namespace

bool WriteLimitCacheAt(const std::wstring& path, const std::vector<LimitRow>& rows,
                       const std::wstring& plan, int64_t writtenAt, const ExtraUsage& extra) {
    // The whole section in one write: a status-line process writing while the worker reads
    // can no longer hand it half a section.
    std::vector<std::pair<std::wstring, std::wstring>> entries = {
        {L"at", std::to_wstring(writtenAt)}, {L"n", std::to_wstring(rows.size())}, {L"plan", plan}};
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::wstring index = std::to_wstring(i);
        entries.emplace_back(L"name" + index, rows[i].label);
        entries.emplace_back(L"pct" + index, FixedSix(rows[i].percent));
        entries.emplace_back(L"reset" + index, std::to_wstring(rows[i].resetsAt));
    }
    // A key older readers do not know, written only when the service named such a row.
    const auto binding = std::find_if(rows.begin(), rows.end(), [](const LimitRow& r) { return r.binding; });
    if (binding != rows.end()) entries.emplace_back(L"bind", std::to_wstring(binding - rows.begin()));
    if (extra.enabled) {
        entries.emplace_back(L"xon", L"1");
        entries.emplace_back(L"xspent", FixedSix(extra.spentCents));
        if (extra.hasCap) entries.emplace_back(L"xcap", FixedSix(extra.capCents));
    }
    return IniReplaceSection(path, kSection, entries);
}

bool WriteLimitCache(const std::wstring& path, const std::vector<LimitRow>& rows,
                     const std::wstring& plan, const ExtraUsage& extra) {
    return WriteLimitCacheAt(path, rows, plan, static_cast<int64_t>(std::time(nullptr)), extra);
}

int64_t ReadLimitCache(const std::wstring& path, std::vector<LimitRow>& rows, std::wstring* plan,
                       ExtraUsage* extra) {
    // One reading of the file: a writer replacing it meanwhile cannot mix two versions' rows.
    const IniFile file = IniFile::Read(path);
    const auto text = [&](const std::wstring& key, const wchar_t* fallback) {
        return file.String(kSection, key, fallback, kTextChars);
    };
    const int64_t at = ParseLeadingInt64(WideToUtf8(text(L"at", L"0")));
    const int32_t count = file.Int(kSection, L"n", 0);
    if (plan) {
        *plan = text(L"plan", L"");
    }
    if (extra) {
        *extra = ExtraUsage{};
        extra->enabled = file.Int(kSection, L"xon", 0) == 1;
        const std::wstring cap = text(L"xcap", L"");
        if (extra->enabled) {
            ParseLeadingDouble(WideToUtf8(text(L"xspent", L"0")), extra->spentCents);
            extra->hasCap = !cap.empty() && ParseLeadingDouble(WideToUtf8(cap), extra->capCents) > 0;
        }
    }
    const int32_t binding = file.Int(kSection, L"bind", -1);
    for (int32_t i = 0; i < count && i < kMaxRows; ++i) {
        const std::wstring index = std::to_wstring(i);
        LimitRow row;
        row.label = text(L"name" + index, L"");
        ParseLeadingDouble(WideToUtf8(text(L"pct" + index, L"0")), row.percent);
        row.resetsAt = ParseLeadingInt64(WideToUtf8(text(L"reset" + index, L"0")));
        row.binding = i == binding;
        row.windowSeconds = WindowSecondsOfLabel(row.label);  // the file keeps labels only
        rows.push_back(std::move(row));
    }
    return at;
}

bool IsCacheFresh(size_t rowCount, int64_t at, int64_t now, int64_t maxAge) {
    return rowCount > 0 && at >= now - maxAge;  // now - at could overflow for a wild "at"
}

bool MoveCacheFromOldFolder(const std::wstring& oldPath, const std::wstring& path) {
    if (oldPath.empty() || oldPath == path || PathExists(path) || !PathExists(oldPath)) {
        return false;
    }
    return MoveFileIfAbsent(oldPath, path);
}

std::wstring LiveCachePath() {
    return CachePath(L"live.ini");
}

std::wstring ApiCachePath() {
    return CachePath(L"api.ini");
}

std::wstring LimitCachePath(const std::wstring& fileName) {
    return CachePath(fileName);
}

int64_t LiveCacheReader::Read(std::vector<LimitRow>& rows, int64_t now) {
    if (gate_.WalkDue({WideFromPath(PathFromWide(path_).parent_path())}, now)) {
        rows_.clear();
        at_ = ReadLimitCache(path_, rows_);
    }
    rows.insert(rows.end(), rows_.begin(), rows_.end());
    return at_;
}
