#pragma once

#include <functional>
#include <string>
#include <string_view>

// The Claude Code configuration folder a status-line run belongs to, so that each login's
// limits go to its own live file: the first item of CLAUDE_CONFIG_DIR (`configDirValue`, as
// SplitConfigDirs reads it) that is a folder; failing that, the folder above "projects" in the
// input's "transcript_path" when it is a folder; else empty (the default folder).
std::wstring StatusLineConfigFolder(const std::wstring& configDirValue, std::string_view input,
                                    const std::function<bool(const std::wstring&)>& isFolder);

// The input's "transcript_path" with its JSON escapes of slashes and backslashes undone; empty
// when absent or when it holds any other escape (not a path this program can trust).
std::wstring TranscriptPathOf(std::string_view input);

// The configuration folder of a transcript: what comes before its last "projects" folder
// (which must have something inside it), without the separator; empty when there is none.
std::wstring ConfigFolderOfTranscript(const std::wstring& transcriptPath);
