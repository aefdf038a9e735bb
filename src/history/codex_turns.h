#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "history/ledger_rule.h"

// The tokens of each Codex turn, read from one session file for the ledger.
//
// A "token_count" event carries "info":{"total_token_usage":{...},"last_token_usage":{...}}:
// the session's running total and the turn's own figures (input_tokens, cached_input_tokens,
// output_tokens, reasoning_output_tokens, total_tokens). Cached input is part of input_tokens;
// reasoning is part of output_tokens (total_tokens = input_tokens + output_tokens), and is added
// only for an event whose total shows it apart (input + output + reasoning). The model comes
// from the latest "turn_context" line, the working folder from "turn_context" or
// "session_meta". Codex repeats its last "token_count" at times (when only the limits moved):
// an event whose running total equals the previous event's (or, without a running total, whose
// turn figures do) is that repeat and is not counted again. A turn's identity is its time with
// its running total, so a copy of the file elsewhere counts once.
//
// Each turn is priced from the OpenAI models of the price list the build carries, at the turn's
// time: its uncached input, cached input and output (reasoning billed as output). A model the
// list does not know has no price: the turn costs 0 dollars and is marked as an estimate.

// Reads the lines of one session file in order.
class CodexTurnReader {
public:
    explicit CodexTurnReader(std::string place) : place_(std::move(place)) {}

    // One line without its newline: true, with `record` set, for a turn's token count.
    bool ReadLine(std::string_view line, LedgerRecord& record);

private:
    std::string place_;
    std::string project_;
    std::string model_;
    int modelIndex_ = -1;    // model_'s place in the price list; -1: not in it
    std::string lastUsage_;  // the previous counted event's running total (or turn figures)
};

// Every turn of a whole session file's text.
std::vector<LedgerRecord> ReadCodexTurns(std::string_view text, std::string_view place);
