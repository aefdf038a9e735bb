#include "claude_logs/model_prices.h"

#include <algorithm>
#include <cstddef>

namespace {

#include "model_price_table.inc"   // generated from the price list when the build is configured
#include "openai_price_table.inc"  // likewise

// Without a price list (it could not be had at build time) every model is an estimate at the
// rates of its family as they stood in 2025.
constexpr TokenRates kOpus2025{15, 75, 18.75, 30, 1.5};
constexpr TokenRates kSonnet2025{3, 15, 3.75, 6, 0.3};
constexpr TokenRates kHaiku2025{0.8, 4, 1, 1.6, 0.08};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The id as the list matches it: lower case, blanks around it and a "[1m]"-style tail gone,
// written into `buffer` (no heap memory: this runs for every usage line). Ids are short; a
// longer one is cut, which only a model no list knows could have.
constexpr size_t kMaxModelId = 96;
std::string_view Normalized(std::string_view model, char (&buffer)[kMaxModelId]) {
    if (!model.empty() && model.back() == ']') {
        const size_t open = model.rfind('[');
        if (open != std::string_view::npos) model = model.substr(0, open);
    }
    while (!model.empty() && model.front() == ' ') model.remove_prefix(1);
    while (!model.empty() && model.back() == ' ') model.remove_suffix(1);
    const size_t size = std::min(model.size(), kMaxModelId);
    for (size_t i = 0; i < size; ++i) buffer[i] = Lower(model[i]);
    return std::string_view(buffer, size);
}

bool Matches(const PriceMatch& match, std::string_view id) {
    const std::string_view text = match.text;
    switch (match.kind) {
        case PriceMatch::kEquals:
            return id == text;
        case PriceMatch::kStartsWith:
            return id.starts_with(text);
        case PriceMatch::kContains:
            return id.find(text) != std::string_view::npos;
        case PriceMatch::kDated:
            if (id.size() != text.size() + 8 || !id.starts_with(text)) return false;
            for (const char c : id.substr(text.size())) {
                if (c < '0' || c > '9') return false;
            }
            return true;
        case PriceMatch::kIsoDated:
            if (id.size() != text.size() + 10 || !id.starts_with(text))
                return false;
            for (size_t i = 0; i < 10; ++i) {
                const char c = id[text.size() + i];
                if (i == 4 || i == 7 ? c != '-' : !IsDigit(c))
                    return false;
            }
            return true;
    }
    return false;
}

const PricePeriod* PeriodAt(int model, int64_t time) {
    if (kPriceModelCount == 0)
        return nullptr;
    return PricePeriodAt(kPricePeriods, model, time);
}

double Dollars(const TokenRates& rates, const RequestTokens& tokens) {
    return (tokens.input * rates.input + tokens.output * rates.output +
            tokens.cacheWrite5m * rates.cacheWrite5m + tokens.cacheWrite1h * rates.cacheWrite1h +
            tokens.cacheRead * rates.cacheRead) /
           1000000;
}

double DollarsIn(const PricePeriod& period, const RequestTokens& tokens) {
    const double input = tokens.input + tokens.cacheWrite5m + tokens.cacheWrite1h + tokens.cacheRead;
    const bool tier = period.tierStart != 0 && input > static_cast<double>(period.tierStart);
    return Dollars(tier ? period.tier : period.base, tokens);
}

// The family's newest rates: the last model of the list whose id names the family, as it is
// priced now; the 2025 rates without a list.
RequestPrice FamilyEstimate(std::string_view model, int64_t time, const RequestTokens& tokens) {
    char buffer[kMaxModelId];
    const std::string_view id = Normalized(model, buffer);
    std::string_view family = "sonnet";
    for (const std::string_view name : {"opus", "haiku", "fable", "sonnet"}) {
        if (id.find(name) != std::string_view::npos) {
            family = name;
            break;
        }
    }
    for (size_t m = kPriceModelCount; m-- > 0;) {
        if (std::string_view(kPriceModelIds[m]).find(family) == std::string_view::npos) continue;
        if (const PricePeriod* period = PeriodAt(static_cast<int>(m), time)) {
            return {DollarsIn(*period, tokens), true};
        }
    }
    const TokenRates& rates = family == "opus"    ? kOpus2025
                              : family == "haiku" ? kHaiku2025
                                                  : kSonnet2025;
    return {Dollars(rates, tokens), true};
}

// OpenAI's ids as the list matches them: lower case, without the blanks around them (cut as
// Normalized cuts them).
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
std::string_view OpenAiNormalized(std::string_view model, char (&buffer)[kMaxModelId]) {
    while (!model.empty() && IsBlank(model.front()))
        model.remove_prefix(1);
    while (!model.empty() && IsBlank(model.back()))
        model.remove_suffix(1);
    const size_t size = std::min(model.size(), kMaxModelId);
    for (size_t i = 0; i < size; ++i)
        buffer[i] = Lower(model[i]);
    return std::string_view(buffer, size);
}

// Whether `id` has at `at` a "-YYYYMMDD" that the list reads as a date: a real day of 2000 to
// 2099, followed by "-", ":" or the end.
bool CompactDateAt(std::string_view id, size_t at) {
    if (id[at] != '-' || id.size() < at + 9)
        return false;
    const std::string_view digits = id.substr(at + 1, 8);
    if (!std::all_of(digits.begin(), digits.end(), IsDigit))
        return false;
    if (at + 9 < id.size() && id[at + 9] != '-' && id[at + 9] != ':')
        return false;
    const auto number = [&](size_t from, size_t count) {
        int value = 0;
        for (size_t i = from; i < from + count; ++i)
            value = value * 10 + (digits[i] - '0');
        return value;
    };
    const int year = number(0, 4), month = number(4, 2), day = number(6, 2);
    constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 2000 || year > 2099 || month < 1 || month > 12 || day < 1)
        return false;
    return day <= kDays[month - 1] && !(month == 2 && day == 29 && year % 4 != 0);
}

