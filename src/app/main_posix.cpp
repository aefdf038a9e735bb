#include "core/settings.h"

int main() {
    LoadSettings();
    return 0;
}
