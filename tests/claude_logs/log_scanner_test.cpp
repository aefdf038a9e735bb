#include "claude_logs/log_scanner.h"

#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <new>

#include "core/iso_time.h"
#include "core/log_files.h"
#include "platform/system.h"
#include "support/claude_lines.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const int64_t kNow = ParseIsoTime("2025-03-01T12:00:00Z");

class ClaudeScan : public ::testing::Test {
protected:
    TempDir dir;
    fs::path root = dir.path() / "projects";
    ClaudeLogScanner scanner;

    ClaudeLogSelection Scan(int64_t now = kNow) {
        return scanner.Scan({WideFromPath(root)}, now, WallClock());
    }
    static int64_t WallClock() { return static_cast<int64_t>(std::time(nullptr)); }
    static void SetAge(const fs::path& path, int64_t seconds) {
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(seconds));
    }
    static void Append(const fs::path& path, const std::string& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
    }
    static std::string Line(double in, const std::string& id = "msg_1", const std::string& req = "req_1",
                            const std::string& time = "2025-03-01T10:00:00Z") {
        AssistantReply reply;
        reply.in = in;
        reply.out = reply.cacheWrite = reply.cacheRead = 0;
        reply.messageId = id;
        reply.requestId = req;
        reply.timestamp = time;
        return AssistantLine(reply);
    }
    static double Tokens(const ClaudeLogSelection& selection) {
        double sum = 0;
        for (const auto& r : selection.records) sum += r.tokens;
        return sum;
    }
    const ClaudeFileState& State(const fs::path& path) {
        return scanner.files().at(WideFromPath(path));
    }
};

TEST_F(ClaudeScan, MissingRootsAreNotFoundAndEmptyOnesAre) {
    EXPECT_FALSE(Scan().found);
    fs::create_directories(root / "-home-me-app");
    const ClaudeLogSelection selection = Scan();
    EXPECT_TRUE(selection.found);
    EXPECT_TRUE(selection.records.empty());
    // Any kind of object counts as an existing root, even a file.
    fs::remove_all(root);
    Append(root, "x");
    EXPECT_TRUE(Scan().found);
}

TEST_F(ClaudeScan, ReadsOnlyJsonlFilesAtAnyDepth) {
    Append(root / "a" / "s1.jsonl", Line(1, "m1") + "\n");
    Append(root / "a" / "deep" / "er" / "s2.jsonl", Line(2, "m2") + "\n");
    Append(root / "a" / "s3.JSONL", Line(4, "m3") + "\n");
    Append(root / "a" / "s4.jsonl.bak", Line(8, "m4") + "\n");
    Append(root / "a" / "s5.json", Line(16, "m5") + "\n");
    fs::create_directories(root / "folder.jsonl");
    EXPECT_EQ(Tokens(Scan()), 3);
}

TEST_F(ClaudeScan, ALineCountsOnlyOnceItsNewlineArrives) {
    const fs::path log = root / "p" / "s.jsonl";
    Append(log, UserLine() + "\n" + Line(5, "m1"));
    EXPECT_EQ(Scan().records.size(), 0u);
    EXPECT_EQ(State(log).consumed, UserLine().size() + 1);

    Append(log, "\n");
    EXPECT_EQ(Tokens(Scan()), 5);
    EXPECT_EQ(scanner.lastScanStats().bytesRead, Line(5, "m1").size() + 1);
    EXPECT_EQ(State(log).consumed, fs::file_size(log));
}

