#!/usr/bin/env node
// Writes the program's tables of Anthropic and OpenAI model prices from the @pydantic/genai-prices
// package (C++ includes), and the package's own prices for a list of usages, which a test
// compares with the program's.
// Usage: make_price_table.js PACKAGE_INDEX_CJS VERSION TABLE_OUT EXPECTATIONS_OUT OPENAI_TABLE_OUT
"use strict";
const fs = require("fs");

const [indexPath, version, tableOut, expectationsOut, openAiTableOut] = process.argv.slice(2);
const prices = require(indexPath);
function providerOf(id) {
  const provider = prices.findProvider({ providerId: id });
  if (!provider) throw new Error("the package has no " + id + " provider");
  return provider;
}

const RATES = ["input_mtok", "output_mtok", "cache_write_mtok", "cache_write_1h_mtok", "cache_read_mtok"];
const quote = (text) => JSON.stringify(text);
const number = (value) => (Number.isFinite(value) ? String(value) : "0");

// The text that a part of a regular expression stands for when it is plain text (an escaped
// dot is a dot); null when it is more than text.
function literal(pattern) {
  return /^(?:[^\\^$.*+?()[\]{}|]|\\[.-])*$/.test(pattern) ? pattern.replace(/\\(.)/g, "$1") : null;
}

function matches(logic, out) {
  if ("or" in logic) return logic.or.forEach((m) => matches(m, out));
  if ("equals" in logic) return out.push(["kEquals", logic.equals]);
  if ("starts_with" in logic) return out.push(["kStartsWith", logic.starts_with]);
  if ("contains" in logic) return out.push(["kContains", logic.contains]);
  const dated = "regex" in logic && /^\^(.*)\\d\{8\}\$$/.exec(logic.regex);
  if (dated && literal(dated[1]) !== null) return out.push(["kDated", literal(dated[1])]);
  const isoDated = "regex" in logic && /^\^(.*)\\d\{4\}-\\d\{2\}-\\d\{2\}\$$/.exec(logic.regex);
  if (isoDated && literal(isoDated[1]) !== null) return out.push(["kIsoDated", literal(isoDated[1])]);
  throw new Error("a match this table cannot hold: " + JSON.stringify(logic));
}

// A rate the list leaves out is charged as the package charges it: cache writes and reads as
// input, one-hour writes as writes.
const FALLBACK = { cache_write_mtok: "input_mtok", cache_read_mtok: "input_mtok", cache_write_1h_mtok: "cache_write_mtok" };
function rate(set, key) {
  return set[key] !== undefined ? set[key] : FALLBACK[key] ? rate(set, FALLBACK[key]) : 0;
}

// One price period: its rates, and the tier that a request whose input passes `start` costs.
function period(from, set) {
  let tierStart = 0;
  const base = [], tier = [];
  for (const key of RATES) {
    const value = rate(set, key);
    if (typeof value === "number") {
      base.push(number(value));
      tier.push(number(value));
      continue;
    }
    if (value.tiers.length !== 1) throw new Error("one tier expected: " + JSON.stringify(value));
    if (tierStart && tierStart !== value.tiers[0].start) throw new Error("tiers start apart");
    tierStart = value.tiers[0].start;
    base.push(number(value.base));
    tier.push(number(value.tiers[0].price));
  }
  return `${from}, {${base.join(", ")}}, ${tierStart}, {${tier.join(", ")}}`;
}

// One provider's models: their ids, how each is matched, and its price periods, as C++ rows.
function table(provider) {
  const models = [], matchRows = [], periodRows = [];
  provider.models.forEach((model, index) => {
    models.push(quote(model.id));
    const found = [];
    matches(model.match, found);
    for (const [kind, text] of found) matchRows.push(`{${index}, PriceMatch::${kind}, ${quote(text.toLowerCase())}}`);
    const sets = Array.isArray(model.prices) ? model.prices : [{ prices: model.prices }];
    const dated = sets.map((set) => {
      const constraint = set.constraint;
      if (constraint && constraint.type !== "start_date") throw new Error("unknown constraint");
      const from = constraint ? Date.parse(constraint.start_date + "T00:00:00Z") / 1000 : 0;
      if (!Number.isFinite(from)) throw new Error("a start date this table cannot hold: " + JSON.stringify(constraint));
      return { from, prices: set.prices };
    });
    // Each model's periods by date, whatever the list's order.
    dated.sort((a, b) => a.from - b.from);
    for (const { from, prices: rates } of dated) periodRows.push(`{${index}, ${period(from, rates)}}`);
  });
  return { models, matchRows, periodRows };
}

const anthropic = table(providerOf("anthropic"));
fs.writeFileSync(tableOut, [
  `// Anthropic's model prices from @pydantic/genai-prices ${version}, written by`,
  "// scripts/make_price_table.js when the build is configured. Do not edit.",
  `inline constexpr char kPriceListName[] = "@pydantic/genai-prices ${version}";`,
  `inline constexpr size_t kPriceModelCount = ${anthropic.models.length};`,
  `inline constexpr const char* kPriceModelIds[] = {${anthropic.models.join(", ")}};`,
  `inline constexpr PriceMatch kPriceMatches[] = {\n    ${anthropic.matchRows.join(",\n    ")}};`,
  `inline constexpr PricePeriod kPricePeriods[] = {\n    ${anthropic.periodRows.join(",\n    ")}};`,
  "",
].join("\n"));

