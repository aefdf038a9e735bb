// The balloon that tells of a damaged ledger moved aside: once per move.
#include "tray/history_notice.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

HistoryState Moved(uint32_t count,
                   std::wstring to = L"C:\\data\\usage.db.damaged-20250102-030405") {
    HistoryState history;
    history.movedAsideCount = count;
    history.movedAsideTo = std::move(to);
    return history;
}

TEST(MovedAsideNotice, OncePerMoveTheFirstStateIncluded) {
    // Published states in turn, and whether each shows the balloon.
    const std::vector<std::pair<uint32_t, bool>> states = {
        {0, false},
        {0, false},
        {1, true},
        {1, false},
        {1, false},
        {3, true},
        {3, false},
        {1, false},  // a new worker counts again from its own moves:
                     // nothing to tell
        {2, true},
    };
    MovedAsideNotice notice;
    for (size_t i = 0; i < states.size(); ++i)
        EXPECT_EQ(notice.Check(Moved(states[i].first)).has_value(), states[i].second) << i;

    MovedAsideNotice atStart;  // moved aside while opening, before the first publish
    EXPECT_TRUE(atStart.Check(Moved(1)).has_value());
    EXPECT_FALSE(atStart.Check(Moved(1)).has_value());
}

TEST(MovedAsideNotice, NamesTheMovedFileNotItsFolder) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\data\\usage.db.damaged-20250102-030405",
         L"Usage history was damaged and is being rebuilt from the logs. The damaged file was "
         L"kept as usage.db.damaged-20250102-030405."},
        {L"/home/me/.config/tidewell/usage-box.db.damaged-1",
         L"Usage history was damaged and is being rebuilt from the logs. The damaged file was "
         L"kept as usage-box.db.damaged-1."},
        {L"", L"Usage history was damaged and is being rebuilt from the logs."},
    };
    for (const auto& [to, text] : cases) {
        MovedAsideNotice notice;
        const std::optional<Balloon> balloon = notice.Check(Moved(1, to));
        ASSERT_TRUE(balloon.has_value());
        EXPECT_EQ(balloon->title, L"Usage history");
        EXPECT_EQ(balloon->text, text);
    }
}

}  // namespace
