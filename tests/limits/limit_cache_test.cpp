#include "limits/limit_cache.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ini.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

class LimitCache : public ::testing::Test {
protected:
    TempDir dir;
    std::wstring path = dir.File("live.ini");
};

TEST_F(LimitCache, RowsAndPlanRoundTripExactly) {
    // The windows are not stored: read back, they follow from the labels.
    const std::vector<LimitRow> rows = {
        {kFiveHourLabel, 42, 1757600000, false, kFiveHourSeconds},
        {kWeeklyAllLabel, 17.5, 0, false, kWeekSeconds},
        {L"Weekly \u00b7 Opus \u9031 \U0001F30A", 99.999, -5, false, kWeekSeconds},
        {L"Monthly", 1, 0}};
    WriteLimitCacheAt(path, rows, L"Max", 1757500000);
    std::vector<LimitRow> back;
    std::wstring plan;
    EXPECT_EQ(ReadLimitCache(path, back, &plan), 1757500000);
    EXPECT_EQ(back, rows);
    EXPECT_EQ(plan, L"Max");
}

// The binding row is a key of its own: a file without it reads as before, and the rows of a
// file with it read the same to a reader that knows nothing of it.
TEST_F(LimitCache, TheBindingRowIsAKeyOlderReadersSkip) {
    std::vector<LimitRow> rows = {{kFiveHourLabel, 29, 0, false, kFiveHourSeconds},
                                  {L"Weekly \u00b7 Fable", 43, 5, true, kWeekSeconds}};
    WriteLimitCacheAt(path, rows, L"Max", 7);
    EXPECT_EQ(IniReadString(path, L"l", L"bind", L"", 16), L"1");
    std::vector<LimitRow> back;
    ReadLimitCache(path, back);
    EXPECT_EQ(back, rows);
    rows[1].binding = false;
    const std::wstring plain = dir.File("plain.ini");
    WriteLimitCacheAt(plain, rows, L"Max", 7);
    EXPECT_EQ(IniReadString(plain, L"l", L"bind", L"none", 16), L"none");
    IniWriteString(plain, L"l", L"bind", L"1");  // a newer program's file, as this one reads it
    IniWriteString(path, L"l", L"bind", L"9");   // a row that is not there binds nothing
    back.clear();
    ReadLimitCache(path, back);
    EXPECT_EQ(back, rows);
}

TEST_F(LimitCache, ExtraUsageRoundTripsUnderKeysOfItsOwn) {
    const ExtraUsage cases[] = {{true, 1240, 5000, true}, {true, 12.5, 0, false}, {}};
    for (const ExtraUsage& extra : cases) {
        WriteLimitCacheAt(path, {{kFiveHourLabel, 1, 0}}, L"Max", 7, extra);
        std::vector<LimitRow> rows;
        ExtraUsage back{true, 1, 1, true};
        ReadLimitCache(path, rows, nullptr, &back);
        EXPECT_EQ(back, extra);
        EXPECT_EQ(rows, (std::vector<LimitRow>{{kFiveHourLabel, 1, 0, false, kFiveHourSeconds}}));
        EXPECT_EQ(IniReadString(path, L"l", L"xon", L"none", 8), extra.enabled ? L"1" : L"none");
    }
}

TEST_F(LimitCache, PercentsAreStoredWithSixDecimals) {
    WriteLimitCacheAt(path, {{kFiveHourLabel, 42.1234567, 0}, {L"x", 42, 0}}, L"", 1);
    EXPECT_EQ(IniReadString(path, L"l", L"pct0", L"", 256), L"42.123457");
    EXPECT_EQ(IniReadString(path, L"l", L"pct1", L"", 256), L"42.000000");
    std::vector<LimitRow> back;
    ReadLimitCache(path, back);
    EXPECT_EQ(back[0].percent, 42.123457);
}

TEST_F(LimitCache, AnEmptyListStillWritesTheSection) {
    WriteLimitCacheAt(path, {}, L"", 1000);
    EXPECT_EQ(IniReadString(path, L"l", L"n", L"", 256), L"0");
    EXPECT_EQ(IniReadString(path, L"l", L"plan", L"<missing>", 256), L"");
    std::vector<LimitRow> rows;
    EXPECT_EQ(ReadLimitCache(path, rows), 1000);
    EXPECT_TRUE(rows.empty());
    EXPECT_FALSE(IsCacheFresh(rows.size(), 1000, 1000, kLiveCacheMaxAge));
}

TEST_F(LimitCache, WritingReplacesTheWholeSection) {
    WriteLimitCacheAt(path, {{L"a", 1, 0}, {L"b", 2, 0}, {L"c", 3, 0}}, L"Pro", 1);
    WriteLimitCacheAt(path, {{L"z", 9, 0}}, L"", 2);
    EXPECT_EQ(IniReadString(path, L"l", L"name2", L"<gone>", 256), L"<gone>");
    std::vector<LimitRow> rows;
    std::wstring plan = L"stale";
    EXPECT_EQ(ReadLimitCache(path, rows, &plan), 2);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(plan, L"");
}

TEST_F(LimitCache, HandEditedFilesReadAsFarAsTheyGo) {
    IniWriteString(path, L"l", L"at", L"12abc");
    IniWriteString(path, L"l", L"n", L"3");
    IniWriteString(path, L"l", L"name0", L"a");
    IniWriteString(path, L"l", L"pct0", L"5");
    IniWriteString(path, L"l", L"name1", L"b");
    std::vector<LimitRow> rows;
    EXPECT_EQ(ReadLimitCache(path, rows), 12);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], (LimitRow{L"b", 0, 0}));
    EXPECT_EQ(rows[2], (LimitRow{L"", 0, 0}));

    for (const wchar_t* n : {L"0", L"-4", L"x"}) {
        IniWriteString(path, L"l", L"n", n);
        rows.clear();
        ReadLimitCache(path, rows);
        EXPECT_TRUE(rows.empty()) << n;
    }
    IniWriteString(path, L"l", L"n", L"2000000000");  // absurd: read a bounded number of rows
    rows.clear();
    ReadLimitCache(path, rows);
    EXPECT_EQ(rows.size(), 100u);
}