// OpenAI's models price Codex's turns.
const openAi = table(providerOf("openai"));
fs.writeFileSync(openAiTableOut, [
  `// OpenAI's model prices from @pydantic/genai-prices ${version}, written by`,
  "// scripts/make_price_table.js when the build is configured. Do not edit.",
  `inline constexpr size_t kOpenAiModelCount = ${openAi.models.length};`,
  `inline constexpr PriceMatch kOpenAiMatches[] = {\n    ${openAi.matchRows.join(",\n    ")}};`,
  `inline constexpr PricePeriod kOpenAiPeriods[] = {\n    ${openAi.periodRows.join(",\n    ")}};`,
  "",
].join("\n"));

// The package's price of some usages: today's models and older ones, with date suffixes, at
// dates on both sides of a price change, and past a long-context tier.
const cases = [
  ["claude-opus-5", "2026-10-01"], ["claude-opus-5-20260801", "2026-10-01"],
  ["claude-opus-5-5", "2026-10-01"], ["claude-fable-5-1", "2026-10-01"],
  ["claude-fable-5-1-20260901", "2026-10-01"], ["claude-sonnet-5", "2026-10-01"],
  ["claude-sonnet-4-5-20250929", "2026-01-01"], ["claude-sonnet-4-20250514", "2025-09-01"],
  ["claude-haiku-4-5-20251001", "2026-01-01"], ["claude-3-5-haiku-20241022", "2025-01-01"],
  ["claude-opus-4-1-20250805", "2025-09-01"], ["claude-opus-4-6", "2026-03-12"],
  ["claude-opus-4-6", "2026-03-13"], ["claude-sonnet-4-6", "2026-01-01"], ["claude-2.1", "2024-01-01"],
];
const usages = [
  { in: 1000, out: 100, cw5: 300, cw1h: 200, cr: 500 },
  { in: 150000, out: 2000, cw5: 40000, cw1h: 0, cr: 20000 },  // 210,000 input: past 200k
];
const rows = [];
for (const [model, date] of cases) {
  for (const u of usages) {
    const usage = {
      input_tokens: u.in + u.cw5 + u.cw1h + u.cr, output_tokens: u.out,
      cache_write_tokens: u.cw5 + u.cw1h, cache_write_1h_tokens: u.cw1h, cache_read_tokens: u.cr,
    };
    const result = prices.calcPrice(usage, model, { providerId: "anthropic", timestamp: new Date(date + "T12:00:00Z") });
    if (!result) throw new Error("the package does not price " + model);
    const time = Date.parse(date + "T12:00:00Z") / 1000;
    rows.push(`{${quote(model)}, ${time}, {${u.in}, ${u.out}, ${u.cw5}, ${u.cw1h}, ${u.cr}}, ${result.total_price}}`);
  }
}

// The same for OpenAI's models as Codex names them, written the way they come: cached input is
// part of the input, reasoning part of the output. Ids in capitals, with dates in both forms,
// at dates on both sides of a price change, and 272,000 input tokens: past a tier that starts
// after 271,999 and not past one that starts after 272,000.
const openAiCases = [
  ["gpt-5-codex", "2025-10-01"], ["GPT-5-Codex", "2025-10-01"], ["gpt-5.1-codex-max", "2025-12-01"],
  ["gpt-5.1-codex-mini", "2025-12-01"], ["gpt-5.2-codex", "2026-01-15"], ["gpt-5.3-codex", "2026-03-01"],
  ["gpt-5.4", "2026-04-01"], ["gpt-5.5", "2026-05-01"], ["gpt-5-pro", "2025-11-01"],
  ["o4-mini", "2025-06-01"], ["o4-mini-2025-04-16", "2025-06-01"], ["o3", "2025-06-09"],
  ["o3", "2025-06-10"], ["codex-mini-latest", "2025-06-01"], ["gpt-5-nano-2025-08-07", "2025-09-01"],
  ["gpt-5.6-luna-2026-07-01", "2026-07-29"], ["gpt-5.6-luna-2026-07-01", "2026-07-30"],
  ["gpt-5-6-sol-20260901", "2026-09-01"], ["gpt-4o-20240806", "2025-01-01"], ["gpt-6-sol", "2026-10-01"],
];
const openAiUsages = [{ in: 1000, out: 100, cr: 500 }, { in: 200000, out: 3000, cr: 72000 }];
const openAiRows = [];
for (const [model, date] of openAiCases) {
  for (const u of openAiUsages) {
    const usage = { input_tokens: u.in + u.cr, output_tokens: u.out, cache_read_tokens: u.cr };
    const result = prices.calcPrice(usage, model, { providerId: "openai", timestamp: new Date(date + "T12:00:00Z") });
    if (!result) throw new Error("the package does not price " + model);
    const time = Date.parse(date + "T12:00:00Z") / 1000;
    openAiRows.push(`{${quote(model)}, ${time}, {${u.in}, ${u.out}, 0, 0, ${u.cr}}, ${result.total_price}}`);
  }
}
fs.writeFileSync(expectationsOut, [
  "// The package's own prices of some usages, written by scripts/make_price_table.js.",
  `inline const PriceExpectation kPackagePrices[] = {\n    ${rows.join(",\n    ")}};`,
  `inline const PriceExpectation kOpenAiPackagePrices[] = {\n    ${openAiRows.join(",\n    ")}};`,
  "",
].join("\n"));
