#include "app/json_export.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::string Format(bool found, bool active, double tokens, double percent, double codexPercent,
                   int32_t minutes) {
    ClaudeLogSummary claude;
    claude.found = found;
    claude.active = active;
    claude.current.tokens = tokens;
    claude.percent = percent;
    CodexLimits codex;
    codex.primary.usedPercent = codexPercent;
    codex.primary.windowMinutes = minutes;
    return FormatJsonExport(claude, codex);
}

TEST(FormatJsonExport, WritesTheExactLine) {
    EXPECT_EQ(Format(false, false, 0, 0, 0, 0),
              R"({"claude":{"found":false,"active":false,"current_tokens":0,"pct":0},)"
              R"("codex":{"primary_pct":0,"primary_minutes":0},"sources":[]})");
    EXPECT_EQ(Format(true, true, 934, 61.7, 12.5, 300),
              R"({"claude":{"found":true,"active":true,"current_tokens":934,"pct":61},)"
              R"("codex":{"primary_pct":12.5,"primary_minutes":300},"sources":[]})");
}

TEST(FormatJsonExport, TruncatesAndFormatsNumbersLikePrintf) {
    EXPECT_NE(Format(true, true, 1234.9, 99.99, 33.333333, 299).find(
                  R"("current_tokens":1234,"pct":99},"codex":{"primary_pct":33.3333,)"),
              std::string::npos);
    const std::pair<double, const char*> percents[] = {
        {42.5, "42.5"}, {100, "100"}, {0, "0"}, {12.345678, "12.3457"}, {1e6, "1e+06"},
        {0.0001, "0.0001"}, {1e-5, "1e-05"}, {-3.25, "-3.25"}, {std::nan(""), "0"},
        {HUGE_VAL, "0"}};
    for (const auto& [value, text] : percents) {
        EXPECT_NE(Format(true, false, 0, 0, value, 0).find(std::string("\"primary_pct\":") + text + ","),
                  std::string::npos)
            << text;
    }
    EXPECT_NE(Format(true, true, 98765432109.7, 0, 0, 0).find("\"current_tokens\":98765432109,"),
              std::string::npos);
}

}  // namespace
