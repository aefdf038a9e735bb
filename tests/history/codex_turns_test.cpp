#include "history/codex_turns.h"

#include <gtest/gtest.h>

#include "claude_logs/model_prices.h"
#include "core/iso_time.h"
#include "history/json_string.h"

namespace {

const std::string kMeta =
    R"({"timestamp":"2025-09-10T08:00:00.000Z","type":"session_meta","payload":{"id":"5b1e","cwd":"C:\\Users\\dev\\app","originator":"codex_cli_rs","model_provider":"openai"}})";
const std::string kContext =
    R"({"timestamp":"2025-09-10T08:00:01.000Z","type":"turn_context","payload":{"cwd":"/home/dev/app","approval_policy":"on-request","model":"gpt-5-codex","effort":"medium"}})";

std::string Usage(int input, int cached, int output, int reasoning, int total) {
    return R"({"input_tokens":)" + std::to_string(input) + R"(,"cached_input_tokens":)" +
           std::to_string(cached) + R"(,"output_tokens":)" + std::to_string(output) +
           R"(,"reasoning_output_tokens":)" + std::to_string(reasoning) + R"(,"total_tokens":)" +
           std::to_string(total) + "}";
}

// A token_count event: the turn's figures, and the running total the session reached.
std::string Count(const char* time, const std::string& last, const std::string& running) {
    std::string info = "{";
    if (!running.empty()) {
        info += R"("total_token_usage":)" + running + ",";
    }
    info += R"("last_token_usage":)" + last + R"(,"model_context_window":272000})";
    return R"({"timestamp":")" + std::string(time) +
           R"(","type":"event_msg","payload":{"type":"token_count","info":)" + info +
           R"(,"rate_limits":{"primary":{"used_percent":10.0,"window_minutes":300}}}})";
}

TEST(CodexTurns, ReadsEachTurnOfASession) {
    const std::string text = kMeta + "\n" + kContext + "\n" +
                             Count("2025-09-10T08:00:05Z", Usage(1000, 400, 50, 20, 1050),
                                   Usage(1000, 400, 50, 20, 1050)) +
                             "\n" +
                             Count("2025-09-10T08:01:00Z", Usage(2000, 1500, 80, 0, 2080),
                                   Usage(3000, 1900, 130, 20, 3130)) +
                             "\n";
    const std::vector<LedgerRecord> turns = ReadCodexTurns(text, "This computer");
    ASSERT_EQ(turns.size(), 2u);
    const LedgerRecord& first = turns[0];
    EXPECT_EQ(first.time, ParseIsoTime("2025-09-10T08:00:05Z"));
    EXPECT_EQ(first.tool, LedgerTool::kCodex);
    EXPECT_EQ(first.place, "This computer");
    EXPECT_EQ(first.project, "/home/dev/app");  // the turn's folder replaces the session's
    EXPECT_EQ(first.model, "gpt-5-codex");
    EXPECT_EQ(first.totals.messages, 1);
    EXPECT_EQ(first.totals.input, 600);
    EXPECT_EQ(first.totals.cacheRead, 400);
    EXPECT_EQ(first.totals.output, 50);  // reasoning is inside output_tokens
    EXPECT_EQ(first.totals.cacheWrite5m + first.totals.cacheWrite1h, 0);
    if (PriceListName() != "none") {
        // gpt-5-codex: $1.25 a million input, $0.125 cached, $10 output.
        EXPECT_DOUBLE_EQ(first.totals.dollars, (600 * 1.25 + 400 * 0.125 + 50 * 10) / 1e6);
        EXPECT_FALSE(first.totals.estimated);
    }
    EXPECT_FALSE(first.identity.empty());
    EXPECT_EQ(turns[1].totals.input, 500);
    EXPECT_NE(turns[1].identity, first.identity);
}

