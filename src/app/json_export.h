#pragma once

#include <string>

#include "claude_logs/usage_summary.h"
#include "codex/codex_scanner.h"

// The export's one line of JSON, without a line break.
std::string FormatJsonExport(const ClaudeLogSummary& claude, const CodexLimits& codex);

// Loads the settings, scans both logs once and writes the line to `outputPath` (created or
// truncated; relative to the current folder). Returns the exit code: 0, or 1 when the file
// could not be created or fully written.
int RunJsonExport(const std::wstring& outputPath);
