#pragma once

#include <cstddef>

// Crossing long stretches without a candidate 32 positions per compare, where the processor can
// (AVX2 on x86-64); the build picks the file for the processor it targets.

// A search's filter: the needle's two rarest bytes and where in the needle they sit.
struct WideFilter {
    char firstByte;
    char secondByte;
    size_t first;
    size_t second;
};

// True where the wide compares can run.
bool HasWideCompares();

// The first step start at or after `start`, in steps of 64, whose 64 starts hold a candidate of
// `a` (or of `*b`, when given); the first start with `start + 64 > end` when none does. Called
// only where HasWideCompares().
size_t SkipQuietStepsWide(const char* base, size_t start, size_t end, const WideFilter& a,
                          const WideFilter* b);

// The end, stepping back from `end` by 64 while the 64 bytes before it hold no `byte`, at which
// they do hold one; the first end below 64 when none does. Called only where HasWideCompares().
size_t SkipQuietStepsBackWide(const char* base, size_t end, char byte);
