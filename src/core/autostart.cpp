#include "core/autostart.h"

std::wstring AutostartCommand(const std::wstring& executablePath) {
    return L"\"" + executablePath + L"\" --autostart";
}
