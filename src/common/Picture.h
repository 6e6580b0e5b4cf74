#pragma once
// Pictures: the short texts ("@N-14.`2B", "@d17", "@s25", "@P###P", "@T04") that
// say how a value is shown and how typed text is read back. Screens, reports and
// XML files all go through this one formatter/parser, so an amount looks the same
// everywhere. Parse a picture once and keep it: lists format thousands of cells.
//
// Numbers  N[-][fill]width[grouping][places][B]
//   -       a minus may be typed. A negative value is always shown with its leading
//           minus (hiding the sign would misstate the amount); the minus counts in
//           the width like any other character.
//   fill    '*' asterisks fill the unused leading positions, '0' leading zeros
//           (after the minus, not grouped), '_' blanks (the same as no fill).
//   width   total characters; the result is right-aligned in it. A value that
//           needs more is shown as '#' over the whole width, never cut.
//   grouping  ".`": a point between thousands, then the decimal comma.
//           Without it there is no thousands separator at all: "1,234" would be
//           misread in Croatian, where the comma is the decimal mark.
//   places  '.' digits: decimal point; '`' digits: decimal comma. The value is
//           rounded half away from zero for display.
//   B       all blanks when the shown value is zero.
// Dates    D17 "05.02.2014." (Croatian short date), D10 "2014/02/05" with an
//          optional separator: '-', '.', '_' (blank) or '`' (comma). An empty date
//          is blank with or without B.
// Times    T1 "hh:mm", T4 "hh:mm:ss" of centiseconds since midnight, hours always
//          two digits ("T04" = "T4"), optional separator as for dates; B blanks
//          the value 0 (midnight), which otherwise shows "00:00:00".
// Strings  S width: the text cut to width characters, not padded.
// Patterns P...P: '#' a digit, '<' a digit shown blank while it is a leading
//          zero, any other character literal; applied to a whole number or to the
//          digits of a text; optional B after the closing P.
//
// Blank results keep the picture's width (all spaces); strings are never padded.
// Applying a picture to a value of another kind (a date through "@n-14") is a
// programming error and throws std::logic_error.
#include "common/Date.h"
#include "common/Decimal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marel {

class Picture {
public:
    enum class Kind { Number, Date, Time, String, Pattern };

    // With or without the leading '@'; letters in either case.
    // Throws std::invalid_argument on a malformed picture.
    static Picture parse(std::string_view pic);

    Kind kind() const { return kind_; }
    // Characters of a formatted value (strings: at most this many).
    int width() const { return width_; }
    // Decimal places of a number picture.
    int places() const { return places_; }
    // Whether a character typed into an entry of this picture can ever be
    // part of what it reads, so that a keystroke outside it is refused at
    // once: digits, blanks, the minus where the picture has one and the
    // marks its numbers are read with; the separators of dates and times;
    // the characters of a pattern. A text takes every character. (What is
    // typed is still read as a whole on accepting it.)
    bool mayType(char32_t c) const;

    std::string format(const Decimal& v) const;    // Number, Pattern
    std::string format(int64_t v) const;           // Number, Pattern, Time
    std::string format(Date d) const;              // Date
    std::string formatTime(int32_t centiseconds) const;  // Time
    std::string format(std::string_view s) const;  // String, Pattern (its digits)

    // Typed text read back; nothing when the picture refuses it. Blank text reads
    // as 0, the empty date, 00:00:00 and "" respectively.
    // Numbers: blanks around, a minus only when the picture has '-', and one
    // decimal mark: the picture's; where that is the comma, also the keypad's
    // point alone at the end before one or two digits (or as many as the picture
    // has places), and, where the picture groups thousands, points before each
    // group of three digits. A point that would fit both readings is refused.
    // Where the picture's mark is the point, a comma stands in for it.
    // Refused: anything else, decimals the picture cannot show (no silent
    // rounding; extra zeros are fine), a value that does not fit the width.
    // Pattern pictures read a number.
    std::optional<Decimal> parseNumber(std::string_view text) const;
    // "5.2.2014", "05.02.2014.", "5.2.14" (20yy); '.', '/' and '-' separate, in
    // the picture's order (day first for D17, year first for D10).
    std::optional<Date> parseDate(std::string_view text) const;
    // "hh:mm" or "hh:mm:ss" (T4 only) with ':' or the picture's separator.
    std::optional<int32_t> parseTime(std::string_view text) const;
    // Strings: cut to the width; refused when code page 1250 cannot hold it.
    // Patterns: the digits typed, refused when there are more than positions.
    std::optional<std::string> parseText(std::string_view text) const;

private:
    struct Reader;  // reads a picture's text
    Picture() = default;
    void require(bool ok, const char* what) const;
    std::string numberBody(int64_t scaled) const;
    bool splitTyped(std::string_view text, std::string& whole, std::string& frac) const;
    std::string formatPattern(std::string_view digits) const;

    std::string text_;  // as written, for messages
    Kind kind_ = Kind::String;
    int width_ = 0;
    bool blankZero_ = false;
    // Numbers
    bool minus_ = false;
    char fill_ = ' ';
    char group_ = 0;
    char decimal_ = '.';
    int places_ = 0;
    // Dates and times
    bool yearFirst_ = false;
    bool trailingPoint_ = false;
    bool seconds_ = false;
    char separator_ = 0;
    // Patterns
    std::string pattern_;
    size_t positions_ = 0;
};

// One-off formatting. Loops keep a parsed Picture instead.
std::string formatAs(std::string_view picture, const Decimal& v);
std::string formatAs(std::string_view picture, int64_t v);
std::string formatAs(std::string_view picture, Date d);
std::string formatAs(std::string_view picture, std::string_view s);

}  // namespace marel
