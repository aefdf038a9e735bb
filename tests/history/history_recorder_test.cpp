#include "history/history_recorder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "history/ledger_days.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kNow = 1796911200;  // 2026-12-10 14:00 UTC
const std::string kToday = "2026-12-10";

// "2026-12-10T14:00:00.000Z" for a Unix time.
std::string IsoText(int64_t time) {
    const std::string day = DayFromNumber(time / kDay);
    const int64_t s = time % kDay;
    char text[32];
    std::snprintf(text, sizeof text, "%sT%02d:%02d:%02d.000Z", day.c_str(), int(s / 3600),
                  int(s / 60 % 60), int(s % 60));
    return text;
}

// A log line of one reply at `time` with `out` output tokens (ten input tokens).
std::string Reply(int64_t time, const std::string& id, int out, const std::string& cwd = "/w/app") {
    AssistantReply reply;
    reply.timestamp = IsoText(time);
    reply.messageId = id;
    reply.requestId = "req_" + id;
    reply.in = 10;
    reply.out = out;
    reply.cacheWrite = 0;
    reply.cacheRead = 0;
    std::string line = AssistantLine(reply);
    const size_t at = line.find("/home/me/app");
    line.replace(at, 12, cwd);
    return line + "\n";
}

// The ledger as another program sees it: per day, the messages and output tokens of one place.
class Ledger {
public:
    explicit Ledger(const std::wstring& path) {
        const std::u8string name = PathFromWide(path).u8string();
        sqlite3_open_v2(std::string(name.begin(), name.end()).c_str(), &db_, SQLITE_OPEN_READONLY,
                        nullptr);
    }
    ~Ledger() { sqlite3_close(db_); }
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    // day -> "messages/output" summed over its rows
    std::map<std::string, std::string> Days() {
        std::map<std::string, std::string> days;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db_, "SELECT day, sum(messages), sum(output) FROM usage GROUP BY day",
                           -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            days[DayFromNumber(sqlite3_column_int64(s, 0))] =
                std::to_string(sqlite3_column_int64(s, 1)) + "/" +
                std::to_string(sqlite3_column_int64(s, 2));
        }
        sqlite3_finalize(s);
        return days;
    }
    // login -> "messages/output" summed over its rows; "" for the rows without one
    std::map<std::string, std::string> Logins() {
        std::map<std::string, std::string> logins;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db_,
                           "SELECT a.name, sum(messages), sum(output) FROM usage u"
                           " JOIN names a ON a.id = u.account GROUP BY a.name",
                           -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            logins[reinterpret_cast<const char*>(sqlite3_column_text(s, 0))] =
                std::to_string(sqlite3_column_int64(s, 1)) + "/" +
                std::to_string(sqlite3_column_int64(s, 2));
        }
        sqlite3_finalize(s);
        return logins;
    }
    // Goes up whenever another connection commits.
    int64_t DataVersion() {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &s, nullptr);
        const int64_t version = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
        sqlite3_finalize(s);
        return version;
    }

private:
    sqlite3* db_ = nullptr;
};

// A home with one place ("Home") whose logs are in `root`, and a ledger beside it.
class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() {
        root = WideFromPath(temp.path() / "projects");
        fs::create_directories(temp.path() / "projects");
        fs::create_directories(temp.path() / "data");
        location = LedgerLocationFor(WideFromPath(temp.path() / "data"), L"", L"box");
        places = {{"Home", {root}, {}, true}};
    }

    std::wstring Log(const std::string& name) { return WideFromPath(PathFromWide(root) / name); }

    void Write(const std::string& name, const std::string& text) {
        WriteBytes(PathFromWide(Log(name)), text);
    }

    // The files of the place as the scanners would list them.
    std::vector<HistoryFile> Files() {
        std::vector<HistoryFile> files;
        for (const auto& entry : fs::directory_iterator(PathFromWide(root))) {
            files.push_back({WideFromPath(entry.path()), entry.file_size(), LedgerTool::kClaude});
        }
        return files;
    }

    // A recorder whose days are UTC days moved by `offsetHours`, as a time zone would.
    std::unique_ptr<HistoryRecorder> NewRecorder() {
        return std::make_unique<HistoryRecorder>(
            [this](int64_t time) { return DayFromNumber((time + offsetHours * 3600) / kDay); });
    }

    void Cycle(HistoryRecorder& recorder, int64_t now = kNow) {
        recorder.Record(location, places, Files(), now);
        while (recorder.ReadHistorySlice(now, 300)) {
        }
    }

    TempDir temp;
    std::wstring root;
    LedgerLocation location;
    std::vector<HistoryPlace> places;
    int64_t offsetHours = 0;
};

