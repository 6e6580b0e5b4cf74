#include "common/Picture.h"

#include "common/Text.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace marel {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c, char upperCase) { return c == upperCase || c == upperCase + ('a' - 'A'); }

// An unsigned number at s[i], advancing i; -1 when there is none.
int readNumber(std::string_view s, size_t& i) {
    size_t b = i;
    int v = 0;
    while (i < s.size() && isDigit(s[i]) && i - b < 4) v = v * 10 + (s[i++] - '0');
    return i == b ? -1 : v;
}

// The separator modifiers of date and time pictures.
char separatorOf(char c) {
    switch (c) {
    case '-': return '-';
    case '.': return '.';
    case '_': return ' ';
    case '`': return ',';
    default: return 0;
    }
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Splits "5.2.2014" or "12:30" into numbers of one to `maxLen` digits separated
// by single characters accepted by `isSep`; `lens` gets the digit counts.
template <class IsSep>
int splitNumbers(std::string_view s, size_t& i, int* parts, int* lens, int maxParts, IsSep isSep) {
    int n = 0;
    while (n < maxParts) {
        if (n > 0) {
            if (i >= s.size() || !isSep(s[i])) break;
            ++i;
        }
        size_t b = i;
        int v = readNumber(s, i);
        if (v < 0) return -1;
        parts[n] = v;
        lens[n++] = int(i - b);
    }
    return n;
}
}  // namespace

// Reads a picture's text, past its '@', into a picture: one step per kind.
struct Picture::Reader {
    std::string_view pic;  // as written
    std::string_view s;    // without the '@'
    Picture p;
    size_t i = 1;

    [[noreturn]] void malformed() const {
        throw std::invalid_argument("Neispravna slika \"" + std::string(pic) + "\"");
    }
    bool at(char c) const { return i < s.size() && s[i] == c; }
    // A trailing B blanks a zero; nothing may follow.
    void finish() {
        if (i < s.size() && isLetter(s[i], 'B')) {
            p.blankZero_ = true;
            ++i;
        }
        if (i != s.size()) malformed();
    }

    void number() {
        p.kind_ = Kind::Number;
        if (at('-')) {
            p.minus_ = true;
            ++i;
        }
        if (at('*') || at('0')) p.fill_ = s[i++];
        else if (at('_')) ++i;
        p.width_ = readNumber(s, i);
        if (p.width_ < 1) malformed();
        if (at('.') && i + 1 < s.size() && s[i + 1] == '`') {
            p.group_ = '.';
            ++i;
        }
        if (at('.') || at('`')) {
            p.decimal_ = s[i++] == '`' ? ',' : '.';
            p.places_ = readNumber(s, i);
            if (p.places_ < 0 || p.places_ > 9) malformed();
        } else if (p.group_) {
            malformed();
        }
        finish();
    }

    void date() {
        p.kind_ = Kind::Date;
        int form = readNumber(s, i);
        if (form == 17) {
            p.separator_ = '.';
            p.trailingPoint_ = true;
            p.width_ = 11;
        } else if (form == 10) {
            p.yearFirst_ = true;
            p.separator_ = '/';
            if (i < s.size() && separatorOf(s[i])) p.separator_ = separatorOf(s[i++]);
            p.width_ = 10;
        } else {
            malformed();
        }
        finish();
    }

    void time() {
        p.kind_ = Kind::Time;
        int form = readNumber(s, i);
        if (form != 1 && form != 4) malformed();
        p.seconds_ = form == 4;
        p.separator_ = ':';
        if (i < s.size() && separatorOf(s[i])) p.separator_ = separatorOf(s[i++]);
        p.width_ = p.seconds_ ? 8 : 5;
        finish();
    }

    void string() {
        p.kind_ = Kind::String;
        p.width_ = readNumber(s, i);
        if (p.width_ < 1 || i != s.size()) malformed();
    }

    void pattern() {
        p.kind_ = Kind::Pattern;
        if (s.size() >= 3 && isLetter(s.back(), 'B') && isLetter(s[s.size() - 2], 'P')) {
            p.blankZero_ = true;
            s.remove_suffix(1);
        }
        if (s.size() < 2 || !isLetter(s.back(), 'P')) malformed();
        p.pattern_ = std::string(s.substr(1, s.size() - 2));
        for (char c : p.pattern_) p.positions_ += c == '#' || c == '<';
        if (p.positions_ == 0 || p.positions_ > 18) malformed();
        p.width_ = int(utf8Length(p.pattern_));
    }
};

