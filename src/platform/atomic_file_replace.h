#pragma once

#include <cstdint>

// When the finished temporary file is put in place of the original (ReplaceFileW, or
// MoveFileExW when there is no original yet), Windows can refuse for a moment: another program
// (a second writer, an indexer, a virus scanner, a backup) holds the original open without
// FILE_SHARE_DELETE, or a second writer's file appeared meanwhile. Such failures are tried
// again a few times, shortly; any other failure ends the write.

inline constexpr int kReplaceAttempts = 6;

enum class ReplaceStep {
    RetryLater,  // wait ReplaceRetryDelayMs, then try again
    RetryNow,    // the original is gone or has just appeared: try again with the other call
    GiveUp,
};

// What to do after attempt `attempt` (counting from 1) failed with the Win32 error `error`.
ReplaceStep AfterReplaceFailure(uint32_t error, int attempt);

// The wait before the attempt after `attempt`: 10, 20, 40, ... milliseconds.
uint32_t ReplaceRetryDelayMs(int attempt);