TEST_F(RecorderTest, TheWindowFollowsTheLogsAndADayNeverShrinksWhenItsFilesGo) {
    Write("a.jsonl", Reply(kNow - 3600, "m1", 5) + Reply(kNow - 3500, "m2", 7) +
                         Reply(kNow - 2 * kDay, "m3", 11));
    // A resumed session repeats an earlier reply: it counts once.
    Write("b.jsonl", Reply(kNow - 3600, "m1", 5) + Reply(kNow - 60, "m4", 13));
    auto recorder = NewRecorder();
    Cycle(*recorder);
    Ledger ledger(location.ownPath);
    EXPECT_EQ(ledger.Days(), (std::map<std::string, std::string>{{kToday, "3/25"},
                                                                   {"2026-12-08", "1/11"}}));

    // A quiet cycle writes nothing.
    const int64_t version = ledger.DataVersion();
    Cycle(*recorder);
    EXPECT_EQ(ledger.DataVersion(), version);

    // A reply appended is recorded; a file deleted leaves its days as they were, also after a
    // restart that never saw the file.
    Write("b.jsonl", Reply(kNow - 3600, "m1", 5) + Reply(kNow - 60, "m4", 13) +
                         Reply(kNow - 30, "m5", 1));
    Cycle(*recorder);
    EXPECT_EQ(ledger.Days()[kToday], "4/26");
    fs::remove(PathFromWide(Log("a.jsonl")));
    Cycle(*recorder);
    recorder = NewRecorder();
    Cycle(*recorder);
    EXPECT_EQ(ledger.Days(), (std::map<std::string, std::string>{{kToday, "4/26"},
                                                                   {"2026-12-08", "1/11"}}));

    // A file cut short is read again from its start, and its day follows it while it is there.
    Write("b.jsonl", Reply(kNow - 60, "m4", 13));
    Cycle(*recorder);
    EXPECT_EQ(ledger.Days()[kToday], "4/26") << "a day with a deleted file never shrinks";
}

TEST_F(RecorderTest, ADayWhoseFilesAreAllThereMovesWithTheTimeZone) {
    Write("a.jsonl", Reply(kNow - 13 * 3600, "m1", 5));  // 01:00 UTC on the 10th
    auto recorder = NewRecorder();
    Cycle(*recorder);
    Ledger ledger(location.ownPath);
    EXPECT_EQ(ledger.Days(), (std::map<std::string, std::string>{{kToday, "1/5"}}));
    offsetHours = -5;  // the computer travels west: the reply was on the 9th there
    Cycle(*recorder);
    EXPECT_EQ(ledger.Days(), (std::map<std::string, std::string>{{"2026-12-09", "1/5"}}));

    // A place that was not read in full keeps its rows.
    places[0].read = false;
    offsetHours = 0;
    Cycle(*recorder);
    EXPECT_EQ(ledger.Days(), (std::map<std::string, std::string>{{"2026-12-09", "1/5"},
                                                                   {kToday, "1/5"}}));
}