TEST_F(ClaudeScan, AppendsAreReadWithoutParsingEarlierLinesAgain) {
    const fs::path log = root / "p" / "s.jsonl";
    Append(log, Line(11, "m1") + "\n");
    EXPECT_EQ(Tokens(Scan()), 11);
    // Change the counted line in place, keeping the size: an unchanged size is not even opened.
    std::string text = Line(99, "m1") + "\n";
    { std::ofstream(log, std::ios::binary | std::ios::trunc) << text; }
    EXPECT_EQ(Tokens(Scan()), 11);
    EXPECT_EQ(scanner.lastScanStats().filesOpened, 0u);
    // A grown file is read from the end of the last complete line only.
    const std::string appended = Line(7, "m2") + "\n" + Line(3, "m3") + "\n";
    Append(log, appended);
    const ClaudeLogSelection selection = Scan();
    EXPECT_EQ(scanner.lastScanStats().filesOpened, 1u);
    EXPECT_EQ(scanner.lastScanStats().bytesRead, appended.size());
    EXPECT_EQ(selection.records.size(), 3u);
    EXPECT_EQ(Tokens(selection), 21);
}

TEST_F(ClaudeScan, AShorterFileIsReadAgainFromItsStart) {
    const fs::path log = root / "p" / "s.jsonl";
    Append(log, Line(100, "m1") + "\n" + Line(200, "m2") + "\n");
    EXPECT_EQ(Tokens(Scan()), 300);
    { std::ofstream(log, std::ios::binary | std::ios::trunc) << Line(5, "m9") + "\n"; }
    const ClaudeLogSelection selection = Scan();
    EXPECT_EQ(selection.records.size(), 1u);
    EXPECT_EQ(Tokens(selection), 5);
}

TEST_F(ClaudeScan, OldAndDeletedFilesAreForgotten) {
    const fs::path old = root / "p" / "old.jsonl";
    const fs::path gone = root / "p" / "gone.jsonl";
    Append(old, Line(1, "m1") + "\n");
    Append(gone, Line(2, "m2") + "\n");
    EXPECT_EQ(Tokens(Scan()), 3);
    EXPECT_EQ(scanner.files().size(), 2u);

    SetAge(old, 691200 + 60);
    fs::remove(gone);
    EXPECT_EQ(Tokens(Scan()), 0);
    EXPECT_TRUE(scanner.files().empty());
}

TEST_F(ClaudeScan, AFileJustInsideEightDaysIsRead) {
    const fs::path log = root / "p" / "s.jsonl";
    Append(log, Line(1, "m1") + "\n");
    SetAge(log, 691200 - 60);
    EXPECT_EQ(Tokens(Scan()), 1);
}

TEST_F(ClaudeScan, RecordsOfTheLastEightDaysAreSelectedInTimeOrder) {
    const fs::path log = root / "p" / "s.jsonl";
    const int64_t eightDaysAgo = kNow - 691200;
    Append(log, Line(1, "m1", "r", "2025-02-21T12:00:00Z") + "\n" +  // exactly 8 days: kept
                    Line(2, "m2", "r", "2025-02-21T11:59:59Z") + "\n" +  // one second more: dropped
                    Line(4, "m3", "r", "2025-03-01T09:00:00Z") + "\n");
    Append(root / "a.jsonl", Line(8, "m4", "r", "2025-02-25T00:00:00Z") + "\n");
    const ClaudeLogSelection selection = Scan();
    ASSERT_EQ(selection.records.size(), 3u);
    EXPECT_EQ(selection.records[0].time, eightDaysAgo);
    EXPECT_EQ(selection.records[1].tokens, 8);
    EXPECT_EQ(selection.records[2].tokens, 4);
    // The dropped record stays in the file's memory; only the selection leaves it out.
    EXPECT_EQ(State(log).records.size(), 3u);
}

TEST_F(ClaudeScan, AReusedSelectionStillDropsRecordsThatTurnEightDaysOld) {
    Append(root / "s.jsonl", Line(1, "m1", "r", "2025-02-21T12:00:30Z") + "\n" +
                                 Line(2, "m2", "r", "2025-02-28T12:00:00Z") + "\n");
    EXPECT_EQ(Tokens(Scan(kNow)), 3);
    EXPECT_EQ(Tokens(Scan(kNow + 30)), 3);  // exactly 8 days old: still in
    EXPECT_EQ(Tokens(Scan(kNow + 31)), 2);  // nothing changed on disk, yet one record left
    EXPECT_EQ(Tokens(Scan(kNow)), 3);       // and a clock going back brings it back
}

