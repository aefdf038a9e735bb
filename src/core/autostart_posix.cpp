#include "core/autostart.h"

bool IsAutostartOn() {
    return false;
}

void SetAutostart(bool, bool) {}

void RefreshAutostartCommand() {}
