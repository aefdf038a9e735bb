#pragma once

// `tidewell --record`: one scan of this computer's logs into its ledger, with every older log
// read the first time, for a timer on a computer where the tray program does not run. Silent when
// it worked (exit 0); a line on standard error and exit 1 when no ledger could be written.
int RunHistoryRecord();

// The option and its line in the usage text.
inline constexpr char kRecordOption[] = "--record";
inline constexpr char kRecordUsage[] =
    "  tidewell --record        record this computer's usage into its history file (for a\n"
    "                           timer; the history folder is config.ini's \"history\" key)\n";
