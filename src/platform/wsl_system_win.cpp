#include <windows.h>

#include <tlhelp32.h>

#include <cwctype>
#include <memory>
#include <vector>

#include "platform/environment_block.h"
#include "platform/file_walk.h"
#include "platform/handles_win.h"
#include "platform/system.h"
#include "platform/unicode.h"
#include "platform/whole_file.h"
#include "platform/wsl_system.h"

namespace {

constexpr wchar_t kLxssKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Lxss";
constexpr DWORD kAskTimeoutMs = 5000;
constexpr size_t kMaxDistributions = 64;

std::vector<WslDistribution> RegisteredDistributions() {
    std::vector<WslDistribution> found;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kLxssKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return found;
    }
    const RegistryKey lxss(opened);
    for (DWORD index = 0; found.size() < kMaxDistributions; ++index) {
        wchar_t subkey[256];
        DWORD length = 256;
        if (RegEnumKeyExW(lxss.get(), index, subkey, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        wchar_t name[256] = {};
        DWORD size = sizeof name;
        if (RegGetValueW(lxss.get(), subkey, L"DistributionName", RRF_RT_REG_SZ, nullptr, name,
                         &size) != ERROR_SUCCESS ||
            !IsUsableWslName(name)) {
            continue;  // a name that would reach another folder than its distribution's
        }
        DWORD version = 1;  // registered before WSL 2 existed
        size = sizeof version;
        RegGetValueW(lxss.get(), subkey, L"Version", RRF_RT_REG_DWORD, nullptr, &version, &size);
        found.push_back({name, static_cast<int32_t>(version)});
    }
    return found;
}

bool IsWslProcess(const wchar_t* name) {
    static const wchar_t* const kNames[] = {L"vmmem",   L"vmmemwsl",       L"wsl.exe",
                                            L"wslhost.exe", L"wslservice.exe", L"wslrelay.exe"};
    for (const wchar_t* known : kNames) {
        if (_wcsicmp(name, known) == 0) return true;
    }
    return false;
}

// The ids of WSL's processes mixed into one number; 0 when there are none.
uint64_t WslProcessSignature() {
    const FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));  // invalid: -1
    if (!snapshot) return 1;  // unknown: as if running
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    uint64_t signature = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (IsWslProcess(entry.szExeFile)) {
            signature = signature * 1000003 + entry.th32ProcessID + 1;
        }
    }
    return signature;
}

// Runs "wsl.exe --list --running --quiet" without a window and reads what it prints, for at most
// a few seconds. Only an answer with exit code 0 names running distributions; any other outcome
// counts as none running, so that nothing is read.
std::optional<std::vector<std::wstring>> AskWslRunning() {
    wchar_t system[MAX_PATH];
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    const std::wstring exe = std::wstring(system) + L"\\wsl.exe";
    if (!PathExists(exe)) return std::vector<std::wstring>{};
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return std::nullopt;
    const KernelHandle reader(readEnd);
    KernelHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // The child inherits the pipe's write end and nothing else: not the handles that other
    // threads of this program have made inheritable meanwhile.
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listBytes(listSize);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBytes.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &listSize))
        return std::nullopt;
    const std::unique_ptr<_PROC_THREAD_ATTRIBUTE_LIST, decltype(&DeleteProcThreadAttributeList)>
        deleteList(list, DeleteProcThreadAttributeList);
    HANDLE inherited[] = {writeEnd};
    if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                   sizeof inherited, nullptr, nullptr)) {
        return std::nullopt;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdOutput = writeEnd;
    startup.StartupInfo.hStdError = writeEnd;
    startup.StartupInfo.hStdInput = nullptr;
    startup.lpAttributeList = list;
    // With WSL_UTF8=1 wsl.exe writes UTF-8; without it, the UTF-16LE it writes by default.
    std::wstring environment;
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        size_t length = 0;
        while (strings[length] != 0 || strings[length + 1] != 0)
            ++length;
        environment = EnvironmentBlockWithout(std::wstring_view(strings, length + 2), L"WSL_UTF8");
        FreeEnvironmentStringsW(strings);
    }
    std::wstring command = L"\"" + exe + L"\" --list --running --quiet";
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(
            exe.c_str(), command.data(), nullptr, nullptr, TRUE,
            CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
            environment.empty() ? nullptr : environment.data(), nullptr, &startup.StartupInfo,
            &process)) {
        return std::nullopt;
    }
    const KernelHandle child(process.hProcess);
    CloseHandle(process.hThread);
    writer.reset();  // the pipe ends when the child's copy closes
    std::string output;
    const ULONGLONG deadline = GetTickCount64() + kAskTimeoutMs;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(reader.get(), nullptr, 0, nullptr, &available, nullptr)) break;  // closed
        if (available > 0) {
            char chunk[4096];
            DWORD got = 0;
            if (!ReadFile(reader.get(), chunk, sizeof chunk, &got, nullptr) || got == 0) break;
            if (output.size() < 65536) output.append(chunk, got);
            continue;
        }
        if (GetTickCount64() >= deadline) {
            TerminateProcess(child.get(), 1);
            return std::nullopt;
        }
        Sleep(20);
    }
    WaitForSingleObject(child.get(), 1000);
    DWORD code = 1;
    if (!GetExitCodeProcess(child.get(), &code) || code != 0) return std::vector<std::wstring>{};
    return ParseWslRunningList(output);
}

