#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/system.h"

bool IsReplacementTempName(std::wstring_view name) {
    const size_t mark = name.rfind(L".tmp-");
    if (mark == std::wstring_view::npos || mark == 0)
        return false;
    std::wstring_view tail = name.substr(mark + 5);  // "PID-N"
    const size_t dash = tail.find(L'-');
    const auto digits = [](std::wstring_view s) {
        if (s.empty())
            return false;
        for (const wchar_t c : s) {
            if (c < L'0' || c > L'9')
                return false;
        }
        return true;
    };
    return dash != std::wstring_view::npos && digits(tail.substr(0, dash)) &&
           digits(tail.substr(dash + 1));
}

int RemoveAbandonedTempFiles(const std::wstring& folder, int64_t minAgeSeconds) {
    if (folder.empty())
        return 0;
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entries(PathFromWide(folder), error);
    if (error)
        return 0;
    const auto now = fs::file_time_type::clock::now();
    int removed = 0;
    // The non-throwing increment: a folder that goes away meanwhile ends the look, no more.
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) break;
        const fs::directory_entry& entry = *entries;
        std::error_code ignored;
        if (!IsReplacementTempName(WideFromPath(entry.path().filename())) ||
            !entry.is_regular_file(ignored)) {
            continue;
        }
        const auto written = entry.last_write_time(ignored);
        if (ignored || now - written < std::chrono::seconds(minAgeSeconds))
            continue;
        if (fs::remove(entry.path(), ignored))
            ++removed;
    }
    return removed;
}
