#include "app/json_export.h"

#include <charconv>
#include <cmath>
#include <ctime>
#include <fstream>

#include "claude_logs/scan.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "platform/system.h"

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
        .append("}}");
    return json;
}

int RunJsonExport(const std::wstring& outputPath) {
    Settings settings = LoadSettings();
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    ClaudeLogScanner claudeScanner;
    CodexScanner codexScanner;
    const ClaudeLogSummary claude = ScanClaudeLogs(claudeScanner, now, settings.maxblock);
    const CodexLimits codex = ScanCodexLimits(codexScanner, now);
    const std::string json = FormatJsonExport(claude, codex);

    std::ofstream file(PathFromWide(outputPath), std::ios::binary | std::ios::trunc);
    if (!file) {
        return 1;
    }
    file.write(json.data(), static_cast<std::streamsize>(json.size()));
    file.close();
    return file.fail() ? 1 : 0;
}
