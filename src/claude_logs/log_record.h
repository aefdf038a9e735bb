#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "claude_logs/model_prices.h"

// Identifies one reply across lines and files: a 128-bit hash of "message id|request id".
// All zero means the line had no message id, and such a record is never de-duplicated. Keeping
// the hash instead of the text saves a heap allocation per record; two different ids agree in
// all 128 bits with a probability far below any hardware fault.
struct DedupKey {
    uint64_t high = 0;
    uint64_t low = 0;

    bool empty() const { return high == 0 && low == 0; }
    friend bool operator==(const DedupKey&, const DedupKey&) = default;
};

// The key of a message id and request id; empty when `messageId` is empty.
DedupKey MakeDedupKey(std::string_view messageId, std::string_view requestId);

// One usage line of Claude Code's logs.
struct ClaudeLogRecord {
    int64_t time = 0;   // Unix seconds of the line's "timestamp", never 0
    double tokens = 0;  // input + output + cache-creation tokens (cache reads not counted)
    double cost = 0;    // US dollars at API rates
    DedupKey dedupKey;
    bool costEstimated = false;  // the price list does not know the model
};

// Parses one log line (without its newline). Returns false for lines without a "usage" key or
// without a usable "timestamp".
bool ParseClaudeLogLine(std::string_view line, ClaudeLogRecord& record);

// The models of the lines priced last and their places in the price list: the lines of one
// reader name a few models (a session's main model beside a smaller one for its side tasks),
// each then looked up once. Replaced in turn when a fifth comes.
struct ModelPriceCache {
    struct Entry {
        std::string model;
        int index = -1;
        bool valid = false;
    };
    Entry entries[4];
    unsigned next = 0;  // the entry replaced next
};

// The same for a line whose first "usage" key is known to be at `usage`.
bool ParseClaudeUsageLine(std::string_view line, size_t usage, ClaudeLogRecord& record,
                          ModelPriceCache* cache = nullptr);

// Everything a usage line tells, for the ledger's finer record. The views point into the line.
struct ClaudeUsageLine {
    int64_t time = 0;
    std::string_view model;
    std::string_view messageId;
    std::string_view requestId;
    RequestTokens tokens;  // cache writes all in `cacheWrite5m` when the line does not split them
    double cacheWrites = 0;  // all cache-creation tokens, as the line gives them
    RequestPrice price;
};
bool ParseClaudeUsage(std::string_view line, size_t usage, ClaudeUsageLine& parsed,
                      ModelPriceCache* cache = nullptr);

// The key that marks a usage line: the one search that every line costs.
inline constexpr std::string_view kUsageKey = "\"usage\"";
