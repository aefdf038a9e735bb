#include "history/history_csv.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <tuple>

namespace {

// The length of the UTF-8 sequence at `at`, or 0 when it is not one.
size_t Utf8Length(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

const char* ToolName(LedgerTool tool) {
    return tool == LedgerTool::kCodex ? "codex" : "claude";
}

auto SortKey(const LedgerRow& row) {
    return std::tie(row.key.day, row.machine, row.key.tool, row.key.place, row.key.project,
                    row.key.model, row.key.account);
}

}  // namespace

std::string CsvField(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8Length(text, at);
        if (length == 0) {
            clean += "\xEF\xBF\xBD";
            ++at;
        } else {
            clean.append(text.substr(at, length));
            at += length;
        }
    }
    if (clean.find_first_of(",\"\r\n") == std::string::npos) {
        return clean;
    }
    std::string quoted = "\"";
    for (const char c : clean) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string FormatCsvDollars(double dollars) {
    if (!std::isfinite(dollars) || std::fabs(dollars) >= 1e12) {
        return "0.00";
    }
    const long long micros = std::llround(std::fabs(dollars) * 1e6);
    const long long cents = (micros + 5000) / 10000;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", dollars < 0 && cents != 0 ? "-" : "",
                  cents / 100, cents % 100);
    return text;
}

std::string BuildHistoryCsv(std::vector<LedgerRow> rows) {
    std::sort(rows.begin(), rows.end(),
              [](const LedgerRow& a, const LedgerRow& b) { return SortKey(a) < SortKey(b); });
    std::string csv(kHistoryCsvHeader);
    csv += "\r\n";
    for (const LedgerRow& row : rows) {
        const LedgerTotals& t = row.totals;
        csv += CsvField(row.key.day) + "," + CsvField(row.machine) + "," + ToolName(row.key.tool) +
               "," + CsvField(row.key.place) + "," + CsvField(row.key.project) + "," +
               CsvField(row.key.model);
        for (const int64_t count :
             {t.messages, t.input, t.output, t.cacheWrite5m, t.cacheWrite1h, t.cacheRead}) {
            csv += ',';
            csv += std::to_string(count);
        }
        csv += ',';
        csv += FormatCsvDollars(t.dollars);
        csv += t.estimated ? ",1," : ",0,";
        csv += CsvField(row.key.account) + "\r\n";
    }
    return csv;
}
