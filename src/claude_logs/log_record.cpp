#include "claude_logs/log_record.h"

#include "core/byte_search.h"
#include "core/iso_time.h"
#include "core/json_fields.h"

namespace {

// No reply reads or writes a billion tokens: a thousand times the largest context window.
constexpr double kMaxTokensPerCount = 1e9;

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

ModelPrices PricesForModel(std::string_view model) {
    if (model.find("opus") != std::string_view::npos) {
        return {15, 75};
    }
    if (model.find("haiku") != std::string_view::npos) {
        return {0.8, 4};
    }
    return {3, 15};
}

bool ParseClaudeLogLine(std::string_view line, ClaudeLogRecord& record) {
    const size_t usage = FindBytes(line, kUsageKey);
    return usage != std::string_view::npos && ParseClaudeUsageLine(line, usage, record);
}

bool ParseClaudeUsageLine(std::string_view line, size_t usage, ClaudeLogRecord& record) {
    // Both keys usually close the line: find their compact forms in one pass, and fall back to
    // the full search (which also tries the spaced form) only for a key that is missing.
    constexpr std::string_view kTimestamp = "\"timestamp\":\"";
    constexpr std::string_view kRequestId = "\"requestId\":\"";
    size_t timestampAt = 0, requestIdAt = 0;
    FindEachFirst(line, kTimestamp, kRequestId, 0, timestampAt, requestIdAt);
    const auto timestamp = timestampAt != std::string_view::npos
                               ? StringValueFrom(line, timestampAt + kTimestamp.size())
                               : FindStringAfterKey(line, "timestamp", 0);
    const int64_t time = timestamp ? ParseIsoTime(*timestamp) : 0;
    if (time == 0) {
        return false;
    }

    std::string_view messageId;
    const size_t message = FindBytes(line, "\"message\"");
    if (message != std::string_view::npos) {
        messageId = FindStringAfterKey(line, "id", message).value_or(std::string_view());
    }
    const std::string_view requestId =
        (requestIdAt != std::string_view::npos ? StringValueFrom(line, requestIdAt + kRequestId.size())
                                               : FindStringAfterKey(line, "requestId", 0))
            .value_or(std::string_view());

    double in = 0, out = 0, cacheWrite = 0, cacheRead = 0;
    FindNumberAfterKey(line, "input_tokens", usage, kNoLimit, in);
    FindNumberAfterKey(line, "output_tokens", usage, kNoLimit, out);
    FindNumberAfterKey(line, "cache_creation_input_tokens", usage, kNoLimit, cacheWrite);
    FindNumberAfterKey(line, "cache_read_input_tokens", usage, kNoLimit, cacheRead);

    for (const double count : {in, out, cacheWrite, cacheRead}) {
        if (!(count >= 0 && count <= kMaxTokensPerCount)) {
            return false;  // garbage, not a reply: it must not become the largest block
        }
    }

    const ModelPrices prices =
        PricesForModel(FindStringAfterKey(line, "model", 0).value_or(std::string_view()));

    record.time = time;
    record.tokens = in + out + cacheWrite;
    record.cost = (in * prices.input + out * prices.output + cacheWrite * prices.input * 1.25 +
                   cacheRead * prices.input * 0.1) /
                  1000000;
    record.dedupKey = MakeDedupKey(messageId, requestId);
    return true;
}
