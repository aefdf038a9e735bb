// The program's prices against the price list package's own calculation for the same usages
// (made by the package through node when the build was configured).
#include "claude_logs/model_prices.h"

#include <gtest/gtest.h>

namespace {

struct PriceExpectation {
    const char* model;
    int64_t time;
    RequestTokens tokens;
    double dollars;
};

#include "price_expectations.inc"

TEST(ModelPrices, AsThePackageCalculatesThem) {
    if (PriceListName() == "none") GTEST_SKIP() << "built without the price list";
    int checked = 0;
    for (const PriceExpectation& e : kPackagePrices) {
        const RequestPrice price = PriceRequest(e.model, e.time, e.tokens);
        EXPECT_NEAR(price.dollars, e.dollars, 1e-9 * (1 + e.dollars)) << e.model << " " << e.time;
        EXPECT_FALSE(price.estimated) << e.model;
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

TEST(ModelPrices, TodaysModelsTheirTiersAndTails) {
    if (PriceListName() == "none") GTEST_SKIP() << "built without the price list";
    const RequestTokens million{1e6, 0, 0, 0, 0};
    struct Case {
        const char* model;
        double dollars;  // for a million uncached input tokens (past any 200k tier)
        bool estimated;
    };
    const Case cases[] = {
        {"claude-opus-5", 5, false},
        {"claude-opus-5-5-20261001", 4, false},
        {"claude-fable-5-1", 10, false},
        {"claude-fable-5-1-2026", 10, true},  // not a date: its family's newest
        {"claude-sonnet-5[1m]", 2, false},
        {"claude-haiku-4-5-20251001", 1, false},
        {"claude-sonnet-4-5-20250929", 6, false},  // past the 200k tier
        {"claude-opus-5-20260801", 5, false},      // eight digits: a date
        {"claude-opus-5-202608011", 4, true},      // nine: not a date, an unknown Opus
        {"claude-opus-5-2026080", 4, true},        // seven
        {"claude-opus-9", 4, true},                // a future Opus: Opus 5.5 for now
        {"gpt-5", 2, true},                        // no family: Sonnet's newest
    };
    for (const Case& c : cases) {
        const RequestPrice price = PriceRequest(c.model, 1790856000, million);
        EXPECT_DOUBLE_EQ(price.dollars, c.dollars) << c.model;
        EXPECT_EQ(price.estimated, c.estimated) << c.model;
    }
    // The long-context tier starts past 200,000 input tokens, counted with the cache's.
    EXPECT_DOUBLE_EQ(PriceRequest("claude-sonnet-4-5", 0, {100000, 0, 50000, 0, 50000}).dollars,
                     (100000 * 3 + 50000 * 3.75 + 50000 * 0.3) / 1e6);
    EXPECT_DOUBLE_EQ(PriceRequest("claude-sonnet-4-5", 0, {100001, 0, 50000, 0, 50000}).dollars,
                     (100001 * 6 + 50000 * 7.5 + 50000 * 0.6) / 1e6);
}

TEST(ModelPrices, AModelThatCostNothingIsNoEstimate) {
    // Claude Code's "<synthetic>" replies: no model any list knows, and no tokens.
    EXPECT_FALSE(PriceRequest("<synthetic>", 1790856000, {}).estimated);
    EXPECT_EQ(PriceRequest("<synthetic>", 1790856000, {}).dollars, 0);
    EXPECT_TRUE(PriceRequest("<synthetic>", 1790856000, {0, 1, 0, 0, 0}).estimated);
}

TEST(PricePeriodAt, ByDateWhateverTheTableOrder) {
    const PricePeriod periods[] = {
        {0, 2000, {3}, 0, {}}, {0, 0, {1}, 0, {}},    {0, 1000, {2}, 0, {}},
        {1, 1000, {7}, 0, {}}, {1, 3000, {8}, 0, {}},
    };
    struct Case {
        int model;
        int64_t time;
        double rate;  // of the period chosen; 0: none
    };
    const Case cases[] = {
        {0, -1, 1},   {0, 0, 1},    {0, 999, 1},  {0, 1000, 2},
        {0, 1999, 2}, {0, 2000, 3}, {0, 9000, 3},  // the latest begun, though the table lists it
                                                   // first
        {1, 0, 7},                                 // before every period: the earliest
        {1, 2999, 7}, {1, 3000, 8}, {2, 1000, 0},
    };
    for (const Case& c : cases) {
        const PricePeriod* period = PricePeriodAt(periods, c.model, c.time);
        EXPECT_EQ(period ? period->base.input : 0, c.rate) << c.model << " at " << c.time;
    }
}

TEST(ModelPrices, ANewPeriodBeginsAtItsFirstSecond) {
    if (PriceListName() == "none")
        GTEST_SKIP() << "built without the price list";
    // Past a 200k tier, which is where this list's prices change.
    const double input = 300000;
    const auto dollars = [&](const PricePeriod& period) {
        const bool tier = period.tierStart != 0 && input > static_cast<double>(period.tierStart);
        return input * (tier ? period.tier.input : period.base.input) / 1e6;
    };
    int changes = 0;
    for (const PricePeriod& period : PricePeriods()) {
        const PricePeriod* before = nullptr;  // the same model's period just before this one
        for (const PricePeriod& other : PricePeriods()) {
            if (other.model == period.model && other.from < period.from &&
                (!before || other.from > before->from)) {
                before = &other;
            }
        }
        if (!before)
            continue;
        EXPECT_LT(before->from, period.from);
        EXPECT_DOUBLE_EQ(PriceRequestFor(period.model, "", period.from, {input}).dollars,
                         dollars(period));
        EXPECT_DOUBLE_EQ(PriceRequestFor(period.model, "", period.from - 1, {input}).dollars,
                         dollars(*before));
        if (dollars(period) != dollars(*before))
            ++changes;
    }
    EXPECT_GE(changes, 1);  // the list has a price change to try this on
}

TEST(ModelPrices, EachModelsPeriodsByDateInTheTable) {
    for (const auto periods : {PricePeriods(), OpenAiPricePeriods()}) {
        for (size_t i = 1; i < periods.size(); ++i) {
            if (periods[i].model == periods[i - 1].model) {
                EXPECT_LT(periods[i - 1].from, periods[i].from) << "model " << periods[i].model;
            }
        }
    }
}

TEST(OpenAiPrices, AsThePackageCalculatesThem) {
    if (PriceListName() == "none")
        GTEST_SKIP() << "built without the price list";
    int checked = 0;
    for (const PriceExpectation& e : kOpenAiPackagePrices) {
        const RequestPrice price = PriceOpenAiRequest(e.model, e.time, e.tokens);
        EXPECT_NEAR(price.dollars, e.dollars, 1e-9 * (1 + e.dollars)) << e.model << " " << e.time;
        EXPECT_FALSE(price.estimated) << e.model;
        ++checked;
    }
    EXPECT_GE(checked, 30);
}

TEST(OpenAiPrices, ModelNamesAsTheListMatchesThem) {
    if (PriceListName() == "none")
        GTEST_SKIP() << "built without the price list";
    struct Case {
        const char* model;
        double rate;  // dollars a million uncached input tokens; 0: a model the list lacks
    };
    const Case cases[] = {
        {"gpt-5-codex", 1.25},
        {" GPT-5-Codex\t", 1.25},
        {"gpt-5.1-codex-max", 1.25},
        {"gpt-5.1-codex-mini", 0.25},
        {"o4-mini", 1.1},
        {"o4-mini-20250416", 1.1},         // the date written "2025-04-16", then exactly
        {"gpt-4o-20240806", 2.5},          // likewise
        {"gpt-5-nano-2025-08-07", 0.05},   // by its start
        {"gpt-5.6-luna-2026-08-01", 0.2},  // text and a date
        {"gpt-5.6-luna-20260801", 0.2},    // its date written with dashes first
        {"gpt-5.6-luna-2026-02-30", 0.2},  // any digits in the dashed form
        {"gpt-5.6-luna-20260230", 0},      // no such day: not read as a date
        {"gpt-5-6-sol-20280229", 4},       // a leap day
        {"gpt-5-6-sol-20270229", 0},       // not one
        {"gpt-5.6-luna-2026-08-1", 0},
        {"gpt-5.6-luna-202608011", 0},  // nine digits
        {"gpt-5-codex-2026", 0},
        {"gpt-9-hyper", 0},
        {"claude-sonnet-4-5", 0},  // not in OpenAI's list
        {"", 0},
    };
    const RequestTokens tokens{100000, 0, 0, 0, 0};  // short of any long-context tier
    for (const Case& c : cases) {
        const RequestPrice price = PriceOpenAiRequest(c.model, 1790856000, tokens);
        EXPECT_DOUBLE_EQ(price.dollars, c.rate / 10) << c.model;
        EXPECT_EQ(price.estimated, c.rate == 0) << c.model;
        EXPECT_EQ(OpenAiModelIndex(c.model) >= 0, c.rate != 0) << c.model;
    }
}

TEST(OpenAiPrices, ByHand) {
    if (PriceListName() == "none")
        GTEST_SKIP() << "built without the price list";
    // gpt-5-codex: $1.25 a million input, $0.125 cached, $10 output.
    EXPECT_DOUBLE_EQ(PriceOpenAiRequest("gpt-5-codex", 1790856000, {600, 50, 0, 0, 400}).dollars,
                     (600 * 1.25 + 400 * 0.125 + 50 * 10) / 1e6);
    // gpt-5-pro has no cached rate: cached input costs what input costs.
    EXPECT_DOUBLE_EQ(PriceOpenAiRequest("gpt-5-pro", 1790856000, {0, 0, 0, 0, 1e6}).dollars, 15);
    // gpt-5.4's long-context tier starts past 271,999 input tokens, the cached ones counted.
    EXPECT_DOUBLE_EQ(PriceOpenAiRequest("gpt-5.4", 1790856000, {171999, 0, 0, 0, 100000}).dollars,
                     (171999 * 2.5 + 100000 * 0.25) / 1e6);
    EXPECT_DOUBLE_EQ(PriceOpenAiRequest("gpt-5.4", 1790856000, {172000, 0, 0, 0, 100000}).dollars,
                     (172000 * 5 + 100000 * 0.5) / 1e6);
}

TEST(OpenAiPrices, AnUnknownModelHasNoPrice) {
    const RequestPrice used = PriceOpenAiRequest("gpt-9-hyper", 1790856000, {10, 1, 0, 0, 5});
    EXPECT_EQ(used.dollars, 0);
    EXPECT_TRUE(used.estimated);
    EXPECT_TRUE(PriceOpenAiRequestFor(-1, 1790856000, {0, 0, 0, 0, 1}).estimated);
    // A turn of no tokens costs nothing at any price: no estimate.
    const RequestPrice idle = PriceOpenAiRequest("gpt-9-hyper", 1790856000, {});
    EXPECT_EQ(idle.dollars, 0);
    EXPECT_FALSE(idle.estimated);
}

}  // namespace
