#include "common/Letters.h"

#include "common/Text.h"

namespace marel {

namespace {
// U+0400..U+042F in Croatian Latin; the lower-case letters U+0430..U+045F
// are these in lower case.
const char* const kCyrillic[48] = {
    "E", "Jo", "Đ", "Gj", "Je", "Dz", "I", "Ji", "J", "Lj", "Nj", "Ć", "Kj", "I",  "U",  "Dž",
    "A", "B",  "V", "G",  "D",  "E",  "Ž", "Z",  "I", "J",  "K",  "L", "M",  "N",  "O",  "P",
    "R", "S",  "T", "U",  "F",  "H",  "C", "Č",  "Š", "Šč", "",   "Y", "",   "E",  "Ju", "Ja",
};
}  // namespace

std::string cyrillicToLatin(char32_t c) {
    if (c == 0x0490) return "G";
    if (c == 0x0491) return "g";
    if (c >= 0x0400 && c <= 0x042F) return kCyrillic[c - 0x0400];
    if (c >= 0x0430 && c <= 0x044F) return lower(kCyrillic[c - 0x0430 + 0x10]);
    if (c >= 0x0450 && c <= 0x045F) return lower(kCyrillic[c - 0x0450]);
    return {};
}

std::string fitCp1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = utf8Next(utf8, i);
        if (c != 0xFFFD && unicodeToCp1250(c)) {
            utf8Append(out, c);
            continue;
        }
        const std::string latin = cyrillicToLatin(c);
        out += latin.empty() ? "?" : latin;
    }
    return out;
}

}  // namespace marel