TEST_F(RecorderTest, OlderDaysAreReadOnceInSlicesAndNeverShrink) {
    // Forty days of logs in three files, one of them repeating another's replies.
    std::string old, copy;
    for (int day = 10; day < 40; ++day) {
        old += Reply(kNow - day * kDay, std::to_string(day), day);
    }
    for (int day = 10; day < 20; ++day) {
        copy += Reply(kNow - day * kDay, std::to_string(day), day);
    }
    Write("old.jsonl", old);
    Write("resumed.jsonl", copy + Reply(kNow - 15 * kDay, "x", 100));
    Write("new.jsonl", Reply(kNow - 60, "n", 1) + Reply(kNow - 20 * kDay, "stray", 3));
    auto recorder = NewRecorder();
    recorder->Record(location, places, Files(), kNow);
    ASSERT_TRUE(recorder->readingHistory());
    int slices = 0;
    while (recorder->ReadHistorySlice(kNow, 300)) ++slices;
    EXPECT_GT(slices, 10) << "a small budget reads in many slices";
    EXPECT_FALSE(recorder->state().readingHistory);
    EXPECT_EQ(recorder->state().historyBytesRead, recorder->state().historyBytesTotal);

    Ledger ledger(location.ownPath);
    std::map<std::string, std::string> days = ledger.Days();
    EXPECT_EQ(days.size(), 31u);  // today, and the thirty days from ten to thirty-nine days ago
    EXPECT_EQ(days[DayFromNumber((kNow - 15 * kDay) / kDay)], "2/115");
    EXPECT_EQ(days[DayFromNumber((kNow - 20 * kDay) / kDay)], "2/23");
    EXPECT_EQ(days[DayFromNumber((kNow - 39 * kDay) / kDay)], "1/39");

    // The old logs go; a restart reads no history again and keeps every day.
    fs::remove(PathFromWide(Log("old.jsonl")));
    fs::remove(PathFromWide(Log("resumed.jsonl")));
    recorder = NewRecorder();
    recorder->Record(location, places, Files(), kNow + 60);
    EXPECT_FALSE(recorder->readingHistory());
    EXPECT_EQ(ledger.Days(), days);

    // A new place is read, and adds its own rows only.
    fs::create_directories(temp.path() / "wsl");
    WriteBytes(temp.path() / "wsl" / "w.jsonl", Reply(kNow - 12 * kDay, "w", 1000));
    places.push_back({"Ubuntu (WSL)", {WideFromPath(temp.path() / "wsl")}, {}, true});
    Cycle(*recorder, kNow + 120);
    EXPECT_EQ(ledger.Days()[DayFromNumber((kNow - 12 * kDay) / kDay)], "2/1012");
    EXPECT_EQ(ledger.Days()[DayFromNumber((kNow - 39 * kDay) / kDay)], "1/39");
}

TEST_F(RecorderTest, ADamagedLedgerIsMovedAsideAndRebuiltFromTheLogs) {
    Write("a.jsonl", Reply(kNow - 20 * kDay, "m1", 5) + Reply(kNow - 60, "m2", 7));
    WriteBytes(PathFromWide(location.ownPath), std::string(4096, 'x'));
    auto recorder = NewRecorder();
    Cycle(*recorder);
    EXPECT_EQ(recorder->state().movedAsideCount, 1u);
    EXPECT_TRUE(fs::exists(PathFromWide(recorder->state().movedAsideTo)));
    EXPECT_EQ(Ledger(location.ownPath).Days().size(), 2u);
    EXPECT_TRUE(recorder->state().hasRows);
    EXPECT_EQ(recorder->state().claudeTodayDollars, recorder->state().claudeSevenDayDollars);
    EXPECT_GT(recorder->state().claudeTodayDollars, 0);
}

TEST_F(RecorderTest, AChosenFolderTakesTheHistoryAlongOrIsNamedWhileItCannotBeReached) {
    Write("a.jsonl", Reply(kNow - 60, "m1", 5));
    auto recorder = NewRecorder();
    Cycle(*recorder);

    const std::wstring shared = WideFromPath(temp.path() / "shared");
    location = LedgerLocationFor(WideFromPath(temp.path() / "data"), shared, L"box");
    Cycle(*recorder);
    EXPECT_EQ(recorder->state().unreachableFolder, shared);
    EXPECT_EQ(recorder->state().ledgerPath, WideFromPath(temp.path() / "data" / "usage.db"));

    fs::create_directories(PathFromWide(shared));
    Cycle(*recorder, kNow + 599);
    EXPECT_EQ(recorder->state().unreachableFolder, shared) << "tried again after ten minutes";
    Cycle(*recorder, kNow + 600);
    EXPECT_EQ(recorder->state().unreachableFolder, L"");
    EXPECT_EQ(recorder->state().ledgerPath, location.ownPath);
    EXPECT_EQ(Ledger(location.ownPath).Days(), (std::map<std::string, std::string>{{kToday, "1/5"}}));
}