Picture Picture::parse(std::string_view pic) {
    Reader r{pic, pic, {}};
    if (!r.s.empty() && r.s.front() == '@') r.s.remove_prefix(1);
    if (r.s.empty()) r.malformed();
    r.p.text_ = std::string(pic);
    const char letter = r.s[0];
    if (isLetter(letter, 'N')) r.number();
    else if (isLetter(letter, 'D')) r.date();
    else if (isLetter(letter, 'T')) r.time();
    else if (isLetter(letter, 'S')) r.string();
    else if (isLetter(letter, 'P')) r.pattern();
    else r.malformed();
    return r.p;
}

void Picture::require(bool ok, const char* what) const {
    if (!ok) throw std::logic_error("Slika \"" + text_ + "\" ne prikazuje " + what);
}

// "-1.234,56" for the scaled value -123456: sign, grouped whole part, decimals.
std::string Picture::numberBody(int64_t scaled) const {
    bool neg = scaled < 0;
    std::string digits = std::to_string(neg ? uint64_t(0) - uint64_t(scaled) : uint64_t(scaled));
    if (digits.size() <= size_t(places_)) digits.insert(0, size_t(places_) + 1 - digits.size(), '0');
    size_t whole = digits.size() - size_t(places_);
    std::string out = neg ? "-" : "";
    for (size_t k = 0; k < whole; ++k) {
        if (group_ && k > 0 && (whole - k) % 3 == 0) out += group_;
        out += digits[k];
    }
    if (places_ > 0) out += decimal_ + digits.substr(whole);
    return out;
}

std::string Picture::format(const Decimal& v) const {
    if (kind_ == Kind::Pattern) {
        int64_t n = -1;
        try {
            n = v.toScaled(0, 18);
        } catch (const DecimalOverflow&) {
        }
        return format(n);
    }
    require(kind_ == Kind::Number, "broj");
    int64_t scaled;
    try {
        scaled = v.toScaled(places_, 18);
    } catch (const DecimalOverflow&) {
        return std::string(size_t(width_), '#');
    }
    if (scaled == 0 && blankZero_) return std::string(size_t(width_), ' ');
    std::string body = numberBody(scaled);
    if (body.size() > size_t(width_)) return std::string(size_t(width_), '#');
    size_t pad = size_t(width_) - body.size();
    if (fill_ == '0') return body.insert(scaled < 0 ? 1 : 0, pad, '0');
    return std::string(pad, fill_) + body;
}

std::string Picture::format(int64_t v) const {
    if (kind_ == Kind::Time) return formatTime(v < 0 || v > INT32_MAX ? -1 : static_cast<int32_t>(v));
    if (kind_ != Kind::Pattern) return format(Decimal(v));
    // A negative number has no digits a pattern could show.
    return v < 0 ? std::string(size_t(width_), '#') : formatPattern(std::to_string(v));
}

std::string Picture::formatPattern(std::string_view digits) const {
    if (digits.size() > positions_) return std::string(size_t(width_), '#');
    if (blankZero_ && digits.find_first_not_of('0') == std::string_view::npos)
        return std::string(size_t(width_), ' ');
    std::string padded(positions_ - digits.size(), '0');
    padded += digits;
    std::string out;
    size_t k = 0;
    bool leading = true;  // no digit shown yet
    for (char c : pattern_) {
        if (c != '#' && c != '<') {
            out += c;
            continue;
        }
        char d = padded[k++];
        if (c == '<' && leading && d == '0') {
            out += ' ';
        } else {
            out += d;
            leading = false;
        }
    }
    return out;
}

std::string Picture::format(Date d) const {
    require(kind_ == Kind::Date, "datum");
    if (d.empty()) return std::string(size_t(width_), ' ');
    char buf[32];
    if (yearFirst_)
        std::snprintf(buf, sizeof buf, "%04d%c%02d%c%02d", d.year(), separator_, d.month(), separator_, d.day());
    else
        std::snprintf(buf, sizeof buf, "%02d%c%02d%c%04d%s", d.day(), separator_, d.month(), separator_, d.year(),
                      trailingPoint_ ? "." : "");
    return buf;
}

