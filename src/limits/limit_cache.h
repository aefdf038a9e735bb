#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/walk_gate.h"
#include "limits/limit_rows.h"

// Limit rows kept in small INI files (section "l") in the program's folder: "api.ini" holds the
// last successful usage-service fetch, "live.ini" what the status line received last.

// A cache may be used while it has rows and is at most this old (seconds, inclusive).
inline constexpr int64_t kApiCacheMaxAge = 43199;   // under 12 hours
inline constexpr int64_t kLiveCacheMaxAge = 21599;  // under 6 hours

// Replaces the file's section with the rows, the plan and the extra usage, stamped with the
// current time. The binding row and the extra usage are keys that older readers skip ("bind",
// "xon", "xspent", "xcap"), written only when there is such a row or extra usage is on. True
// when the file was written.
bool WriteLimitCache(const std::wstring& path, const std::vector<LimitRow>& rows,
                     const std::wstring& plan, const ExtraUsage& extra = {});

// The same with the time of writing given.
bool WriteLimitCacheAt(const std::wstring& path, const std::vector<LimitRow>& rows,
                       const std::wstring& plan, int64_t writtenAt, const ExtraUsage& extra = {});

// Appends the file's rows to `rows` and, when `plan` and `extra` are given, sets them to what
// is stored. Returns the stored time of writing; 0 when the file or the key is missing.
int64_t ReadLimitCache(const std::wstring& path, std::vector<LimitRow>& rows,
                       std::wstring* plan = nullptr, ExtraUsage* extra = nullptr);

// True when a cache read at `now` that gave `rowCount` rows written at `at` may be used.
bool IsCacheFresh(size_t rowCount, int64_t at, int64_t now, int64_t maxAge);

// "live.ini" and "api.ini" in the program's local folder (empty when there is no such folder).
// Both are rewritten after every reply or fetch, so they do not belong in a roaming profile,
// where earlier versions kept them: a cache found only there is moved over first.
std::wstring LiveCachePath();
std::wstring ApiCachePath();
// Any cache file's path in the same folder ("api-<tag>.ini", "live-<tag>.ini").
std::wstring LimitCachePath(const std::wstring& fileName);

// Moves the cache at `oldPath` to `path` when only the old one exists. A move rather than a copy
// cannot overwrite a cache another process has just written at `path`, and leaves no stale copy
// behind to roam. Off one volume (a redirected roaming folder) nothing moves: the cache is then
// simply written anew at the next reply or fetch. True when the file was moved.
bool MoveCacheFromOldFolder(const std::wstring& oldPath, const std::wstring& path);

// "live.ini" as the refresh worker reads it every cycle: from the file only after something
// changed in its folder (the status line command wrote it) and every ten minutes, otherwise the
// rows read last, so that a quiet cycle touches no file.
class LiveCacheReader {
public:
    explicit LiveCacheReader(std::wstring path, WalkGate gate = WalkGate())
        : path_(std::move(path)), gate_(std::move(gate)) {}

    // As ReadLimitCache, at `now` (Unix seconds).
    int64_t Read(std::vector<LimitRow>& rows, int64_t now);

private:
    std::wstring path_;
    WalkGate gate_;
    std::vector<LimitRow> rows_;
    int64_t at_ = 0;
};
