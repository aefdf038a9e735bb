#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// Prices of Anthropic's models, and of OpenAI's (which Codex uses), at API rates, from the price
// list the build carries (see kPriceListName), for the tokens of one request.

// The tokens of one request, by how they are priced.
struct RequestTokens {
    double input = 0;         // uncached input
    double output = 0;
    double cacheWrite5m = 0;  // cache writes kept 5 minutes (all of them when a log does not say)
    double cacheWrite1h = 0;  // cache writes kept an hour
    double cacheRead = 0;
};

// US dollars per million tokens.
struct TokenRates {
    double input = 0;
    double output = 0;
    double cacheWrite5m = 0;
    double cacheWrite1h = 0;
    double cacheRead = 0;
};

// One model's rates from a date on: a request whose whole input (uncached, cache writes and
// reads) passes `tierStart` costs the `tier` rates instead (long-context pricing).
struct PricePeriod {
    uint16_t model;
    int64_t from;  // Unix seconds; 0: from the start
    TokenRates base;
    uint64_t tierStart;  // 0: no tier
    TokenRates tier;
};

// How a model id is recognised (case-insensitive): exactly, by its start, anywhere, or as the
// text followed by a date and nothing more (eight digits; "dddd-dd-dd" for kIsoDated).
struct PriceMatch {
    enum Kind : uint8_t { kEquals, kStartsWith, kContains, kDated, kIsoDated };
    uint16_t model;
    Kind kind;
    const char* text;
};

// The price of one request.
struct RequestPrice {
    double dollars = 0;
    bool estimated = false;  // the list does not know the model (and it used something):
                             // Claude at its family's newest price, OpenAI at none
};

// The period of `model` in `periods` at `time`, whatever their order: the one that began last
// at or before `time`, else the earliest; nothing when the model has none.
const PricePeriod* PricePeriodAt(std::span<const PricePeriod> periods, int model, int64_t time);

// The periods of the price list the build carries (empty without one).
std::span<const PricePeriod> PricePeriods();

// The list's name and version ("@pydantic/genai-prices 0.1.8"; "none" without a list).
std::string_view PriceListName();

// The price of `tokens` sent to `model` (a log's model id; a "[1m]"-style tail is ignored) at
// `time`. A model the list does not know costs its family's newest rates (Opus, Sonnet, Haiku,
// Fable by name; Sonnet for anything else), marked as an estimate unless that comes to nothing.
RequestPrice PriceRequest(std::string_view model, int64_t time, const RequestTokens& tokens);

// The same with the model's place in the list looked up once: `model` is what PriceModelIndex
// gave (-1: not in the list).
int PriceModelIndex(std::string_view model);
RequestPrice PriceRequestFor(int modelIndex, std::string_view model, int64_t time,
                             const RequestTokens& tokens);

// OpenAI's models, for Codex's turns. Ids are matched as the list matches them: lower case,
// blanks around them gone, and when nothing matches, again with each "-YYYYMMDD" date written
// "-YYYY-MM-DD". -1: a model the list does not know.
int OpenAiModelIndex(std::string_view model);

// The price of one request to the OpenAI model at `modelIndex` (from OpenAiModelIndex) at
// `time`: `tokens.input` the input not read from the cache, `tokens.cacheRead` the cached input,
// `tokens.output` all output, reasoning included (OpenAI bills it as output). The long-context
// tier counts the whole input. A model the list does not know has no price: 0 dollars, marked as
// an estimate unless the request used no tokens at all.
RequestPrice PriceOpenAiRequestFor(int modelIndex, int64_t time, const RequestTokens& tokens);
RequestPrice PriceOpenAiRequest(std::string_view model, int64_t time, const RequestTokens& tokens);

// The periods of the list's OpenAI models (empty without a list).
std::span<const PricePeriod> OpenAiPricePeriods();
