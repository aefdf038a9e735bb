#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Synthetic logs shaped like Claude Code's, for benchmarks: many project folders and session
// files with assistant replies (with usage), user prompts, tool results of a few KB and summary
// lines; replies repeated across lines and across files; some files ending without a newline.
struct ClaudeCorpusShape {
    int projects = 80;
    int sessionsPerProject = 25;
    uint64_t totalBytes = 520ull << 20;
    int64_t now = 0;  // records spread over the 7 days before this time
};

// Writes the corpus under `root` (removing what was there). Returns the bytes written.
uint64_t WriteClaudeCorpus(const std::filesystem::path& root, const ClaudeCorpusShape& shape);

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
