#include <windows.h>

#include "core/settings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    LoadSettings();
    return 0;
}
