#pragma once
// Calendar dates as day counts, so that date arithmetic is integer arithmetic.
// The count runs from Sunday 28 December 1800 (day 0), so that `day % 7` is the
// weekday with 0 for Sunday. 0 means "no date".
#include <cstdint>
#include <string>

namespace marel {

class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(int32_t days) : d_(days) {}
    // Invalid dates give the empty date.
    static Date fromYmd(int year, int month, int day);
    // "2014-02-05"; empty or malformed text gives the empty date.
    static Date fromIso(const std::string& iso);
    static Date today();
    // The clock can be fixed for tests (0 = the real clock).
    static void fixToday(Date d);

    constexpr int32_t days() const { return d_; }
    constexpr bool empty() const { return d_ == 0; }
    int year() const;
    int month() const;
    int day() const;
    // 1 for 1 January.
    int dayOfYear() const;
    // 0 Sunday .. 6 Saturday.
    int weekday() const { return d_ % 7; }
    std::string iso() const;  // "" for the empty date

    static bool valid(int year, int month, int day);
    static int daysInMonth(int year, int month);

    Date operator+(int n) const { return Date(d_ + n); }
    Date operator-(int n) const { return Date(d_ - n); }
    int operator-(Date o) const { return d_ - o.d_; }
    friend constexpr auto operator<=>(Date, Date) = default;

private:
    int32_t d_ = 0;
};

}  // namespace marel
