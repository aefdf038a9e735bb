#include "platform/instance.h"

bool PostToRunningInstance(uint32_t, uintptr_t, intptr_t) { return false; }
