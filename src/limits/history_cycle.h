#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_recorder.h"
#include "sources/place_scan.h"

// The recorder's inputs from what the scanners hold after a cycle: every place (the desktop
// app's agent sessions among them), whether each was read in full, and the files they found
// with the sizes they saw.
std::vector<HistoryPlace> HistoryPlacesAfterScan(LogPlaceFinder& finder,
                                                 const ClaudeLogScanner& claude,
                                                 const CodexScanner& codex, int64_t now);
std::vector<HistoryFile> HistoryFilesAfterScan(const ClaudeLogScanner& claude,
                                               const CodexScanner& codex);

// Where this computer's ledger is for a history folder setting (empty: the data folder).
LedgerLocation LedgerLocationNow(const std::wstring& historyFolder);