TEST_F(ClaudeScan, DuplicatesOfADroppedOldReplyStillCountOnce) {
    // The first copy is too old; the later copy of the same reply counts, once.
    Append(root / "a.jsonl", Line(5, "msg_x", "req_x", "2025-02-20T00:00:00Z") + "\n");
    Append(root / "b.jsonl", Line(7, "msg_x", "req_x", "2025-02-28T00:00:00Z") + "\n" +
                                 Line(7, "msg_x", "req_x", "2025-02-28T00:00:00Z") + "\n");
    EXPECT_EQ(Tokens(Scan()), 7);
}

// A reply written again a second later (the next block of the same message) counts with its
// first copy; once that copy turns 8 days old, the later one still counts, on the path that
// reuses the last selection as on a fresh one. A copy at the same time leaves with its first.
TEST_F(ClaudeScan, AReusedSelectionKeepsTheLaterCopyOfAReplyThatTurnsEightDaysOld) {
    Append(root / "a.jsonl", Line(5, "msg_x", "req_x", "2025-02-21T12:00:30Z") + "\n" +
                                 Line(3, "msg_y", "req_y", "2025-02-21T12:00:30Z") + "\n");
    Append(root / "b.jsonl", Line(7, "msg_x", "req_x", "2025-02-21T12:00:31Z") + "\n" +
                                 Line(2, "msg_y", "req_y", "2025-02-21T12:00:30Z") + "\n");
    EXPECT_EQ(Tokens(Scan(kNow)), 8);
    EXPECT_EQ(Tokens(Scan(kNow + 31)), 7);  // msg_x from b, msg_y gone with both its copies
    EXPECT_EQ(Tokens(scanner.Reselect(kNow + 32)), 0);
}

TEST_F(ClaudeScan, TheSameReplyCountsOnceFromThePathThatSortsFirst) {
    Append(root / "b" / "s.jsonl", Line(200, "msg_x", "req_x") + "\n");
    Append(root / "a" / "s.jsonl", Line(100, "msg_x", "req_x") + "\n" +
                                       Line(100, "msg_x", "req_x") + "\n" +
                                       Line(100, "msg_x", "req_x") + "\n");
    EXPECT_EQ(Tokens(Scan()), 100);
}

TEST_F(ClaudeScan, LinesWithoutMessageIdAreNeverMerged) {
    Append(root / "s.jsonl", Line(1, "", "req_x") + "\n" + Line(2, "", "req_x") + "\n" +
                                 Line(4, "m", "req_a") + "\n" + Line(8, "m", "req_b") + "\n");
    EXPECT_EQ(Tokens(Scan()), 15);
}

TEST_F(ClaudeScan, ARootNamedTwiceIsReadOnce) {
    Append(root / "s.jsonl", Line(3, "m1") + "\n" + Line(4, "") + "\n");
    const std::wstring same = WideFromPath(root);
    EXPECT_EQ(Tokens(scanner.Scan({same, same}, kNow, WallClock())), 7);
    EXPECT_EQ(scanner.files().size(), 1u);
}

TEST_F(ClaudeScan, LongLinesAndCrlfEndings) {
    std::string huge = Line(6, "m1");
    huge.insert(huge.find("Done."), std::string(5 << 20, 'x'));  // a 5 MB tool result
    Append(root / "s.jsonl", UserLine() + "\r\n" + huge + "\r\n" + Line(1, "m2") + "\r\n");
    EXPECT_EQ(Tokens(Scan()), 7);
}

TEST_F(ClaudeScan, ManyLargeFilesReadInParallelGiveTheSameRecords) {
    std::string block;
    for (int i = 0; i < 6000; ++i) block += Line(1, "") + "\n" + UserLine() + "\n";
    for (int f = 0; f < 8; ++f) {  // about 24 MB in all: enough for the second reader thread
        Append(root / std::string("p").append(std::to_string(f)) / "s.jsonl", block);
    }
    EXPECT_EQ(Scan().records.size(), 48000u);
    EXPECT_EQ(scanner.lastScanStats().filesOpened, 8u);
    EXPECT_EQ(scanner.lastScanStats().bytesRead, 8 * block.size());
}