std::string Picture::formatTime(int32_t centiseconds) const {
    require(kind_ == Kind::Time, "vrijeme");
    if (centiseconds == 0 && blankZero_) return std::string(size_t(width_), ' ');
    if (centiseconds < 0 || centiseconds >= 24 * 3600 * 100) return std::string(size_t(width_), '#');
    int s = centiseconds / 100;
    char buf[16];
    if (seconds_)
        std::snprintf(buf, sizeof buf, "%02d%c%02d%c%02d", s / 3600, separator_, s / 60 % 60, separator_, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%02d%c%02d", s / 3600, separator_, s / 60 % 60);
    return buf;
}

std::string Picture::format(std::string_view s) const {
    if (kind_ == Kind::Pattern) {
        std::string digits;
        for (char c : s)
            if (isDigit(c)) digits += c;
        return formatPattern(digits);
    }
    require(kind_ == Kind::String, "tekst");
    return std::string(utf8Prefix(s, size_t(width_)));
}

// Typed digits split at the decimal mark, without the sign; false when the text
// is not a number this picture reads. Where the picture puts a point between
// thousands, a point is read in one of two ways and never dropped unseen:
// before exactly three digits, with one to three digits (no leading zero) ahead
// of the first, it groups thousands ("1.500", "1.234.567,89"); alone at the end
// before one or two digits, with no comma, it is the decimal point of the
// numeric keypad ("1500.5", "0.5"). Text that could be read both ways (a rate
// with three decimals typed as "12.500") or neither ("0.5.1", "1.5000") is
// refused, so the user sees the field keep its value instead of a wrong one.
bool Picture::splitTyped(std::string_view text, std::string& whole, std::string& frac) const {
    auto allDigits = [](std::string_view s) {
        for (char c : s)
            if (!isDigit(c)) return false;
        return true;
    };
    if (decimal_ == '.') {
        // The point is this picture's decimal mark; a comma stands in for it.
        size_t mark = text.find_first_of(".,");
        whole = std::string(text.substr(0, mark));
        if (mark != std::string_view::npos) {
            if (places_ == 0) return false;
            frac = std::string(text.substr(mark + 1));
        }
        return allDigits(whole) && allDigits(frac);
    }
    // Points grouping thousands exactly where the formatter puts them.
    auto grouped = [&](std::string_view s, std::string& out) {
        if (s.find('.') == std::string_view::npos) {
            out = std::string(s);
            return allDigits(s);
        }
        if (!group_) return false;
        size_t first = s.find('.');
        if (first < 1 || first > 3 || s[0] == '0' || !allDigits(s.substr(0, first))) return false;
        out = std::string(s.substr(0, first));
        for (size_t at = first; at < s.size(); at += 4) {
            std::string_view three = s.substr(at + 1, 3);
            if (s[at] != '.' || three.size() != 3 || !allDigits(three)) return false;
            out += three;
        }
        return true;
    };
    const size_t comma = text.find(',');
    if (comma != std::string_view::npos) {
        frac = std::string(text.substr(comma + 1));
        return places_ > 0 && allDigits(frac) && grouped(text.substr(0, comma), whole);
    }
    const size_t point = text.rfind('.');
    const size_t after = point == std::string_view::npos ? 0 : text.size() - point - 1;
    const bool keypad = point != std::string_view::npos && places_ > 0 && text.find('.') == point && after >= 1 &&
                        after <= size_t(std::max(places_, 2)) && allDigits(text.substr(0, point)) &&
                        allDigits(text.substr(point + 1));
    const bool asGrouped = grouped(text, whole);
    if (keypad == asGrouped) return false;  // neither reading, or both
    if (keypad) {
        whole = std::string(text.substr(0, point));
        frac = std::string(text.substr(point + 1));
    }
    return true;
}

std::optional<Decimal> Picture::parseNumber(std::string_view text) const {
    if (kind_ == Kind::Pattern) {
        auto digits = parseText(text);
        if (!digits) return std::nullopt;
        try {
            return digits->empty() ? Decimal(0) : Decimal::parse(*digits);
        } catch (const DecimalError&) {
            return std::nullopt;  // more digits than any working value holds
        }
    }
    require(kind_ == Kind::Number, "broj");
    text = trimBlanks(text);
    if (text.empty()) return Decimal(0);
    bool neg = false;
    if (text.front() == '-') {
        if (!minus_) return std::nullopt;
        neg = true;
        text.remove_prefix(1);
    }
    std::string whole, frac;
    if (!splitTyped(text, whole, frac)) return std::nullopt;
    if (whole.empty() && frac.empty()) return std::nullopt;
    // More decimals than the picture shows would be rounded away unseen: refused,
    // unless they are only trailing zeros.
    if (frac.size() > size_t(places_)) {
        if (frac.find_first_not_of('0', size_t(places_)) != std::string::npos) return std::nullopt;
        frac.resize(size_t(places_));
    }
    // However many digits were typed, the answer is a refusal like any other,
    // never an error that reaches the window: a number no working value can
    // hold does not fit any picture either.
    Decimal v;
    int64_t scaled;
    try {
        v = Decimal::parse((neg ? "-" : "") + (whole.empty() ? "0" : whole) + "." + frac + "0");
        scaled = v.toScaled(places_, 18);
    } catch (const DecimalError&) {
        return std::nullopt;
    }
    if (numberBody(scaled).size() > size_t(width_)) return std::nullopt;
    return v;
}

std::optional<Date> Picture::parseDate(std::string_view text) const {
    require(kind_ == Kind::Date, "datum");
    text = trimBlanks(text);
    if (text.empty()) return Date();
    int parts[3], lens[3];
    size_t i = 0;
    auto isSep = [&](char c) { return c == '.' || c == '/' || c == '-' || c == separator_; };
    if (splitNumbers(text, i, parts, lens, 3, isSep) != 3) return std::nullopt;
    if (!yearFirst_ && i < text.size() && text[i] == '.') ++i;  // the Croatian closing point
    if (i != text.size()) return std::nullopt;
    int y = yearFirst_ ? 0 : 2, m = 1, d = yearFirst_ ? 2 : 0;
    if (lens[m] > 2 || lens[d] > 2 || (lens[y] != 2 && lens[y] != 4)) return std::nullopt;
    Date r = Date::fromYmd(lens[y] == 2 ? 2000 + parts[y] : parts[y], parts[m], parts[d]);
    if (r.empty()) return std::nullopt;
    return r;
}

std::optional<int32_t> Picture::parseTime(std::string_view text) const {
    require(kind_ == Kind::Time, "vrijeme");
    text = trimBlanks(text);
    if (text.empty()) return 0;
    int parts[3] = {0, 0, 0}, lens[3];
    size_t i = 0;
    auto isSep = [&](char c) { return c == ':' || c == separator_; };
    int n = splitNumbers(text, i, parts, lens, seconds_ ? 3 : 2, isSep);
    if (n < 2 || i != text.size()) return std::nullopt;
    for (int k = 0; k < n; ++k)
        if (lens[k] > 2) return std::nullopt;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 100;
}

std::optional<std::string> Picture::parseText(std::string_view text) const {
    if (kind_ == Kind::Pattern) {
        std::string digits;
        for (char c : text)
            if (isDigit(c)) digits += c;
        if (digits.size() > positions_) return std::nullopt;
        return digits;
    }
    require(kind_ == Kind::String, "tekst");
    // A control character (a NUL, a line break pasted from a word processor)
    // is never part of a name, an address or a number of a record: it would cut
    // the stored text or break the XML files the text goes into.
    if (hasControlCharacter(text)) return std::nullopt;
    std::string_view cut = utf8Prefix(text, size_t(width_));
    try {
        toCp1250(cut);
    } catch (const EncodingError&) {
        return std::nullopt;
    }
    return std::string(cut);
}

bool Picture::mayType(char32_t c) const {
    if (kind_ == Kind::String) return true;
    if ((c >= '0' && c <= '9') || c == ' ') return true;
    switch (kind_) {
        case Kind::Number:
            if (c == '-') return minus_;
            // Either mark stands for the other where the picture has decimals
            // (the keypad's point, a comma for a point), and the point also
            // groups thousands: without decimals neither is ever read.
            return (c == '.' || c == ',') && places_ > 0;
        case Kind::Date: return c == '.' || c == '/' || c == '-' || c == char32_t(separator_);
        case Kind::Time: return c == ':' || c == char32_t(separator_);
        case Kind::Pattern:
            // Typed as shown: its own characters between the digits.
            return c < 128 && pattern_.find(char(c)) != std::string::npos && c != '#' && c != '<';
        case Kind::String: break;
    }
    return true;
}

std::string formatAs(std::string_view picture, const Decimal& v) { return Picture::parse(picture).format(v); }
std::string formatAs(std::string_view picture, int64_t v) { return Picture::parse(picture).format(v); }
std::string formatAs(std::string_view picture, Date d) { return Picture::parse(picture).format(d); }
std::string formatAs(std::string_view picture, std::string_view s) { return Picture::parse(picture).format(s); }

}  // namespace marel