TEST_F(LimitCache, MissingFileOrTimeIsStale) {
    std::vector<LimitRow> rows;
    EXPECT_EQ(ReadLimitCache(dir.File("none.ini"), rows), 0);
    EXPECT_TRUE(rows.empty());
    IniWriteString(path, L"l", L"n", L"1");
    EXPECT_EQ(ReadLimitCache(path, rows), 0);
    EXPECT_FALSE(IsCacheFresh(rows.size(), 0, 1757500000, kLiveCacheMaxAge));
}

// The worker's reader takes live.ini from the file only when its folder signals a change.
TEST_F(LimitCache, TheLiveReaderReadsTheFileOnlyAfterAChange) {
    struct Watch : FolderWatch {
        explicit Watch(FolderChange& next) : next(next) {}
        FolderChange Take() override { return std::exchange(next, FolderChange::kNone); }
        FolderChange& next;
    };
    FolderChange next = FolderChange::kNone;
    LiveCacheReader reader(
        path, WalkGate([&](const std::wstring&) { return std::make_unique<Watch>(next); }));
    WriteLimitCacheAt(path, {{kFiveHourLabel, 10, 0}}, L"", 100);
    std::vector<LimitRow> rows{{L"kept", 1, 0}};
    EXPECT_EQ(reader.Read(rows, 1000), 100);
    ASSERT_EQ(rows.size(), 2u) << "appended, as ReadLimitCache does";

    WriteLimitCacheAt(path, {{kFiveHourLabel, 20, 0}}, L"", 200);
    rows.clear();
    EXPECT_EQ(reader.Read(rows, 1045), 100) << "no signal: as read last";
    EXPECT_EQ(rows.at(0).percent, 10);
    next = FolderChange::kChanged;
    rows.clear();
    EXPECT_EQ(reader.Read(rows, 1090), 200);
    EXPECT_EQ(rows.at(0).percent, 20);
}

TEST(IsCacheFresh, LimitsAreInclusive) {
    EXPECT_TRUE(IsCacheFresh(1, 1000, 1000 + 21599, kLiveCacheMaxAge));
    EXPECT_FALSE(IsCacheFresh(1, 1000, 1000 + 21600, kLiveCacheMaxAge));
    EXPECT_TRUE(IsCacheFresh(1, 1000, 1000 + 43199, kApiCacheMaxAge));
    EXPECT_FALSE(IsCacheFresh(1, 1000, 1000 + 43200, kApiCacheMaxAge));
    EXPECT_FALSE(IsCacheFresh(0, 1000, 1000, kApiCacheMaxAge));
    EXPECT_FALSE(IsCacheFresh(1, INT64_MIN, 1000, kApiCacheMaxAge));
}

// The caches moved from the roaming folder to the local one: a cache found only in the old place
// is carried over once; one already in the new place (another process wrote it) is never
// overwritten by the older one.
TEST_F(LimitCache, ACacheOnlyInTheOldFolderIsMovedOnce) {
    const std::wstring old = dir.File("roaming/live.ini");
    const struct {
        const char* name;
        bool oldThere;
        bool newThere;
        bool moved;
        int64_t readAt;  // "at" read from the new place afterwards
    } cases[] = {
        {"only the old one", true, false, true, 100},
        {"both: the new one stays", true, true, false, 200},
        {"only the new one", false, true, false, 200},
        {"neither", false, false, false, 0},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(dir.path() / "live.ini");
        std::filesystem::remove(dir.path() / "roaming" / "live.ini");
        std::filesystem::create_directories(dir.path() / "roaming");
        if (c.oldThere) WriteLimitCacheAt(old, {{kFiveHourLabel, 1, 0}}, L"", 100);
        if (c.newThere) WriteLimitCacheAt(path, {{kFiveHourLabel, 2, 0}}, L"", 200);
        EXPECT_EQ(MoveCacheFromOldFolder(old, path), c.moved) << c.name;
        std::vector<LimitRow> rows;
        EXPECT_EQ(ReadLimitCache(path, rows), c.readAt) << c.name;
        EXPECT_EQ(std::filesystem::exists(dir.path() / "roaming" / "live.ini"), c.oldThere && !c.moved)
            << c.name;
    }
    EXPECT_FALSE(MoveCacheFromOldFolder(path, path));
    EXPECT_FALSE(MoveCacheFromOldFolder(L"", path));
}

TEST(SortLimitRows, PutsTheTwoKnownRowsFirstAndKeepsTheRest) {
    std::vector<LimitRow> rows = {{L"Weekly \u00b7 Opus", 1, 0}, {kFiveHourLabel, 2, 0},
                                  {kWeeklyAllLabel, 3, 0}, {L"Weekly \u00b7 Sonnet", 4, 0},
                                  {L"5-hour limit ", 5, 0}};
    SortLimitRows(rows);
    EXPECT_EQ(rows[0].label, kFiveHourLabel);
    EXPECT_EQ(rows[1].label, kWeeklyAllLabel);
    EXPECT_EQ(rows[2].label, L"Weekly \u00b7 Opus");
    EXPECT_EQ(rows[3].label, L"Weekly \u00b7 Sonnet");
    EXPECT_EQ(rows[4].label, L"5-hour limit ");  // not an exact match
}

}  // namespace