// Two roots that reach the same folder (CLAUDE_CONFIG_DIR set to ~/.claude, say) queue each
// file once, even when the doubled amount would take the two-thread path.
TEST_F(ClaudeScan, FilesReachedFromTwoRootsAreReadOnceOnTheParallelPath) {
    std::string block;
    for (int i = 0; i < 5000; ++i) block += Line(1, "") + "\n" + UserLine() + "\n";
    for (int f = 0; f < 4; ++f) {  // about 10 MB: under the threshold once, over it twice
        Append(root / std::string("p").append(std::to_string(f)) / "s.jsonl", block);
    }
    const std::wstring same = WideFromPath(root);
    EXPECT_EQ(scanner.Scan({same, same}, kNow, WallClock()).records.size(), 20000u);
    EXPECT_EQ(scanner.lastScanStats().filesOpened, 4u);
    EXPECT_EQ(scanner.lastScanStats().bytesRead, 4 * block.size());
}

// A walk that fails (out of memory, say) after the second reader has begun ends that scan only;
// the files read meanwhile are not read again, and they join the next selection.
TEST_F(ClaudeScan, AWalkThatFailsWhileTheSecondReaderWorksEndsThatScanOnly) {
    Append(root / "a" / "s.jsonl", Line(5, "m1") + "\n");
    bool fail = false;
    ClaudeLogScanner faked([&](const std::wstring& from, const VisitFile& visit,
                               const VisitUnlisted& unlisted) {
        WalkRegularFiles(from, visit, unlisted);
        if (fail) throw std::bad_alloc();
    });
    const std::vector<std::wstring> roots{WideFromPath(root)};
    EXPECT_EQ(faked.Scan(roots, kNow, WallClock()).records.size(), 1u);

    std::string block;
    for (int i = 0; i < 6000; ++i) block += Line(1, "") + "\n" + UserLine() + "\n";
    for (int f = 0; f < 8; ++f) {  // about 24 MB: enough for the second reader thread
        Append(root / std::string("p").append(std::to_string(f)) / "s.jsonl", block);
    }
    fail = true;
    EXPECT_THROW(faked.Scan(roots, kNow, WallClock()), std::bad_alloc);
    fail = false;
    EXPECT_EQ(faked.Scan(roots, kNow, WallClock()).records.size(), 48001u);
    EXPECT_EQ(faked.lastScanStats().filesOpened, 0u);
}

// A folder the walk cannot list this time keeps its files' records; one that is gone drops them.
TEST_F(ClaudeScan, FilesOfAFolderThatCouldNotBeListedAreKept) {
    const fs::path log = root / "p" / "s.jsonl";
    Append(log, Line(5, "m1") + "\n");
    enum { kListed, kUnlisted, kGone } folder = kListed;
    ClaudeLogScanner faked([&](const std::wstring& from, const VisitFile& visit,
                               const VisitUnlisted& unlisted) {
        if (folder == kListed) WalkRegularFiles(from, visit, unlisted);
        if (folder == kUnlisted) unlisted(WideFromPath(root / "p"));
    });
    const std::vector<std::wstring> roots{WideFromPath(root)};
    EXPECT_EQ(Tokens(faked.Scan(roots, kNow, WallClock())), 5);
    folder = kUnlisted;
    EXPECT_EQ(Tokens(faked.Scan(roots, kNow, WallClock())), 5);
    EXPECT_EQ(faked.lastScanStats().filesOpened, 0u);
    folder = kGone;
    EXPECT_EQ(Tokens(faked.Scan(roots, kNow, WallClock())), 0);
    EXPECT_TRUE(faked.files().empty());
}