TEST(CodexTurns, LinesThatAreNoTurn) {
    struct Case {
        const char* name;
        std::string line;
        size_t turns;
    };
    const std::string running = Usage(10, 0, 1, 0, 11);
    const Case cases[] = {
        {"a turn", Count("2025-09-10T08:00:05Z", Usage(10, 0, 1, 0, 11), running), 1},
        {"info null",
         R"({"timestamp":"2025-09-10T08:00:05Z","type":"event_msg","payload":{"type":"token_count","info":null,"rate_limits":null}})",
         0},
        {"no turn figures, only the running total",
         R"({"timestamp":"2025-09-10T08:00:05Z","type":"event_msg","payload":{"type":"token_count","info":{"total_token_usage":{"input_tokens":5000,"output_tokens":300}}}})",
         0},
        {"turn figures null", Count("2025-09-10T08:00:05Z", "null", running), 0},
        {"no timestamp", Count("yesterday", Usage(10, 0, 1, 0, 11), running), 0},
        {"an object never closed",
         R"({"timestamp":"2025-09-10T08:00:05Z","type":"event_msg","payload":{"type":"token_count","info":{"last_token_usage":{"input_tokens":10)",
         0},
        {"another event",
         R"({"timestamp":"2025-09-10T08:00:05Z","type":"event_msg","payload":{"type":"agent_message","last_token_usage":{"input_tokens":10}}})",
         0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadCodexTurns(c.line, "p").size(), c.turns) << c.name;
    }
}

TEST(CodexTurns, TokenFigures) {
    struct Case {
        const char* name;
        std::string last;
        int64_t input, cacheRead, output;
    };
    const Case cases[] = {
        {"reasoning inside output", Usage(100, 30, 50, 20, 150), 70, 30, 50},
        {"reasoning apart from output", Usage(100, 30, 50, 20, 170), 70, 30, 70},
        {"no total given", R"({"input_tokens":100,"output_tokens":5,"reasoning_output_tokens":3})",
         100, 0, 5},
        {"more cached than input", Usage(100, 130, 5, 0, 105), 0, 100, 5},
        {"negative and null counts",
         R"({"input_tokens":-5,"cached_input_tokens":null,"output_tokens":7})", 0, 0, 7},
        {"spaced", R"({"input_tokens": 9, "cached_input_tokens": 4, "output_tokens": 2})", 5, 4, 2},
    };
    for (const Case& c : cases) {
        const auto turns = ReadCodexTurns(Count("2025-09-10T08:00:05Z", c.last, ""), "p");
        ASSERT_EQ(turns.size(), 1u) << c.name;
        EXPECT_EQ(turns[0].totals.input, c.input) << c.name;
        EXPECT_EQ(turns[0].totals.cacheRead, c.cacheRead) << c.name;
        EXPECT_EQ(turns[0].totals.output, c.output) << c.name;
    }
}

std::string Context(const char* model) {
    return R"({"timestamp":"2025-06-01T08:00:01.000Z","type":"turn_context","payload":{"cwd":"/a","model":")" +
           std::string(model) + R"("}})";
}

TEST(CodexTurns, EachTurnPricedByItsModelAndTime) {
    if (PriceListName() == "none")
        GTEST_SKIP() << "built without the price list";
    const std::string turn = Usage(1000, 400, 50, 20, 1050);
    struct Case {
        const char* name;
        std::vector<std::string> lines;  // the last line is the turn priced
        double dollars;
        bool estimated;
    };
    const Case cases[] = {
        {"gpt-5-codex",
         {Context("gpt-5-codex"), Count("2025-09-10T08:00:05Z", turn, "")},
         (600 * 1.25 + 400 * 0.125 + 50 * 10) / 1e6,
         false},
        {"reasoning apart from output, billed as output",
         {Context("gpt-5-codex"),
          Count("2025-09-10T08:00:05Z", Usage(1000, 400, 50, 20, 1070), "")},
         (600 * 1.25 + 400 * 0.125 + 70 * 10) / 1e6,
         false},
        {"o4-mini",
         {Context("o4-mini"), Count("2025-09-10T08:00:05Z", turn, "")},
         (600 * 1.1 + 400 * 0.275 + 50 * 4.4) / 1e6,
         false},
        {"o3 before its price fell",
         {Context("o3"), Count("2025-06-09T23:59:59Z", turn, "")},
         (600 * 10 + 400 * 0.5 + 50 * 40) / 1e6,
         false},
        {"o3 after",
         {Context("o3"), Count("2025-06-10T00:00:00Z", turn, "")},
         (600 * 2 + 400 * 0.5 + 50 * 8) / 1e6,
         false},
        {"a model the list does not know",
         {Context("gpt-9-hyper"), Count("2025-09-10T08:00:05Z", turn, "")},
         0,
         true},
        {"no model named yet", {Count("2025-09-10T08:00:05Z", turn, "")}, 0, true},
        {"the session moved to an unknown model",
         {Context("gpt-5-codex"), Context("gpt-9-hyper"), Count("2025-09-10T08:00:05Z", turn, "")},
         0,
         true},
        {"and back",
         {Context("gpt-5-codex"), Context("gpt-9-hyper"), Context("gpt-5-codex"),
          Count("2025-09-10T08:00:05Z", turn, "")},
         (600 * 1.25 + 400 * 0.125 + 50 * 10) / 1e6,
         false},
        {"a turn of no tokens",
         {Context("gpt-9-hyper"), Count("2025-09-10T08:00:05Z", Usage(0, 0, 0, 0, 0), "")},
         0,
         false},
    };
    for (const Case& c : cases) {
        std::string text;
        for (const std::string& line : c.lines)
            text += line + "\n";
        const std::vector<LedgerRecord> turns = ReadCodexTurns(text, "p");
        ASSERT_EQ(turns.size(), 1u) << c.name;
        EXPECT_DOUBLE_EQ(turns[0].totals.dollars, c.dollars) << c.name;
        EXPECT_EQ(turns[0].totals.estimated, c.estimated) << c.name;
    }
}

