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
        {"claude-fable-5-1-2026", 10, true},           // not a date: its family's newest
        {"claude-sonnet-5[1m]", 2, false},
        {"claude-haiku-4-5-20251001", 1, false},
        {"claude-sonnet-4-5-20250929", 6, false},      // past the 200k tier
        {"claude-opus-9", 4, true},                    // a future Opus: Opus 5.5 for now
        {"gpt-5", 2, true},                            // no family: Sonnet's newest
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

}  // namespace
