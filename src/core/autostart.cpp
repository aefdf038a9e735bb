#include "core/autostart.h"

std::wstring AutostartCommand(const std::wstring& executablePath) {
    return L"\"" + executablePath + L"\" --autostart";
}

bool StartupApprovalDisables(std::string_view data) {
    return !data.empty() && (static_cast<unsigned char>(data[0]) & 1) != 0;
}

std::string_view StartupApprovalEnabled() {
    static constexpr char kEnabled[12] = {2};
    return {kEnabled, sizeof kEnabled};
}