// A run of bytes with no newline past any real line's length (a file of zeros, say) is skipped as
// it is read, never held whole, and the lines after it count.
TEST_F(ClaudeScan, AnOverLongLineIsSkippedWithoutHoldingIt) {
    const fs::path log = root / "s.jsonl";
    Append(log, Line(2, "m1") + "\n" + std::string(kMaxLogLineBytes + (3 << 20), '\0'));
    EXPECT_EQ(Tokens(Scan()), 2);
    EXPECT_TRUE(State(log).inLongLine);
    EXPECT_EQ(State(log).consumed, fs::file_size(log));  // nothing left buffered for later
    const std::string tail = std::string(100, '\0') + Line(9, "x") + "\n" + Line(5, "m2") + "\n";
    Append(log, tail);
    EXPECT_EQ(Tokens(Scan()), 7);  // the over-long line ends at the first newline
    EXPECT_EQ(scanner.lastScanStats().bytesRead, tail.size());
    EXPECT_FALSE(State(log).inLongLine);
}

TEST_F(ClaudeScan, LargeFilesAreReadInPieces) {
    std::string block;
    for (int i = 0; i < 20000; ++i) {
        block += Line(1, std::string("msg_").append(std::to_string(i))) + "\n" + UserLine() + "\n";
    }
    Append(root / "big.jsonl", block);  // about 10 MB: several read chunks, lines across them
    EXPECT_EQ(Scan().records.size(), 20000u);
}

}  // namespace

namespace {

std::string IsoTime(int64_t t) {
    const std::time_t time = static_cast<std::time_t>(t);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&time));
    return text;
}

// The selection comes out in time order whatever the files' order: times spread over the week
// (dealt into buckets) and, in the second round, one far in the future (a comparison sort).
TEST_F(ClaudeScan, SelectionIsInTimeOrder) {
    for (const bool farOff : {false, true}) {
        std::string lines;
        for (int i = 0; i < 400; ++i) {
            const int64_t t = kNow - (i * 7919 % 600000) - (farOff && i == 7 ? -9'000'000 : 0);
            lines += Line(1 + i, "msg_" + std::to_string(i), "req", IsoTime(t)) + "\n";
        }
        fs::remove_all(root);
        Append(root / "p" / (farOff ? "b.jsonl" : "a.jsonl"), lines);
        const ClaudeLogSelection selection = Scan();
        ASSERT_EQ(selection.records.size(), 400u) << farOff;
        for (size_t i = 1; i < selection.records.size(); ++i) {
            ASSERT_LE(selection.records[i - 1].time, selection.records[i].time) << farOff << " " << i;
        }
        EXPECT_EQ(Tokens(selection), 400 * 401 / 2) << farOff;
    }
}

}  // namespace

namespace {

// As time passes, records leave the 8-day selection from its old end exactly as a fresh scan at
// that time would leave them out, without the selection being built anew.
TEST_F(ClaudeScan, RecordsCrossTheEightDayLineOneByOne) {
    std::string log;  // 10 s before the line at kNow, 50 s, 100 s and an hour after it
    for (const char* time : {"2025-02-21T11:59:50Z", "2025-02-21T12:00:50Z", "2025-02-21T12:01:40Z",
                             "2025-02-21T13:00:00Z"}) {
        log += Line(log.size() + 1, std::string("m") + time, "r", time) + "\n";
    }
    Append(root / "p" / "s.jsonl", log);
    EXPECT_EQ(Scan().records.size(), 3u);
    for (const int64_t later : {49, 50, 51, 100, 101, 4000}) {
        ClaudeLogScanner fresh;
        const size_t expected =
            fresh.Scan({WideFromPath(root)}, kNow + later, WallClock()).records.size();
        EXPECT_EQ(scanner.Reselect(kNow + later).records.size(), expected) << later;
        EXPECT_EQ(Tokens(scanner.Reselect(kNow + later)),
                  Tokens(fresh.Scan({WideFromPath(root)}, kNow + later, WallClock())))
            << later;
    }
}

}  // namespace