TEST(CodexTurns, ARepeatedEventCountsOnce) {
    const std::string a = Usage(100, 0, 5, 0, 105), b = Usage(300, 0, 9, 0, 309);
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        size_t turns;
    };
    const Case cases[] = {
        {"repeated with the same running total",
         {Count("2025-09-10T08:00:05Z", a, a), Count("2025-09-10T08:00:09Z", a, a)},
         1},
        {"same turn figures, the running total moved",
         {Count("2025-09-10T08:00:05Z", a, a), Count("2025-09-10T08:00:09Z", a, b)},
         2},
        {"repeated after another turn",
         {Count("2025-09-10T08:00:05Z", a, a), Count("2025-09-10T08:00:09Z", a, b),
          Count("2025-09-10T08:00:12Z", a, b)},
         2},
        {"no running total, same turn figures",
         {Count("2025-09-10T08:00:05Z", a, ""), Count("2025-09-10T08:00:09Z", a, "")},
         1},
        {"no running total, other turn figures",
         {Count("2025-09-10T08:00:05Z", a, ""), Count("2025-09-10T08:00:09Z", b, "")},
         2},
    };
    for (const Case& c : cases) {
        std::string text;
        for (const std::string& line : c.lines)
            text += line + "\r\n";
        EXPECT_EQ(ReadCodexTurns(text, "p").size(), c.turns) << c.name;
    }
}

TEST(CodexTurns, AFileSeenInTwoPlacesCountsOnce) {
    const std::string text =
        kContext + "\n" +
        Count("2025-09-10T08:00:05Z", Usage(10, 0, 1, 0, 11), Usage(10, 0, 1, 0, 11));
    std::vector<LedgerRecord> both = ReadCodexTurns(text, "This computer");
    const std::vector<LedgerRecord> wsl = ReadCodexTurns(text, "WSL: Ubuntu");
    both.insert(both.end(), wsl.begin(), wsl.end());
    const auto rows =
        AggregateLedgerRecords(both, [](int64_t) { return std::string("2025-09-10"); });
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].totals.messages, 1);
}

TEST(JsonString, DecodesEscapes) {
    struct Case {
        const char* json;  // the text after the opening quote
        const char* decoded;
    };
    const Case cases[] = {
        {R"(C:\\Users\\dev\\app")", "C:\\Users\\dev\\app"},
        {R"(a\"b")", "a\"b"},
        {R"(\/x\ty\n")", "/x\ty\n"},
        {R"(caf\u00e9")", "caf\xC3\xA9"},
        {R"(\u20ac")", "\xE2\x82\xAC"},
        {R"(\ud83d\ude00")", "\xF0\x9F\x98\x80"},
        {R"(\ud83dx")", "\xEF\xBF\xBDx"},
        {R"(\uzz")", "uzz"},
        {"r\xC3\xA9sum\xC3\xA9\"", "r\xC3\xA9sum\xC3\xA9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeJsonString(c.json, 0).value_or("<none>"), c.decoded) << c.json;
    }
    EXPECT_FALSE(DecodeJsonString(R"(open\")", 0));
    EXPECT_EQ(FindDecodedString(R"({"cwd": "/a b"})", "cwd").value_or(""), "/a b");
}

}  // namespace
