#include "common/Text.h"

#include <array>
#include <bitset>
#include <cstdio>

namespace marel {

namespace {
// 0x80..0xFF of code page 1250; 0 marks the bytes the code page leaves unused.
constexpr std::array<char32_t, 128> kHigh = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

std::string describe(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", unsigned(c));
    std::string s;
    utf8Append(s, c);
    return "'" + s + "' (" + buf + ")";
}
}  // namespace

char32_t cp1250ToUnicode(unsigned char b) { return b < 0x80 ? char32_t(b) : kHigh[b - 0x80]; }

std::optional<unsigned char> unicodeToCp1250(char32_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == c && c != 0) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

char32_t utf8Next(std::string_view s, size_t& i) {
    auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80) return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || b >= 0xF8) return 0xFFFD;
    char32_t c = b & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size()) return 0xFFFD;
        auto n = static_cast<unsigned char>(s[i]);
        if ((n & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (n & 0x3F);
        ++i;
    }
    return c;
}

namespace {
// Bytes of the control character at s[i] (0 when there is none): C0, DEL, or
// C1 (U+0080..U+009F, 0xC2 0x80..0x9F in UTF-8). A memo's tabs and line
// breaks are text, not control, when `lineBreaks` says so.
size_t controlAt(std::string_view s, size_t i, bool lineBreaks) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (lineBreaks && (b == '\t' || b == '\n' || b == '\r')) return 0;
    if (b < 0x20 || b == 0x7F) return 1;
    if (b == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) <= 0x9F &&
        static_cast<unsigned char>(s[i + 1]) >= 0x80)
        return 2;
    return 0;
}
}  // namespace

bool hasControlCharacter(std::string_view s, bool lineBreaks) {
    for (size_t i = 0; i < s.size(); ++i)
        if (controlAt(s, i, lineBreaks)) return true;
    return false;
}

std::string blankControlCharacters(std::string_view s, bool lineBreaks) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        if (const size_t n = controlAt(s, i, lineBreaks)) {
            out += ' ';
            i += n;
        } else {
            out += s[i++];
        }
    }
    return out;
}

void utf8Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool inCp1250(char32_t c) {
    // The code page's letters above ASCII all lie below U+2200: a set of
    // them, instead of a search of its table for every letter of every text.
    static const std::bitset<0x2200> high = [] {
        std::bitset<0x2200> set;
        for (char32_t u : kHigh)
            if (u != 0) set.set(u);
        return set;
    }();
    return c < 0x80 || (c < high.size() && high.test(c));
}

bool fitsCp1250(std::string_view utf8) {
    for (size_t i = 0; i < utf8.size();) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const char32_t c = utf8Next(utf8, i);
        if (c == 0xFFFD || !inCp1250(c)) return false;
    }
    return true;
}

std::string toCp1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = utf8Next(utf8, i);
        if (c == 0xFFFD) throw EncodingError("Neispravan UTF-8 tekst");
        auto b = unicodeToCp1250(c);
        if (!b) throw EncodingError("Znak " + describe(c) + " nije dopušten (kodna stranica 1250)");
        out += char(*b);
    }
    return out;
}

std::string fromCp1250(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        char32_t c = cp1250ToUnicode(static_cast<unsigned char>(ch));
        utf8Append(out, c ? c : U'?');
    }
    return out;
}

size_t utf8Length(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string_view utf8Prefix(std::string_view s, size_t n) {
    size_t i = 0, count = 0;
    while (i < s.size()) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (count == n) break;
            ++count;
        }
        ++i;
    }
    return s.substr(0, i);
}

namespace {
// Without the trailing blanks and NULs a fixed-width field is padded with.
std::string_view withoutTrailingBlanks(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
    return s.substr(0, e);
}
}  // namespace

std::string rtrim(std::string_view s) { return std::string(withoutTrailingBlanks(s)); }

std::string trim(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return rtrim(s.substr(b));
}

namespace {
char32_t caseMap(char32_t c, bool toUpper) {
    if (c < 0x80) {
        if (toUpper && c >= 'a' && c <= 'z') return c - 32;
        if (!toUpper && c >= 'A' && c <= 'Z') return c + 32;
        return c;
    }
    // Code page 1250 letters: find the partner in the table by position.
    static const std::pair<char32_t, char32_t> pairs[] = {
        {0x0160, 0x0161}, {0x015A, 0x015B}, {0x0164, 0x0165}, {0x017D, 0x017E}, {0x0179, 0x017A},
        {0x0141, 0x0142}, {0x0104, 0x0105}, {0x015E, 0x015F}, {0x013D, 0x013E}, {0x017B, 0x017C},
        {0x0154, 0x0155}, {0x00C1, 0x00E1}, {0x00C2, 0x00E2}, {0x0102, 0x0103}, {0x00C4, 0x00E4},
        {0x0139, 0x013A}, {0x0106, 0x0107}, {0x00C7, 0x00E7}, {0x010C, 0x010D}, {0x00C9, 0x00E9},
        {0x0118, 0x0119}, {0x00CB, 0x00EB}, {0x011A, 0x011B}, {0x00CD, 0x00ED}, {0x00CE, 0x00EE},
        {0x010E, 0x010F}, {0x0110, 0x0111}, {0x0143, 0x0144}, {0x0147, 0x0148}, {0x00D3, 0x00F3},
        {0x00D4, 0x00F4}, {0x0150, 0x0151}, {0x00D6, 0x00F6}, {0x0158, 0x0159}, {0x016E, 0x016F},
        {0x00DA, 0x00FA}, {0x0170, 0x0171}, {0x00DC, 0x00FC}, {0x00DD, 0x00FD}, {0x0162, 0x0163},
    };
    for (auto [u, l] : pairs) {
        if (toUpper && c == l) return u;
        if (!toUpper && c == u) return l;
    }
    return c;
}

std::string mapCase(std::string_view s, bool toUpper) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) utf8Append(out, caseMap(utf8Next(s, i), toUpper));
    return out;
}
}  // namespace

std::string upper(std::string_view s) { return mapCase(s, true); }
std::string lower(std::string_view s) { return mapCase(s, false); }

void StringField::assign(std::string_view text, size_t n) {
    std::string_view cut = utf8Prefix(text, n);
    // Refused, naming the character, when the code page cannot hold it,
    // before anything changes.
    if (!fitsCp1250(cut)) toCp1250(cut);
    assignFitting(cut);
}

void StringField::assignFitting(std::string_view cut) {
    // Into the field's own storage: no new text is made for a value that fits.
    v_.assign(withoutTrailingBlanks(cut));
}

}  // namespace marel
