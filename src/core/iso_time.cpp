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
