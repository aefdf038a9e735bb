#include "history/history_csv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

LedgerRow Row(const char* day, const char* machine, LedgerTool tool, const char* place,
              const char* project, const char* model) {
    LedgerRow row;
    row.key = {day, tool, place, project, model};
    row.machine = machine;
    row.totals = {3, 1000, 200, 30, 40, 5000, 1.234, false};
    return row;
}

TEST(HistoryCsv, HeaderAndOneRowPerKeyInOrder) {
    std::vector<LedgerRow> rows = {
        Row("2025-05-02", "", LedgerTool::kClaude, "This computer", "/a", "claude-opus-4-1"),
        Row("2025-05-01", "LAPTOP", LedgerTool::kClaude, "This computer", "/a", "m"),
        Row("2025-05-01", "", LedgerTool::kCodex, "This computer", "/a", "gpt-5-codex"),
        Row("2025-05-01", "", LedgerTool::kClaude, "WSL: Ubuntu", "/a", "m"),
        Row("2025-05-01", "", LedgerTool::kClaude, "This computer", "/b", "m"),
        Row("2025-05-01", "", LedgerTool::kClaude, "This computer", "/a", "n"),
        Row("2025-05-01", "", LedgerTool::kClaude, "This computer", "/a", "m"),
    };
    rows[2].totals.estimated = true;
    rows[2].totals.dollars = 0;
    const std::string tail = ",3,1000,200,30,40,5000,1.23,0,\r\n";
    EXPECT_EQ(BuildHistoryCsv(rows),
              "day,machine,tool,place,project,model,messages,input,output,cache_write_5m,"
              "cache_write_1h,cache_read,dollars,estimated,account\r\n"
              "2025-05-01,,claude,This computer,/a,m" +
                  tail + "2025-05-01,,claude,This computer,/a,n" + tail +
                  "2025-05-01,,claude,This computer,/b,m" + tail +
                  "2025-05-01,,claude,WSL: Ubuntu,/a,m" + tail +
                  "2025-05-01,,codex,This computer,/a,gpt-5-codex,3,1000,200,30,40,5000,0.00,1,\r\n"
                  "2025-05-01,LAPTOP,claude,This computer,/a,m" +
                  tail + "2025-05-02,,claude,This computer,/a,claude-opus-4-1" + tail);
}

TEST(HistoryCsv, TheLoginIsTheLastColumnQuotedAsTheOthersAndTwoLoginsAreTwoRecords) {
    struct Case {
        const char* account;
        const char* last;  // the record's end, after the estimated flag
    };
    const Case cases[] = {
        {"", ",0,\r\n"},
        {"work", ",0,work\r\n"},
        {"me@example.com", ",0,me@example.com\r\n"},
        {"Smith, Jane", ",0,\"Smith, Jane\"\r\n"},
        {"say \"hi\"", ",0,\"say \"\"hi\"\"\"\r\n"},
    };
    for (const Case& c : cases) {
        std::vector<LedgerRow> rows = {
            Row("2025-05-01", "", LedgerTool::kClaude, "This computer", "/a", "m")};
        rows[0].key.account = c.account;
        const std::string csv = BuildHistoryCsv(rows);
        EXPECT_EQ(csv.substr(csv.size() - std::string(c.last).size()), c.last) << c.account;
        const std::string others =
            "2025-05-01,,claude,This computer,/a,m,3,1000,200,30,40,5000,1.23,0,";
        EXPECT_EQ(csv.substr(kHistoryCsvHeader.size() + 2, others.size()), others);
    }
    // One day, place, project and model of two logins: two records, ordered by login.
    std::vector<LedgerRow> rows = {
        Row("2025-05-01", "", LedgerTool::kClaude, "This computer", "/a", "m"),
        Row("2025-05-01", "", LedgerTool::kClaude, "This computer", "/a", "m")};
    rows[0].key.account = "work";
    rows[1].key.account = "me";
    const std::string csv = BuildHistoryCsv(rows);
    const size_t me = csv.find(",me\r\n"), work = csv.find(",work\r\n");
    ASSERT_NE(me, std::string::npos);
    ASSERT_NE(work, std::string::npos);
    EXPECT_LT(me, work);
}

TEST(HistoryCsv, NoRowsGiveTheHeaderAlone) {
    EXPECT_EQ(BuildHistoryCsv({}), std::string(kHistoryCsvHeader) + "\r\n");
}

TEST(HistoryCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    struct Case {
        const char* text;
        const char* field;
    };
    const Case cases[] = {
        {"", ""},
        {"/home/dev/app", "/home/dev/app"},
        {"C:\\Users\\dev", "C:\\Users\\dev"},
        {" spaced ", " spaced "},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"cr\rhere", "\"cr\rhere\""},
        {"caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC"},
        {"\xF0\x9F\x98\x80,x", "\"\xF0\x9F\x98\x80,x\""},
        {"bad\xFF"
         "byte",
         "bad\xEF\xBF\xBD"
         "byte"},
        {"cut\xE6\x97", "cut\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // an overlong "/"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CsvField(c.text), c.field) << c.text;
    }
}

TEST(HistoryCsv, ANameWithEverythingStaysOneField) {
    std::vector<LedgerRow> rows = {
        Row("2025-05-01", "", LedgerTool::kClaude, "p", "/x/\"a\",\nb", "m")};
    const std::string csv = BuildHistoryCsv(rows);
    EXPECT_NE(csv.find(",p,\"/x/\"\"a\"\",\nb\",m,"), std::string::npos) << csv;
}

TEST(HistoryCsv, DollarsRoundToTheCentWithHalvesUp) {
    struct Case {
        double dollars;
        const char* text;
    };
    const Case cases[] = {
        {0, "0.00"},
        {0.004999, "0.00"},
        {0.005, "0.01"},
        {1.004999, "1.00"},
        {1.005, "1.01"},
        {2.675, "2.68"},
        {2.674999, "2.67"},
        {0.015, "0.02"},
        {0.014999, "0.01"},
        {12.345, "12.35"},
        {99.995, "100.00"},
        {99.994999, "99.99"},
        {1234567.891, "1234567.89"},
        {-0.005, "-0.01"},
        {-0.004, "0.00"},
        {std::nan(""), "0.00"},
        {1e300, "0.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatCsvDollars(c.dollars), c.text) << c.dollars;
    }
}

}  // namespace
