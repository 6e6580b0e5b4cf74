#pragma once
// Letters from beyond the code page the records keep: what becomes of a
// name written in another script or with characters no field here holds,
// so that it is carried over rather than lost.
#include <string>
#include <string_view>

namespace marel {

// A Cyrillic letter in Croatian Latin, as names are written over from
// Serbian, Macedonian, Russian or Ukrainian ("Љ" -> "Lj", "ж" -> "ž",
// "Џ" -> "Dž"); empty for anything else, including the two signs (Ъ, Ь)
// that have no letter of their own.
std::string cyrillicToLatin(char32_t c);

// The text with only characters code page 1250 can hold: Cyrillic in
// Croatian Latin, any other character (and malformed UTF-8) as '?', so that
// every letter keeps its place.
std::string fitCp1250(std::string_view utf8);

}  // namespace marel
