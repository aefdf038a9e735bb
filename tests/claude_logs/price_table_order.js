// The price table script against a stand-in for the price list package whose periods are out
// of date order: the table must list each model's periods by date, as the lookup reads them.
// Usage: node price_table_order.js SCRIPT
"use strict";
const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const dir = fs.mkdtempSync(path.join(os.tmpdir(), "price-table-"));
const rates = (input) => ({ input_mtok: input, output_mtok: 5 * input });
const model = {
  id: "claude-test-1",
  match: { equals: "claude-test-1" },
  prices: [
    { constraint: { type: "start_date", start_date: "2026-03-13" }, prices: rates(3) },
    { prices: rates(1) },
    { constraint: { type: "start_date", start_date: "2025-06-01" }, prices: rates(2) },
  ],
};
fs.writeFileSync(path.join(dir, "index.cjs"), `
const provider = { models: [${JSON.stringify(model)}] };
exports.findProvider = () => provider;
exports.calcPrice = () => ({ total_price: 0 });
`);
// The stand-in answers for every provider: both tables hold the model.
const tables = [path.join(dir, "table.inc"), path.join(dir, "openai_table.inc")];
execFileSync(process.execPath, [process.argv[2], path.join(dir, "index.cjs"), "0", tables[0],
                                path.join(dir, "expectations.inc"), tables[1]]);
const periodsOf = (table) => [...fs.readFileSync(table, "utf8").matchAll(/^ {4}\{0, (\d+), \{(\d+)/gm)]
  .map((m) => [Number(m[1]), Number(m[2])]);
const found = tables.map(periodsOf);
fs.rmSync(dir, { recursive: true, force: true });
const expected = [[0, 1], [Date.UTC(2025, 5, 1) / 1000, 2], [Date.UTC(2026, 2, 13) / 1000, 3]];
for (const periods of found) {
  if (JSON.stringify(periods) !== JSON.stringify(expected)) {
    console.error("periods out of order: " + JSON.stringify(periods));
    process.exit(1);
  }
}
console.log("periods by date");