// `id` with each "-YYYYMMDD" date written "-YYYY-MM-DD", the list's second try at an id. Each
// date grows by two characters.
constexpr size_t kMaxRewritten = kMaxModelId + kMaxModelId / 9 * 2;
std::string_view WithIsoDates(std::string_view id, char (&buffer)[kMaxRewritten]) {
    size_t size = 0;
    for (size_t i = 0; i < id.size();) {
        if (!CompactDateAt(id, i)) {
            buffer[size++] = id[i++];
            continue;
        }
        const std::string_view d = id.substr(i + 1, 8);
        for (const char c : {'-', d[0], d[1], d[2], d[3], '-', d[4], d[5], '-', d[6], d[7]}) {
            buffer[size++] = c;
        }
        i += 9;
    }
    return std::string_view(buffer, size);
}

int FirstOpenAiMatch(std::string_view id) {
    for (const PriceMatch& match : kOpenAiMatches) {  // in list order: the first model wins
        if (Matches(match, id))
            return match.model;
    }
    return -1;
}

}  // namespace

const PricePeriod* PricePeriodAt(std::span<const PricePeriod> periods, int model, int64_t time) {
    // By date, not by place in the table: the latest that has begun, else the earliest.
    const PricePeriod* begun = nullptr;
    const PricePeriod* earliest = nullptr;
    for (const PricePeriod& period : periods) {
        if (period.model != model)
            continue;
        if (!earliest || period.from < earliest->from)
            earliest = &period;
        if (period.from <= time && (!begun || period.from > begun->from))
            begun = &period;
    }
    return begun ? begun : earliest;
}

std::string_view PriceListName() { return kPriceListName; }

std::span<const PricePeriod> PricePeriods() {
    return kPriceModelCount == 0 ? std::span<const PricePeriod>() : std::span(kPricePeriods);
}

int PriceModelIndex(std::string_view model) {
    if (kPriceModelCount == 0) return -1;
    char buffer[kMaxModelId];
    const std::string_view id = Normalized(model, buffer);
    for (const PriceMatch& match : kPriceMatches) {  // in list order: the first model wins
        if (Matches(match, id)) return match.model;
    }
    return -1;
}

RequestPrice PriceRequestFor(int modelIndex, std::string_view model, int64_t time,
                             const RequestTokens& tokens) {
    if (modelIndex >= 0) {
        if (const PricePeriod* period = PeriodAt(modelIndex, time)) {
            return {DollarsIn(*period, tokens), false};
        }
    }
    RequestPrice price = FamilyEstimate(model, time, tokens);
    // Nothing costs nothing at any rates (Claude Code's "<synthetic>" replies): not a guess.
    if (price.dollars == 0)
        price.estimated = false;
    return price;
}

RequestPrice PriceRequest(std::string_view model, int64_t time, const RequestTokens& tokens) {
    return PriceRequestFor(PriceModelIndex(model), model, time, tokens);
}

int OpenAiModelIndex(std::string_view model) {
    if (kOpenAiModelCount == 0)
        return -1;
    char buffer[kMaxModelId];
    const std::string_view id = OpenAiNormalized(model, buffer);
    const int found = FirstOpenAiMatch(id);
    if (found >= 0)
        return found;
    char rewritten[kMaxRewritten];
    const std::string_view dated = WithIsoDates(id, rewritten);
    return dated == id ? -1 : FirstOpenAiMatch(dated);
}

RequestPrice PriceOpenAiRequestFor(int modelIndex, int64_t time, const RequestTokens& tokens) {
    if (modelIndex >= 0 && kOpenAiModelCount != 0) {
        if (const PricePeriod* period = PricePeriodAt(kOpenAiPeriods, modelIndex, time)) {
            return {DollarsIn(*period, tokens), false};
        }
    }
    // No price for a model the list does not know; a request of no tokens costs nothing anyway.
    const bool used = tokens.input != 0 || tokens.output != 0 || tokens.cacheWrite5m != 0 ||
                      tokens.cacheWrite1h != 0 || tokens.cacheRead != 0;
    return {0, used};
}

RequestPrice PriceOpenAiRequest(std::string_view model, int64_t time, const RequestTokens& tokens) {
    return PriceOpenAiRequestFor(OpenAiModelIndex(model), time, tokens);
}

std::span<const PricePeriod> OpenAiPricePeriods() {
    return kOpenAiModelCount == 0 ? std::span<const PricePeriod>() : std::span(kOpenAiPeriods);
}
