#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>

// The highest GDI table slot among 256 brushes made at once. Freed slots are handed out again
// last-in first-out, so one probe would land in the slots the code under test keeps recycling; 256
// reach past them to fresh slots, which move up with every object that leaks.
inline int HighestGdiSlot() {
    HBRUSH probes[256];
    int highest = 0;
    for (HBRUSH& probe : probes) {
        probe = CreateSolidBrush(RGB(1, 2, 3));
        highest = std::max(highest, static_cast<int>(reinterpret_cast<uintptr_t>(probe) & 0xFFFF));
    }
    for (HBRUSH probe : probes) DeleteObject(probe);
    return highest;
}
