#pragma once

#include <cstdint>

// The finished temporary file is renamed over the original. The rename can fail for a moment
// while another program (a second writer, an indexer, a virus scanner, a backup) holds the
// original open without sharing it for deletion, or, before Windows 10 1709 or off NTFS, holds it
// open at all: such failures are tried again a few times, shortly; any other ends the write.

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
