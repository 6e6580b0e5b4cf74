#include "common/Date.h"

#include <ctime>
#include <cstdio>

namespace marel {

namespace {
// Days from 1970-01-01 (proleptic Gregorian), after Howard Hinnant's algorithm.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}
void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}
const int64_t kOrigin = daysFromCivil(1800, 12, 28);
Date fixedToday;
}  // namespace

bool Date::valid(int year, int month, int day) {
    return year >= 1801 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

int Date::daysInMonth(int year, int month) {
    static const int n[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return n[month - 1];
}

Date Date::fromYmd(int year, int month, int day) {
    if (!valid(year, month, day)) return Date();
    return Date(static_cast<int32_t>(daysFromCivil(year, unsigned(month), unsigned(day)) - kOrigin));
}

Date Date::fromIso(const std::string& iso) {
    int y, m, d;
    char tail;
    if (std::sscanf(iso.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return Date();
    return fromYmd(y, m, d);
}

Date Date::today() {
    if (!fixedToday.empty()) return fixedToday;
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

void Date::fixToday(Date d) { fixedToday = d; }

int Date::year() const {
    int y, m, d;
    civilFromDays(d_ + kOrigin, y, m, d);
    return empty() ? 0 : y;
}
int Date::month() const {
    int y, m, d;
    civilFromDays(d_ + kOrigin, y, m, d);
    return empty() ? 0 : m;
}
int Date::day() const {
    int y, m, d;
    civilFromDays(d_ + kOrigin, y, m, d);
    return empty() ? 0 : d;
}
int Date::dayOfYear() const {
    if (empty()) return 0;
    return d_ - fromYmd(year(), 1, 1).d_ + 1;
}

std::string Date::iso() const {
    if (empty()) return "";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year(), month(), day());
    return buf;
}

}  // namespace marel
