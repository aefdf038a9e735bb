#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The texts the panel and the balloons show about the usage history.

// API-equivalent dollars as "$4.10": cents as the report and the CSV round them (halves away
// from zero, after whole millionths), no digit grouping. Below zero and not-a-number show as
// "$0.00": the ledger's sums never go below zero, so such a value is no figure to show.
std::wstring FormatHistoryDollars(double dollars);

// The panel's line under the Claude section: "Today $4.10 · 7 days $31.20".
std::wstring FormatHistoryTotals(double todayDollars, double sevenDayDollars);

// How far the first read of every log got: "Reading history: 1.2 of 3.4 GB" (GB = 10^9 bytes,
// one decimal). What was read is cut, never rounded up, so that the line never reads as done
// before it is; the total is rounded to the nearest tenth. Totals under 0.05 GB, which would
// show as "0.0", are given in whole MB instead ("12 of 48 MB"). No total yet: "Reading history…".
std::wstring FormatHistoryProgress(uint64_t bytesRead, uint64_t bytesTotal);

// The folder the settings page names: the chosen one, or the data folder when none is chosen.
std::wstring ShownHistoryFolder(const std::wstring& chosen, const std::wstring& dataFolder);

// What a folder picked in the dialog stores as the setting: nothing when it is the data folder
// itself (the default, so that "Use the data folder" is not offered for it), else the folder.
std::wstring HistoryFolderSetting(const std::wstring& picked, const std::wstring& dataFolder);

// A path that fits in `width` as `measure` measures it: whole when it fits; else its start (the
// drive or share, "C:\") and as many of its last folders as fit, joined by "…"
// ("C:\…\OneDrive\Tidewell"); else the end of its last folder after "…"; else "…" alone. A pair
// of UTF-16 surrogates is never split.
std::wstring FitPathToWidth(std::wstring_view path, int32_t width,
                            const std::function<int32_t(std::wstring_view)>& measure);
