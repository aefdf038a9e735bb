#include "history/claude_ledger_line.h"

#include "core/json_fields.h"
#include "history/json_string.h"

namespace {

const BytePattern kCwdPattern("\"cwd\":\"");

int64_t Count(double tokens) { return static_cast<int64_t>(tokens); }

}  // namespace

bool ClaudeLedgerReader::ReadLine(std::string_view line, size_t usage, LedgerRecord& record) {
    ClaudeUsageLine parsed;
    if (!ParseClaudeUsage(line, usage, parsed, &prices_)) return false;

    // The session's folder comes before the message on every line; the lines of one file
    // mostly name the same one, which is then decoded once.
    const size_t cwdAt = FindBytes(line, kCwdPattern);
    const std::optional<std::string_view> raw =
        cwdAt != std::string_view::npos ? StringValueFrom(line, cwdAt + kCwdPattern.size())
                                        : FindStringAfterKey(line, "cwd");
    if (raw && (!rawCwd_ || *raw != *rawCwd_)) {
        // A raw value ends at the first quote, which an escaped quote also is: decode the real
        // string, and remember the raw text only when it was the whole of it.
        std::optional<std::string> decoded =
            DecodeJsonString(line, static_cast<size_t>(raw->data() - line.data()));
        cwd_ = decoded ? std::move(*decoded) : std::string();
        rawCwd_ = std::string(*raw);
        if (!raw->empty() && raw->back() == '\\') rawCwd_.reset();  // cut at an escaped quote
    }

    record.time = parsed.time;
    record.tool = LedgerTool::kClaude;
    record.place = place_;
    record.project = cwd_;
    record.model.assign(parsed.model);
    record.totals = {};
    record.totals.messages = 1;
    record.totals.input = Count(parsed.tokens.input);
    record.totals.output = Count(parsed.tokens.output);
    record.totals.cacheWrite5m = Count(parsed.tokens.cacheWrite5m);
    record.totals.cacheWrite1h = Count(parsed.tokens.cacheWrite1h);
    record.totals.cacheRead = Count(parsed.tokens.cacheRead);
    record.totals.dollars = parsed.price.dollars;
    record.totals.estimated = parsed.price.estimated;
    record.identity = MakeDedupKey(parsed.messageId, parsed.requestId);
    return true;
}
