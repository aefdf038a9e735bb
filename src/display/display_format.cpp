#include "display/display_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "core/numbers.h"
#include "platform/local_time.h"

namespace {

// printf into a bounded buffer, widened; the texts here are ASCII.
template <typename... Args>
std::wstring Printf(const char* format, Args... args) {
    char text[64];
    const int length = std::snprintf(text, sizeof text, format, args...);
    if (length <= 0) return {};
    return std::wstring(text, text + std::min<size_t>(static_cast<size_t>(length), sizeof text - 1));
}

}  // namespace

std::wstring FormatResetLabelAt(int64_t resetsAt, int64_t now) {
    if (resetsAt == 0) {
        return {};
    }
    if (resetsAt <= now) {
        return L"Resetting\u2026";
    }
    const int64_t lead = resetsAt - now;
    if (lead < 72000) {
        return L"Resets " + FormatLocalClockTime(resetsAt);
    }
    if (lead <= 518399) {
        return L"Resets " + FormatLocalDayName(resetsAt) + L" " + FormatLocalClockTime(resetsAt);
    }
    return L"Resets " + FormatLocalDayMonth(resetsAt);
}

std::wstring FormatResetLabel(int64_t resetsAt) {
    return FormatResetLabelAt(resetsAt, static_cast<int64_t>(std::time(nullptr)));
}

std::wstring FormatTokenCount(double tokens) {
    if (tokens >= 1000000) return Printf("%.1fM", tokens / 1000000);
    if (tokens >= 1000) return Printf("%.0fk", tokens / 1000);
    return Printf("%.0f", tokens);
}

std::wstring FormatDuration(int64_t seconds) {
    const auto ll = [](int64_t v) { return static_cast<long long>(v); };
    if (seconds < 0) return Printf("%lldm", 0LL);
    if (seconds > 172799) return Printf("%lldd %lldh", ll(seconds / 86400), ll(seconds % 86400 / 3600));
    if (seconds < 3600) return Printf("%lldm", ll(seconds / 60));
    return Printf("%lldh %02lldm", ll(seconds / 3600), ll(seconds % 3600 / 60));
}

int32_t NominalWindowMinutes(int32_t minutes) {
    // Older Codex versions give 299 and 10079: a length within 1% of the 5-hour or the weekly
    // window is that window.
    for (const int32_t nominal : {300, 10080}) {
        if (std::abs(int64_t{minutes} - nominal) * 100 <= nominal)
            return nominal;
    }
    return minutes;
}

std::wstring FormatWindowLabel(int32_t minutes) {
    minutes = NominalWindowMinutes(minutes);
    if (minutes <= 0) return L"Current window";
    if (minutes == 10080) return L"Weekly";
    if (minutes % 1440 == 0) return Printf("%d-day window", minutes / 1440);
    if (minutes % 60 != 0) return Printf("%d-minute window", minutes);
    return Printf("%d-hour window", minutes / 60);
}

std::wstring FormatPercent(double percent) { return Printf("%d%%", RoundPercent(percent)); }

int32_t RoundPercent(double percent) { return TruncateToInt32(std::round(percent)); }

int32_t TruncatePercent(double percent) { return TruncateToInt32(percent); }

namespace {

std::wstring Dollars(double cents) {
    char text[32];
    std::snprintf(text, sizeof text, "$%.2f", std::clamp(cents, 0.0, 1e12) / 100);  // NaN: $0.00
    return std::wstring(text, text + std::strlen(text));
}

}  // namespace

std::wstring FormatExtraUsage(const ExtraUsage& extra) {
    return extra.hasCap ? Dollars(extra.spentCents) + L" of " + Dollars(extra.capCents)
                        : Dollars(extra.spentCents);
}
