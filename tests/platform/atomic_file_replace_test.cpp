#include "platform/atomic_file_replace.h"

#include <gtest/gtest.h>

namespace {

TEST(AfterReplaceFailure, RetriesOnlyWhatAnotherProgramCausesForAMoment) {
    const struct {
        uint32_t error;
        ReplaceStep step;
    } cases[] = {
        {32, ReplaceStep::RetryLater},    // sharing violation: a reader without FILE_SHARE_DELETE
        {5, ReplaceStep::RetryLater},     // access denied: the same, or a delete pending
        {33, ReplaceStep::RetryLater},    // lock violation
        {1175, ReplaceStep::RetryLater},  // the original could not be removed; both kept
        {1224, ReplaceStep::RetryLater},  // the original is mapped into memory
        {1176, ReplaceStep::RetryNow},    // the original is gone: move the new file in
        {2, ReplaceStep::RetryNow},       // the original went away before the call
        {183, ReplaceStep::RetryNow},     // a second writer's file appeared: replace it
        {80, ReplaceStep::RetryNow},     {112, ReplaceStep::GiveUp},  // disk full
        {3, ReplaceStep::GiveUp},                                     // the folder is gone
        {0, ReplaceStep::GiveUp},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AfterReplaceFailure(c.error, 1), c.step) << c.error;
        EXPECT_EQ(AfterReplaceFailure(c.error, kReplaceAttempts - 1), c.step) << c.error;
        EXPECT_EQ(AfterReplaceFailure(c.error, kReplaceAttempts), ReplaceStep::GiveUp) << c.error;
    }
}

TEST(AfterReplaceFailure, WaitsALittleLongerEachTimeAndNotLongInAll) {
    uint32_t total = 0;
    for (int attempt = 1; attempt < kReplaceAttempts; ++attempt) {
        EXPECT_EQ(ReplaceRetryDelayMs(attempt), 10u << (attempt - 1));
        total += ReplaceRetryDelayMs(attempt);
    }
    EXPECT_LE(total, 500u);  // a save on the UI thread must not hang
}

}  // namespace
