// Writers and readers of one limit cache in separate processes, as the status-line commands of
// several Claude Code windows and the desktop program meet on live.ini: six writer processes
// rewrite the file through the program's own cache writer while this process reads it through
// the program's reader, and further writers are killed at random moments in the middle of their
// writes. No read may come back empty, cut short, mixed from two writers, or in the ANSI code
// page, and the file must never be 0 bytes. Prints what it counted and "N failed".
//
// tidewell_ini_stress [seconds]        the test (default 20 seconds)
// tidewell_ini_stress write PATH ID    a writer, until it is ended

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "limits/limit_cache.h"
#include "platform/whole_file.h"

namespace {

constexpr int kWriters = 6;
constexpr int kRowsPerWrite = 3;
constexpr int kKilledWriterId = 9;

// Every row a writer writes names the writer, so a read that mixes two writers shows it.
std::vector<LimitRow> RowsOf(int id) {
    std::vector<LimitRow> rows;
    for (int k = 0; k < kRowsPerWrite; ++k) {
        rows.push_back({L"w" + std::to_wstring(id) + L" \u00b7 \u9031 row" + std::to_wstring(k),
                        static_cast<double>(id), 1757600000 + k});
    }
    return rows;
}

int RunWriter(const std::wstring& path, int id) {
    const std::vector<LimitRow> rows = RowsOf(id);
    const std::wstring plan = L"w" + std::to_wstring(id);
    unsigned failed = 0;
    for (int64_t at = 1;; ++at) {
        if (!WriteLimitCacheAt(path, rows, plan, at))
            ++failed;
        if (at % 50 == 0 && failed > at / 2)
            return 2;  // nothing works: stop, and say so
    }
}

struct Counts {
    long reads = 0, unreadable = 0, zeroBytes = 0, noMark = 0, empty = 0, mixed = 0;
    long killed = 0, started = 0;
};

PROCESS_INFORMATION StartWriter(const std::wstring& exe, const std::wstring& path, int id) {
    std::wstring command = L"\"" + exe + L"\" write \"" + path + L"\" " + std::to_wstring(id);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        process.hProcess = nullptr;
    }
    return process;
}

// One read as the desktop program makes it, and the file's bytes as they are on disk.
void CheckOneRead(const std::wstring& path, Counts& counts) {
    ++counts.reads;
    const auto bytes = ReadFileIfReadable(path);
    if (!bytes) {
        ++counts.unreadable;
    } else if (bytes->empty()) {
        ++counts.zeroBytes;
    } else if (bytes->size() < 2 || (*bytes)[0] != '\xFF' || (*bytes)[1] != '\xFE') {
        ++counts.noMark;
    }
    std::vector<LimitRow> rows;
    std::wstring plan;
    const int64_t at = ReadLimitCache(path, rows, &plan);
    if (at == 0 || rows.empty()) {
        ++counts.empty;
        return;
    }
    bool same = rows.size() == kRowsPerWrite && plan.size() >= 2 && plan[0] == L'w';
    for (size_t k = 0; same && k < rows.size(); ++k) {
        same = rows[k].label == plan + L" \u00b7 \u9031 row" + std::to_wstring(k) &&
               rows[k].percent == _wtoi(plan.c_str() + 1);
    }
    if (!same)
        ++counts.mixed;
}

int RunTest(int seconds) {
    wchar_t exeBuffer[MAX_PATH];
    GetModuleFileNameW(nullptr, exeBuffer, MAX_PATH);
    const std::wstring exe = exeBuffer;
    wchar_t tempBuffer[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tempBuffer);
    const std::filesystem::path folder =
        std::filesystem::path(tempBuffer) /
        (L"tidewell-ini-stress-" + std::to_wstring(GetCurrentProcessId()));
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::wstring path = (folder / L"live.ini").wstring();
    WriteLimitCacheAt(path, RowsOf(0), L"w0", 1);

    std::vector<PROCESS_INFORMATION> writers;
    for (int id = 1; id <= kWriters; ++id)
        writers.push_back(StartWriter(exe, path, id));

    Counts counts;
    std::atomic<bool> over{false};
    // Writers ended at random moments: after start-up, most are in the middle of a write.
    std::thread killer([&] {
        std::mt19937 random(12345);
        while (!over) {
            PROCESS_INFORMATION victim = StartWriter(exe, path, kKilledWriterId);
            if (!victim.hProcess)
                continue;
            ++counts.started;
            Sleep(std::uniform_int_distribution<DWORD>(50, 700)(random));
            if (TerminateProcess(victim.hProcess, 9))
                ++counts.killed;
            WaitForSingleObject(victim.hProcess, INFINITE);
            CloseHandle(victim.hProcess);
            CloseHandle(victim.hThread);
        }
    });

    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (GetTickCount64() < end)
        CheckOneRead(path, counts);
    over = true;
    killer.join();

    long writersFailed = 0;
    for (PROCESS_INFORMATION& writer : writers) {
        if (!writer.hProcess) {
            ++writersFailed;
            continue;
        }
        DWORD code = 0;
        GetExitCodeProcess(writer.hProcess, &code);
        if (code != STILL_ACTIVE)
            ++writersFailed;  // it stopped: its writes did not work
        TerminateProcess(writer.hProcess, 0);
        WaitForSingleObject(writer.hProcess, INFINITE);
        CloseHandle(writer.hProcess);
        CloseHandle(writer.hThread);
    }
    // The last state after all the killing, read once more.
    CheckOneRead(path, counts);

    long leftovers = 0;  // temporary files of killed writers, which never got to remove them
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename() != L"live.ini")
            ++leftovers;
    }
    std::filesystem::remove_all(folder, error);

    const long failures = counts.unreadable + counts.zeroBytes + counts.noMark + counts.empty +
                          counts.mixed + writersFailed + (counts.killed == 0 ? 1 : 0);
    std::printf("%ld reads; %ld writers killed of %ld started; %ld temporary files left by them\n",
                counts.reads, counts.killed, counts.started, leftovers);
    std::printf(
        "unreadable %ld, 0 bytes %ld, without the UTF-16 mark %ld, empty %ld, mixed %ld, "
        "writers that stopped %ld\n",
        counts.unreadable, counts.zeroBytes, counts.noMark, counts.empty, counts.mixed,
        writersFailed);
    std::printf("%ld failed\n", failures);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 4 && std::wstring(argv[1]) == L"write") {
        return RunWriter(argv[2], _wtoi(argv[3]));
    }
    return RunTest(argc >= 2 ? _wtoi(argv[1]) : 20);
}
