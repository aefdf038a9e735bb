#pragma once

#include <cstdint>
#include <string>

#include "core/atomic_double.h"

// `px` holds this value until the user first moves the panel; the panel then sits by the tray.
inline constexpr int32_t kPanelNeverMoved = INT32_MIN;

// The user's preferences and the learned largest block, kept in "config.ini", section "q".
struct Settings {
    std::wstring configPath;  // empty when there is no settings folder: nothing is saved
    AtomicDouble maxblock;    // tokens in the largest completed 5-hour block; raised by the scan
    bool alerts = true;
    std::wstring show = L"auto";  // "auto", "claude" or "codex"; other text acts as "auto"
    bool pinned = false;
    bool secclaude = true;
    bool seccodex = true;
    int32_t size = 1;  // 0 Compact, 1 Normal, 2 Large
    int32_t px = kPanelNeverMoved;
    int32_t py = kPanelNeverMoved;
};

// The process-wide settings.
extern Settings gSettings;

// The program's folder in the roaming application data, created with its parents when missing
// (a failure to create it is ignored). Empty when the application-data folder is unknown.
std::wstring DataDirectory();

// The settings stored in the file at `configPath` (defaults for whatever is missing).
Settings ReadSettings(const std::wstring& configPath);

// Writes every key to `settings.configPath`; px and py only once the panel has been moved.
void WriteSettings(const Settings& settings);

// Fills gSettings from "config.ini" in DataDirectory(). Called once per process.
void LoadSettings();

// Writes gSettings back to its file.
void SaveSettings();

// Writes gSettings only when it differs from what this process last read or wrote, so that an
// idle program does not rewrite config.ini at every refresh.
void SaveSettingsIfChanged();
