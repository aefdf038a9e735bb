#include "report/history_chart.h"

#include <algorithm>
#include <cmath>

#include "history/history_csv.h"
#include "history/ledger_days.h"

namespace {

// The drawing runs in tenths of a pixel so that every coordinate is a whole number (no
// decimal point, which the C library would take from the locale).
constexpr int64_t kWidth = 8200, kHeight = 2300;
constexpr int64_t kLeft = 560, kRight = 40, kTop = 100, kBottom = 260;
constexpr int64_t kPlotWidth = kWidth - kLeft - kRight, kPlotHeight = kHeight - kTop - kBottom;
constexpr int64_t kBase = kTop + kPlotHeight;

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct ChartDay {
    std::array<double, kModelFamilyCount> dollars{};
    std::array<bool, kModelFamilyCount> used{};
    bool any = false;
    double total() const {
        double sum = 0;
        for (const double d : dollars)
            sum += d;
        return sum;
    }
};

// A step of 1, 2 or 5 times a power of ten, at least `rough`.
double NiceStep(double rough) {
    double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough * (1 - 1e-9)) {
            return factor * power;
        }
    }
    return 10 * power;
}

std::string Number(int64_t value) {
    return std::to_string(value);
}

std::string TickLabel(double dollars, double step) {
    if (step >= 1) {
        std::string text = "$";
        text += std::to_string(std::llround(dollars));
        return text;
    }
    return ReportDollars(dollars);
}

std::string BarTitle(const std::string& day, const ChartDay& chartDay) {
    std::string title = day + ": " + ReportDollars(chartDay.total());
    const char* separator = " (";
    for (int f = 0; f < kModelFamilyCount; ++f) {
        if (chartDay.used[f]) {
            title += separator;
            title += FamilyName(static_cast<ModelFamily>(f));
            title += ' ';
            title += ReportDollars(chartDay.dollars[f]);
            separator = ", ";
        }
    }
    return title + ")";
}

}  // namespace

ModelFamily FamilyOf(const LedgerKey& key) {
    if (key.tool == LedgerTool::kCodex) {
        return ModelFamily::kCodex;
    }
    std::string lower = key.model;
    for (char& c : lower)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower.find("opus") != std::string::npos)
        return ModelFamily::kOpus;
    if (lower.find("sonnet") != std::string::npos)
        return ModelFamily::kSonnet;
    if (lower.find("haiku") != std::string::npos)
        return ModelFamily::kHaiku;
    return ModelFamily::kOtherClaude;
}

const char* FamilyName(ModelFamily family) {
    static const char* const kNames[] = {"Opus", "Sonnet", "Haiku", "Other Claude", "Codex"};
    return kNames[static_cast<int>(family)];
}

const char* FamilyColour(ModelFamily family) {
    // The report's amber first, then warm tones beside it; Codex apart in blue.
    static const char* const kColours[] = {"#ffc53d", "#f76b15", "#e54666", "#8d8d86", "#0090ff"};
    return kColours[static_cast<int>(family)];
}

std::string ReportDollars(double dollars) {
    std::string text = "$";
    text += FormatCsvDollars(dollars);
    return text;
}

std::string BuildHistoryChart(const std::vector<LedgerRow>& rows, int64_t today) {
    const int64_t first = today - (kChartDays - 1);
    std::array<ChartDay, kChartDays> days{};
    for (const LedgerRow& row : rows) {
        int64_t number = 0;
        if (!DayNumber(row.key.day, number) || number < first || number > today) {
            continue;
        }
        ChartDay& day = days[static_cast<size_t>(number - first)];
        const int family = static_cast<int>(FamilyOf(row.key));
        day.dollars[family] += std::max(0.0, row.totals.dollars);
        day.used[family] = true;
        day.any = true;
    }
    double highest = 0;
    for (const ChartDay& day : days)
        highest = std::max(highest, day.total());
    const double step = highest > 0 ? NiceStep(highest / 4) : 0.25;
    const double top = std::max(step, std::ceil(highest / step - 1e-9) * step);

    std::string svg = "<svg viewBox='0 0 " + Number(kWidth) + " " + Number(kHeight) +
                      "' width='100%' role='img' aria-label='API-equivalent dollars per day, "
                      "last 90 days' style='forced-color-adjust:none;font:110px Segoe UI,"
                      "system-ui'>";
    const auto yOf = [&](double dollars) {
        return kBase - std::llround(static_cast<double>(kPlotHeight) * dollars / top);
    };
    for (int i = 0; step * i <= top * (1 + 1e-9); ++i) {
        const int64_t y = yOf(step * i);
        svg += "<line x1='" + Number(kLeft) + "' x2='" + Number(kWidth - kRight) + "' y1='" +
               Number(y) + "' y2='" + Number(y) + "' stroke='#e9e8e6' stroke-width='10'/>";
        svg += "<text x='" + Number(kLeft - 60) + "' y='" + Number(y + 40) +
               "' text-anchor='end' fill='#63635e'>" + TickLabel(step * i, step) + "</text>";
    }
    const int64_t slot = kPlotWidth / kChartDays;
    const int64_t barWidth = slot * 3 / 4;
    for (int i = 0; i < kChartDays; ++i) {
        const int64_t x = kLeft + slot * i + (slot - barWidth) / 2;
        const std::string day = DayFromNumber(first + i);
        if (day.compare(8, 2, "01") == 0) {  // the first of each month labelled
            const int month = std::stoi(day.substr(5, 2));
            svg += "<text x='" + Number(x + barWidth / 2) + "' y='" + Number(kHeight - 100) +
                   "' text-anchor='middle' fill='#63635e'>1 " + kMonths[month - 1] + "</text>";
        }
        if (!days[i].any) {
            continue;
        }
        svg += "<g><title>";
        svg += BarTitle(day, days[i]);
        svg += "</title>";
        double below = 0;
        for (int f = 0; f < kModelFamilyCount; ++f) {
            if (days[i].dollars[f] <= 0) {
                continue;
            }
            const int64_t bottom = yOf(below);
            below += days[i].dollars[f];
            const int64_t y = yOf(below);
            const char* colour = FamilyColour(static_cast<ModelFamily>(f));
            svg += "<rect x='" + Number(x) + "' y='" + Number(y) + "' width='" + Number(barWidth) +
                   "' height='" + Number(bottom - y) + "' fill='" + colour + "' stroke='" + colour +
                   "' stroke-width='6'/>";
        }
        svg += "</g>";
    }
    return svg + "</svg>";
}