TEST_F(RecorderTest, RowsRecordedBeforeLoginsAreTheDefaultLoginsAndTwoLoginsStayApart) {
    // Recorded as before logins were told apart: today in the window, a day before it.
    Write("a.jsonl", Reply(kNow - 20 * kDay, "m1", 5) + Reply(kNow - 60, "m2", 7));
    auto recorder = NewRecorder();
    Cycle(*recorder);
    Ledger ledger(location.ownPath);
    EXPECT_EQ(ledger.Logins(), (std::map<std::string, std::string>{{"", "2/12"}}));

    // The same logs, now the default login's: the window's row takes its name, the older day
    // stays unnamed, and nothing is counted twice (also after a restart).
    places[0].account = "me@example.com";
    places[0].defaultAccount = true;
    for (int restart = 0; restart < 2; ++restart) {
        recorder = NewRecorder();
        Cycle(*recorder, kNow + 60 * restart);
        EXPECT_FALSE(recorder->readingHistory()) << "its history was read already";
        EXPECT_EQ(ledger.Logins(), (std::map<std::string, std::string>{{"", "1/5"},
                                                                       {"me@example.com", "1/7"}}));
    }

    // A second login at the same place, with a reply on the same day, project and model: its
    // own rows, and its own history read.
    fs::create_directories(temp.path() / "work");
    WriteBytes(temp.path() / "work" / "w.jsonl",
               Reply(kNow - 20 * kDay, "w1", 100) + Reply(kNow - 120, "w2", 1000));
    places.push_back({"Home", {WideFromPath(temp.path() / "work")}, {}, true, "work"});
    std::vector<HistoryFile> files = Files();
    files.push_back({WideFromPath(temp.path() / "work" / "w.jsonl"),
                     fs::file_size(temp.path() / "work" / "w.jsonl"), LedgerTool::kClaude});
    recorder->Record(location, places, files, kNow + 120);
    while (recorder->ReadHistorySlice(kNow + 120, 300)) {
    }
    EXPECT_EQ(ledger.Logins(), (std::map<std::string, std::string>{
                                   {"", "1/5"}, {"me@example.com", "1/7"}, {"work", "2/1100"}}));
    EXPECT_EQ(ledger.Days()[kToday], "2/1007");

    // The default login's file goes: its day never shrinks, and the other login's is untouched.
    fs::remove(PathFromWide(Log("a.jsonl")));
    files.erase(files.begin());
    recorder->Record(location, places, files, kNow + 180);
    EXPECT_EQ(ledger.Days()[kToday], "2/1007");
}

TEST_F(RecorderTest, TheWindowsFilesAsAnOlderVersionListedThemStillKeepADayFromShrinking) {
    Write("a.jsonl", Reply(kNow - 3600, "m1", 5));
    Write("b.jsonl", Reply(kNow - 60, "m2", 7));
    Cycle(*NewRecorder());
    {
        // The list of the window's files as the version before logins wrote it.
        const std::string old = "0\tHome\t" + kToday + "\t" + WideToUtf8(Log("a.jsonl")) +
                                "\n0\tHome\t" + kToday + "\t" + WideToUtf8(Log("b.jsonl")) + "\n";
        const std::u8string name = PathFromWide(location.ownPath).u8string();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(std::string(name.begin(), name.end()).c_str(), &db), SQLITE_OK);
        const std::string sql = "DELETE FROM meta WHERE key = 'window_files_by_login';"
                                "INSERT OR REPLACE INTO meta VALUES('window_files', '" +
                                old + "');";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    fs::remove(PathFromWide(Log("a.jsonl")));
    places[0].account = "me@example.com";
    places[0].defaultAccount = true;
    Cycle(*NewRecorder(), kNow + 60);
    Ledger ledger(location.ownPath);
    EXPECT_EQ(ledger.Logins(), (std::map<std::string, std::string>{{"me@example.com", "2/12"}}))
        << "the day of the file that went keeps its two replies, under the login's name";
}

TEST(HistoryPlaces, APlaceIsReadInFullUnlessAFolderOrItsSlowRootWasLeft) {
    const std::vector<LogPlace> places = {{L"Home", {L"/h/projects"}, {L"/h/sessions"}, false},
                                          {L"Ubuntu (WSL)", {L"/u/projects"}, {}, false},
                                          {L"Debian (WSL)", {L"/d/projects"}, {}, true},
                                          {L"Slow", {L"/s/projects"}, {}, false}};
    const std::vector<HistoryPlace> read =
        HistoryPlacesOf(places, {L"/u/projects/x"}, {L"/s/projects"});
    ASSERT_EQ(read.size(), 4u);
    EXPECT_TRUE(read[0].read);
    EXPECT_FALSE(read[1].read);
    EXPECT_FALSE(read[2].read);
    EXPECT_FALSE(read[3].read);
    EXPECT_EQ(read[1].name, "Ubuntu (WSL)");
}

}  // namespace
