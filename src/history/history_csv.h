#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "history/ledger_row.h"

// The ledger as a CSV file (RFC 4180): a header, then one record per day, machine, tool, place,
// project, model and login, ordered by those fields; UTF-8 without a byte-order mark; every
// record, the header's too, ends with CR LF. Numbers never depend on the user's locale. The
// login comes last, so that a reader that takes the columns by position still finds the others
// where they were; it is empty for rows recorded before logins were told apart.

inline constexpr std::string_view kHistoryCsvHeader =
    "day,machine,tool,place,project,model,messages,input,output,cache_write_5m,cache_write_1h,"
    "cache_read,dollars,estimated,account";

std::string BuildHistoryCsv(std::vector<LedgerRow> rows);

// One field: quoted when it holds a comma, a double quote, CR or LF (quotes doubled inside);
// bytes that are not UTF-8 become U+FFFD.
std::string CsvField(std::string_view text);

// Dollars with two decimals and "." as the point: the value is first rounded to whole
// millionths of a dollar (so that sums carry no binary noise: 1.005 stays 1.005), then to the
// cent with halves away from zero. Not-a-number and infinities give "0.00".
std::string FormatCsvDollars(double dollars);