std::vector<std::wstring> ListAll(const std::wstring& folder) { return ListSubfolders(folder, 256); }

}  // namespace

WslSystem ThisWslSystem() {
    WslSystem system;
    system.registered = RegisteredDistributions;
    system.processSignature = WslProcessSignature;
    system.askRunning = AskWslRunning;
    // Windows 10 before 21H2 serves the distributions as \\wsl$ only.
    system.folderOf = [](const std::wstring& name) {
        const std::wstring current = L"\\\\wsl.localhost\\" + name;
        return PathExists(current) ? current : L"\\\\wsl$\\" + name;
    };
    system.listFolders = ListAll;
#ifdef TIDEWELL_WSL_STANDIN
    const std::wstring standin = ReadEnvironment(L"TIDEWELL_WSL_STANDIN");
    if (!standin.empty()) {
        system.processSignature = [] { return uint64_t{1}; };
        system.askRunning = [standin]() -> std::optional<std::vector<std::wstring>> {
            std::vector<std::wstring> names;
            const std::wstring text = Utf8ToWide(ReadWholeFile(standin + L"\\running.txt"));
            size_t from = 0;
            while (from < text.size()) {
                size_t end = text.find(L'\n', from);
                if (end == std::wstring::npos) end = text.size();
                std::wstring name = text.substr(from, end - from);
                while (!name.empty() && std::iswspace(name.back())) name.pop_back();
                if (!name.empty()) names.push_back(name);
                from = end + 1;
            }
            return names;
        };
        system.folderOf = [standin](const std::wstring& name) { return standin + L"\\" + name; };
    }
#endif
    return system;
}

bool IsWslFolder(const std::wstring& folder) {
    if (_wcsnicmp(folder.c_str(), L"\\\\wsl.localhost\\", 16) == 0 ||
        _wcsnicmp(folder.c_str(), L"\\\\wsl$\\", 7) == 0) {
        return true;
    }
#ifdef TIDEWELL_WSL_STANDIN
    static const std::wstring standin = ReadEnvironment(L"TIDEWELL_WSL_STANDIN");
    if (!standin.empty() && folder.size() > standin.size() &&
        _wcsnicmp(folder.c_str(), standin.c_str(), standin.size()) == 0) {
        return true;
    }
#endif
    return false;
}

bool IsSlowFolder(const std::wstring& folder) {
    return folder.starts_with(L"\\\\") || folder.starts_with(L"//") || IsWslFolder(folder);
}
