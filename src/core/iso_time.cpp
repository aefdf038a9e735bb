#include "core/iso_time.h"

#include <cmath>
#include <limits>

#include "core/numbers.h"

namespace {

bool IsScanfSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" conversion of scanf at `pos`: blanks, optional sign, at least one digit. Values
// beyond 32 bits saturate instead of overflowing.
bool ScanInt(std::string_view text, size_t& pos, int64_t& out) {
    size_t i = pos;
    while (i < text.size() && IsScanfSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t firstDigit = i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= std::numeric_limits<int32_t>::max()) {
            value = value * 10 + (text[i] - '0');
        }
    }
    if (i == firstDigit) {
        return false;
    }
    if (value > std::numeric_limits<int32_t>::max()) {
        value = negative ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    } else if (negative) {
        value = -value;
    }
    out = value;
    pos = i;
    return true;
}

bool ScanLiteral(std::string_view text, size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

int64_t ZoneOffsetSeconds(std::string_view text) {
    const size_t t = text.find('T');
    if (t == std::string_view::npos) {
        return 0;
    }
    const size_t sign = text.find_first_of("Z+-", t + 1);
    if (sign == std::string_view::npos || text[sign] == 'Z') {
        return 0;
    }
    size_t pos = sign + 1;
    int64_t hours = 0;
    int64_t minutes = 0;
    if (ScanInt(text, pos, hours) && ScanLiteral(text, pos, ':')) {
        ScanInt(text, pos, minutes);
    }
    const int64_t offset = hours * 3600 + minutes * 60;
    return text[sign] == '-' ? -offset : offset;
}

// The form Claude Code writes, "2025-03-01T10:15:30.123Z", read directly; the general reading
// below gives the same result for it (nine fraction digits or fewer never round the seconds up).
bool ReadUsualForm(std::string_view text, int64_t& seconds) {
    constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd";
    const size_t fraction = text.size() - kShape.size() - 1;  // ".123" between the seconds and Z
    if (text.size() <= kShape.size() || text.back() != 'Z' || fraction == 1 || fraction > 10) {
        return false;
    }
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const char want = i < kShape.size() ? kShape[i] : i == kShape.size() ? '.' : 'd';
        if (want == 'd' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != want) return false;
    }
    const auto field = [text](size_t at, size_t digits) {
        int64_t value = 0;
        for (size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    seconds = DaysFromCivil(field(0, 4), field(5, 2), field(8, 2)) * 86400 + field(11, 2) * 3600 +
              field(14, 2) * 60 + field(17, 2);
    return true;
}

}  // namespace

int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    const int64_t y = month <= 2 ? year - 1 : year;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month >= 3 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t ParseIsoTime(std::string_view text) {
    if (int64_t seconds = 0; ReadUsualForm(text, seconds)) return seconds;
    size_t pos = 0;
    int64_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!(ScanInt(text, pos, year) && ScanLiteral(text, pos, '-') && ScanInt(text, pos, month) &&
          ScanLiteral(text, pos, '-') && ScanInt(text, pos, day) && ScanLiteral(text, pos, 'T') &&
          ScanInt(text, pos, hour) && ScanLiteral(text, pos, ':') && ScanInt(text, pos, minute) &&
          ScanLiteral(text, pos, ':'))) {
        return 0;
    }
    double seconds = 0;
    if (ParseLeadingDouble(text.substr(pos), seconds) == 0) {
        return 0;
    }
    // Infinite or absurd seconds have no time; they would also overflow the arithmetic.
    if (!(std::fabs(seconds) < 1e15)) {
        return 0;
    }
    const int64_t days = DaysFromCivil(year, month, day);
    return days * 86400 + hour * 3600 + minute * 60 + static_cast<int64_t>(seconds) -
           ZoneOffsetSeconds(text);
}
