#include "history/codex_turns.h"

#include <algorithm>

#include "claude_logs/model_prices.h"
#include "core/iso_time.h"
#include "core/json_fields.h"
#include "core/numbers.h"
#include "history/json_string.h"

namespace {

// The object that is the value of `key`, from its "{" to just past its "}"; empty when the key
// is missing or its value is not an object (such as null).
std::string_view ObjectAfterKey(std::string_view line, std::string_view key) {
    const size_t at = FindQuotedKey(line, key, ":", 0);
    if (at == std::string_view::npos) {
        return {};
    }
    size_t open = at + key.size() + 3;
    while (open < line.size() && (line[open] == ' ' || line[open] == '\t')) {
        ++open;
    }
    if (open >= line.size() || line[open] != '{') {
        return {};
    }
    const size_t end = JsonContainerEnd(line, open);
    return end == std::string_view::npos ? std::string_view() : line.substr(open, end - open);
}

// A count in `object`: 0 when missing, negative or not a number; huge values saturate.
int64_t Count(std::string_view object, std::string_view key) {
    double value = 0;
    if (!FindNumberAfterKey(object, key, 0, kNoLimit, value) || !(value > 0)) {
        return 0;
    }
    return std::min<int64_t>(TruncateToInt64(value), int64_t{1} << 50);
}

}  // namespace

bool CodexTurnReader::ReadLine(std::string_view line, LedgerRecord& record) {
    const std::optional<std::string_view> type = FindStringAfterKey(line, "type");
    if (!type) {
        return false;
    }
    if (*type == "session_meta" || *type == "turn_context") {
        if (std::optional<std::string> cwd = FindDecodedString(line, "cwd")) {
            project_ = std::move(*cwd);
        }
        if (*type == "turn_context") {
            std::optional<std::string> model = FindDecodedString(line, "model");
            if (model && *model != model_) {
                model_ = std::move(*model);
                modelIndex_ = OpenAiModelIndex(model_);
            }
        }
        return false;
    }
    if (line.find("\"token_count\"") == std::string_view::npos) {
        return false;
    }
    const std::string_view turn = ObjectAfterKey(line, "last_token_usage");
    if (turn.empty()) {
        return false;
    }
    const std::optional<std::string_view> stamp = FindStringAfterKey(line, "timestamp");
    const int64_t time = stamp ? ParseIsoTime(*stamp) : 0;
    if (time == 0) {
        return false;
    }
    const std::string_view running = ObjectAfterKey(line, "total_token_usage");
    const std::string_view usage = running.empty() ? turn : running;
    if (usage == lastUsage_) {
        return false;
    }
    lastUsage_.assign(usage);

    const int64_t input = Count(turn, "input_tokens");
    const int64_t cached = std::min(Count(turn, "cached_input_tokens"), input);
    const int64_t output = Count(turn, "output_tokens");
    const int64_t reasoning = Count(turn, "reasoning_output_tokens");
    const int64_t total = Count(turn, "total_tokens");
    const bool reasoningApart = reasoning > 0 && total == input + output + reasoning;

    record = {};
    record.time = time;
    record.tool = LedgerTool::kCodex;
    record.place = place_;
    record.project = project_;
    record.model = model_;
    record.totals.messages = 1;
    record.totals.input = input - cached;
    record.totals.cacheRead = cached;
    record.totals.output = output + (reasoningApart ? reasoning : 0);
    const RequestTokens tokens{static_cast<double>(record.totals.input),
                               static_cast<double>(record.totals.output), 0, 0,
                               static_cast<double>(record.totals.cacheRead)};
    const RequestPrice price = PriceOpenAiRequestFor(modelIndex_, time, tokens);
    record.totals.dollars = price.dollars;
    record.totals.estimated = price.estimated;
    record.identity = MakeDedupKey(*stamp, usage);
    return true;
}

std::vector<LedgerRecord> ReadCodexTurns(std::string_view text, std::string_view place) {
    CodexTurnReader reader{std::string(place)};
    std::vector<LedgerRecord> records;
    LedgerRecord record;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (reader.ReadLine(line, record)) {
            records.push_back(std::move(record));
        }
        start = end + 1;
    }
    return records;
}
