#include "app/json_export.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>
#include <ctime>

#include "claude_logs/scan.h"
#include "platform/unicode.h"
#include "sources/place_scan.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "platform/atomic_file.h"

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

int RunJsonExport(const std::wstring& outputPath) {
    Settings settings = LoadSettings();
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    ClaudeLogScanner claudeScanner;
    CodexScanner codexScanner;
    LogPlaceFinder places;
    const ClaudeLogSummary claude =
        ScanClaudePlaces(claudeScanner, places, now, now, settings.maxblock, nullptr);
    const CodexLimits codex = ScanCodexPlaces(codexScanner, places, now);
    const std::string json = FormatJsonExport(claude, codex);

    // Replaced whole: a script reading the file while the export runs, or an export that fails
    // half-way (disk full), never leaves a cut JSON line where the last good one was.
    // A device or a pipe ("--json NUL", "--json /dev/stdout") is written as it is.
    if (const std::optional<bool> written = WriteToDevice(outputPath, json)) return *written ? 0 : 1;
    return WriteFileAtomically(outputPath, json) ? 0 : 1;
}
