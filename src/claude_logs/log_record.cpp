#include "claude_logs/log_record.h"

#include <iterator>

#include "claude_logs/model_prices.h"
#include "core/byte_search.h"
#include "core/iso_time.h"
#include "core/json_fields.h"

namespace {

// No reply reads or writes a billion tokens: a thousand times the largest context window.
constexpr double kMaxTokensPerCount = 1e9;

// The keys of a usage line, prepared once: they are searched for on every line.
const BytePattern kTimestampPattern("\"timestamp\":\"");
const BytePattern kRequestIdPattern("\"requestId\":\"");
const BytePattern kMessagePattern("\"message\"");
const BytePattern kIdPattern("\"id\":\"");
const BytePattern kModelPattern("\"model\":\"");
const BytePattern kInputPattern("\"input_tokens\":");
const BytePattern kOutputPattern("\"output_tokens\":");
const BytePattern kCacheWritePattern("\"cache_creation_input_tokens\":");
const BytePattern kCacheWrite5mPattern("\"ephemeral_5m_input_tokens\":");
const BytePattern kCacheWrite1hPattern("\"ephemeral_1h_input_tokens\":");
const BytePattern kCacheWriteSplitPattern("\"ephemeral_");  // the start of the two above
const BytePattern kCacheReadPattern("\"cache_read_input_tokens\":");

// The string value after `key` at or after `start`, empty when there is none: the compact form
// ("key":") with its prepared pattern, and the full search (which also tries "key": ") only
// when that form is missing.
std::string_view StringAfterKey(std::string_view line, const BytePattern& compact,
                                std::string_view key, size_t start) {
    const size_t at = FindBytes(line, compact, start);
    const auto value = at != std::string_view::npos ? StringValueFrom(line, at + compact.size())
                                                    : FindStringAfterKey(line, key, start);
    return value.value_or(std::string_view());
}

uint64_t Mix(uint64_t x) {  // splitmix64's finaliser
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Two independent 64-bit lanes over the bytes: FNV-1a and a multiplicative hash.
struct Hasher {
    uint64_t a = 0xCBF29CE484222325ULL;
    uint64_t b = 0x9E3779B97F4A7C15ULL;
    void Add(std::string_view bytes) {
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            a = (a ^ byte) * 0x100000001B3ULL;
            b = (b + byte + 1) * 0xD6E8FEB86659FD93ULL;
        }
    }
};

int CachedPriceIndex(std::string_view model, ModelPriceCache* cache) {
    if (!cache) return PriceModelIndex(model);
    for (const ModelPriceCache::Entry& entry : cache->entries) {
        if (entry.valid && entry.model == model) return entry.index;
    }
    ModelPriceCache::Entry& entry = cache->entries[cache->next];
    cache->next = (cache->next + 1) % std::size(cache->entries);
    entry.model.assign(model);
    entry.index = PriceModelIndex(model);
    entry.valid = true;
    return entry.index;
}

}  // namespace

DedupKey MakeDedupKey(std::string_view messageId, std::string_view requestId) {
    if (messageId.empty()) {
        return {};
    }
    Hasher hasher;
    hasher.Add(messageId);
    hasher.Add("|");
    hasher.Add(requestId);
    DedupKey key{Mix(hasher.a), Mix(hasher.b ^ (messageId.size() << 32 | requestId.size()))};
    if (key.empty()) {
        key.low = 1;  // all zero is reserved for "no id"
    }
    return key;
}

bool ParseClaudeLogLine(std::string_view line, ClaudeLogRecord& record) {
    const size_t usage = FindBytes(line, kUsageKey);
    return usage != std::string_view::npos && ParseClaudeUsageLine(line, usage, record);
}

bool ParseClaudeUsage(std::string_view line, size_t usage, ClaudeUsageLine& parsed,
                      ModelPriceCache* cache) {
    // Both keys usually close the line: find their compact forms in one pass, and fall back to
    // the full search (which also tries the spaced form) only for a key that is missing.
    size_t timestampAt = 0, requestIdAt = 0;
    FindEachFirst(line, kTimestampPattern, kRequestIdPattern, 0, timestampAt, requestIdAt);
    const auto timestamp = timestampAt != std::string_view::npos
                               ? StringValueFrom(line, timestampAt + kTimestampPattern.size())
                               : FindStringAfterKey(line, "timestamp", 0);
    const int64_t time = timestamp ? ParseIsoTime(*timestamp) : 0;
    if (time == 0) {
        return false;
    }

    std::string_view messageId;
    const size_t message = FindBytes(line, kMessagePattern);
    if (message != std::string_view::npos) {
        messageId = StringAfterKey(line, kIdPattern, "id", message);
    }
    const std::string_view requestId =
        (requestIdAt != std::string_view::npos
             ? StringValueFrom(line, requestIdAt + kRequestIdPattern.size())
             : FindStringAfterKey(line, "requestId", 0))
            .value_or(std::string_view());

    double in = 0, out = 0, cacheWrite = 0, cacheRead = 0;
    FindNumberAfterPattern(line, kInputPattern, usage, kNoLimit, in);
    FindNumberAfterPattern(line, kOutputPattern, usage, kNoLimit, out);
    FindNumberAfterPattern(line, kCacheWritePattern, usage, kNoLimit, cacheWrite);
    FindNumberAfterPattern(line, kCacheReadPattern, usage, kNoLimit, cacheRead);

    for (const double count : {in, out, cacheWrite, cacheRead}) {
        if (!(count >= 0 && count <= kMaxTokensPerCount)) {
            return false;  // garbage, not a reply: it must not become the largest block
        }
    }

    // Cache writes kept an hour cost more than those kept five minutes; newer logs tell them apart.
    RequestTokens tokens{in, out, cacheWrite, 0, cacheRead};
    double write5m = 0, write1h = 0;
    // Both keys start alike: older logs, which have neither, cost one search instead of two
    // to the end of the line, and newer ones search on from the first.
    const size_t split = FindBytes(line, kCacheWriteSplitPattern, usage);
    const bool has5m = split != std::string_view::npos &&
                       FindNumberAfterPattern(line, kCacheWrite5mPattern, split, kNoLimit, write5m);
    const bool has1h = split != std::string_view::npos &&
                       FindNumberAfterPattern(line, kCacheWrite1hPattern, split, kNoLimit, write1h);
    if ((has5m || has1h) && write5m >= 0 && write5m <= kMaxTokensPerCount && write1h >= 0 &&
        write1h <= kMaxTokensPerCount) {
        tokens.cacheWrite5m = write5m;
        tokens.cacheWrite1h = write1h;
    }
    const std::string_view model = StringAfterKey(line, kModelPattern, "model", 0);
    const int index = CachedPriceIndex(model, cache);
    parsed.time = time;
    parsed.model = model;
    parsed.messageId = messageId;
    parsed.requestId = requestId;
    parsed.tokens = tokens;
    parsed.cacheWrites = cacheWrite;
    parsed.price = PriceRequestFor(index, model, time, tokens);
    return true;
}

bool ParseClaudeUsageLine(std::string_view line, size_t usage, ClaudeLogRecord& record,
                          ModelPriceCache* cache) {
    ClaudeUsageLine parsed;
    if (!ParseClaudeUsage(line, usage, parsed, cache)) return false;
    record.time = parsed.time;
    record.tokens = parsed.tokens.input + parsed.tokens.output + parsed.cacheWrites;
    record.cost = parsed.price.dollars;
    record.costEstimated = parsed.price.estimated;
    record.dedupKey = MakeDedupKey(parsed.messageId, parsed.requestId);
    return true;
}
