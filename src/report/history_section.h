#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "history/ledger_row.h"

// The report's history, appended after its other sections: the last 90 days as a chart of
// API-equivalent dollars per day, a table by month, and the last 30 days by model and by
// project. `rows` are the ledger's rows of every machine; `today` is the local date
// ("YYYY-MM-DD"). The tables name the login where one tool's rows hold two. While `stillReading`, a line says that older days may be missing. Empty when
// there are no rows and nothing is being read, so the report stays as it was.
std::string BuildHistorySection(const std::vector<LedgerRow>& rows, std::string_view today,
                                bool stillReading);
