#include "platform/wsl_system.h"

WslSystem ThisWslSystem() {
    WslSystem system;
    system.registered = [] { return std::vector<WslDistribution>{}; };
    system.processSignature = [] { return uint64_t{0}; };
    system.askRunning = [] { return std::optional<std::vector<std::wstring>>{}; };
    system.folderOf = [](const std::wstring&) { return std::wstring(); };
    system.listFolders = [](const std::wstring&) { return std::vector<std::wstring>{}; };
    return system;
}

bool IsWslFolder(const std::wstring&) { return false; }

bool IsSlowFolder(const std::wstring& folder) {
    return folder.starts_with(L"\\\\") || folder.starts_with(L"//") || IsWslFolder(folder);
}
