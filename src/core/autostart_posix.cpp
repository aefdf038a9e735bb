#include "core/autostart.h"

bool IsAutostartOn() {
    return false;
}

void SetAutostart(bool) {}

void RefreshAutostartCommand() {}
