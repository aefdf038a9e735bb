#include "history/claude_ledger_line.h"

#include <gtest/gtest.h>

namespace {

bool Read(ClaudeLedgerReader& reader, const std::string& line, LedgerRecord& record) {
    return reader.ReadLine(line, line.find("\"usage\""), record);
}

TEST(ClaudeLedgerLine, EveryCountTheFolderAndTheIdentityOfAReply) {
    ClaudeLedgerReader reader("Home");
    LedgerRecord record;
    const std::string split =
        R"({"cwd":"C:\\Users\\dev\\app","timestamp":"2026-12-10T10:00:00.000Z","requestId":"r1",)"
        R"("message":{"id":"m1","model":"claude-sonnet-4-5-20250929","usage":{"input_tokens":7,)"
        R"("cache_creation_input_tokens":300,"cache_read_input_tokens":40,"cache_creation":)"
        R"({"ephemeral_5m_input_tokens":100,"ephemeral_1h_input_tokens":200},"output_tokens":9}}})";
    ASSERT_TRUE(Read(reader, split, record));
    EXPECT_EQ(record.place, "Home");
    EXPECT_EQ(record.project, "C:\\Users\\dev\\app");
    EXPECT_EQ(record.model, "claude-sonnet-4-5-20250929");
    EXPECT_EQ(record.totals, (LedgerTotals{1, 7, 9, 100, 200, 40, record.totals.dollars, false}));
    EXPECT_GT(record.totals.dollars, 0);
    EXPECT_EQ(record.identity, MakeDedupKey("m1", "r1"));

    // Unsplit cache writes count as five-minute ones; a spaced key is read too; a folder with
    // an escaped quote is decoded whole, and the next line's folder is not taken from it.
    const std::string spaced =
        R"({"cwd": "/srv/a\"b", "timestamp": "2026-12-10T10:00:00.000Z", "message": {"id": "m2",)"
        R"( "model": "claude-opus-4-5", "usage": {"input_tokens": 1,)"
        R"( "cache_creation_input_tokens": 5, "output_tokens": 2}}})";
    ASSERT_TRUE(Read(reader, spaced, record));
    EXPECT_EQ(record.project, "/srv/a\"b");
    EXPECT_EQ(record.totals.cacheWrite5m, 5);
    EXPECT_EQ(record.totals.cacheWrite1h, 0);
    std::string other = spaced;
    other.replace(other.find("a\\\"b"), 4, "a\\\"c");
    ASSERT_TRUE(Read(reader, other, record));
    EXPECT_EQ(record.project, "/srv/a\"c");

    // No folder: none, rather than the last line's.
    ClaudeLedgerReader fresh("Home");
    ASSERT_TRUE(Read(fresh, R"({"timestamp":"2026-12-10T10:00:00Z","usage":{"input_tokens":1}})",
                     record));
    EXPECT_EQ(record.project, "");
    EXPECT_TRUE(record.identity.empty());
    EXPECT_FALSE(Read(fresh, R"({"usage":{"input_tokens":1}})", record)) << "no time";
}

}  // namespace
