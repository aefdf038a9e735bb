#include "core/byte_search_wide.h"

// Processors without a wider compare than the generic 16-byte one: no wide path.

bool HasWideCompares() {
    return false;
}

size_t SkipQuietStepsWide(const char*, size_t start, size_t, const WideFilter&, const WideFilter*) {
    return start;
}

size_t SkipQuietStepsBackWide(const char*, size_t end, char) {
    return end;
}
