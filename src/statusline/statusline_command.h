#pragma once

// The --statusline command that Claude Code runs after each reply. Returns the exit code.
int RunStatusLine();
