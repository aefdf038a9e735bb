#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/wsl_system.h"

// Docker Desktop's own distributions hold no one's logs.
bool IsSkippedWslDistribution(std::wstring_view name);

// Where logs can be in a distribution's file system, reached through `folder` (its root as
// Windows sees it): for /root and every /home/<user>, .claude/projects and
// .config/claude/projects, and .codex/sessions.
struct WslLogFolders {
    std::vector<std::wstring> homes;  // /root and every /home/<user>
    std::vector<std::wstring> claudeRoots;
    std::vector<std::wstring> codexFolders;
};
WslLogFolders WslLogFoldersOf(const std::wstring& folder,
                              const std::function<std::vector<std::wstring>(const std::wstring&)>&
                                  listFolders);

// A distribution as a place logs come from.
struct WslPlace {
    std::wstring name;
    bool running = false;
    WslLogFolders folders;  // empty unless running
};

// wsl.exe is asked again when WSL's processes changed since the last answer, but not more often
// than this, and in any case once the answer is this old. Until a changed set of processes has
// its answer, no distribution counts as running.
inline constexpr int64_t kWslAskSpacing = 60;
inline constexpr int64_t kWslAnswerLife = 180;

// Finds the distributions and which of them run, cycle after cycle, without waking a stopped
// one and without starting a process each cycle.
class WslWatcher {
public:
    explicit WslWatcher(WslSystem system) : system_(std::move(system)) {}

    // The registered distributions (Docker's left out) at `now`, Unix seconds.
    const std::vector<WslPlace>& Places(int64_t now);

    size_t asks() const { return asks_; }  // how often wsl.exe was started

private:
    WslSystem system_;
    std::vector<WslPlace> places_;
    std::vector<std::wstring> running_;  // the last answer
    uint64_t signature_ = 0;             // WSL's processes at the last answer
    int64_t askedAt_ = 0;
    bool asked_ = false;     // since WSL was last seen running
    bool answered_ = false;  // the last ask had an answer
    size_t asks_ = 0;
};
