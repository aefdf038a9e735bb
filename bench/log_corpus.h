#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Synthetic logs shaped like a heavy Claude Code user's: 1,900 session files in 76 project
// folders, 290 MB, lines of 2.8 KB on average, two thirds of them assistant replies (about 230
// usage lines per MB), some streamed twice (the same id) or carried into a resumed session, tool
// results and prompts between them; some files end without a newline. `oldFiles` of every 100
// files (by count, about as much by size) were last written more than 8 days ago.
struct ClaudeCorpusShape {
    int projects = 76;
    int sessionsPerProject = 25;
    uint64_t totalBytes = 290ull << 20;
    int oldFiles = 15;
    int64_t now = 0;  // records spread over the 7 days before this time
};

// Writes the corpus under `root` (removing what was there). Returns the bytes written.
// The old files are those whose index modulo 100 is below `oldFiles`; see IsOldCorpusFile.
uint64_t WriteClaudeCorpus(const std::filesystem::path& root, const ClaudeCorpusShape& shape);

// True for the files of the corpus, in the order of their writing, that are old.
bool IsOldCorpusFile(const ClaudeCorpusShape& shape, int index);

// An assistant line with usage and its newline, as appended to a live session.
std::string ClaudeAssistantLine(uint64_t serial, int64_t time);

// Synthetic Codex session logs: dated folders of rollout files with messages, tool output of a
// few KB and token-count events carrying rate limits (some with a null primary window).
struct CodexCorpusShape {
    int days = 7;
    int sessionsPerDay = 60;
    uint64_t totalBytes = 230ull << 20;
    int64_t now = 0;
};

uint64_t WriteCodexCorpus(const std::filesystem::path& root, const CodexCorpusShape& shape);

// The practical limit for a scan: every byte of every file read once, sequentially, into one
// buffer. Returns the bytes read.
uint64_t PlainRead(const std::vector<std::filesystem::path>& files);

// What a scan with two readers is held against: two threads that only read the same files with
// 1 MiB reads, each taking the next file not yet taken (so that they share the bytes, not the
// file count). Returns the bytes read.
uint64_t TwoThreadRead(const std::vector<std::filesystem::path>& files);
