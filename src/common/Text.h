#pragma once
// Text as the records keep it: UTF-8 in memory, every character one that
// code page 1250 can hold, so a field of n characters is n bytes on paper
// forms, in page files and wherever the old fixed widths matter.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace marel {

struct EncodingError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Unicode code point of a code page 1250 byte (0 for the five unused bytes).
char32_t cp1250ToUnicode(unsigned char b);
// Code page 1250 byte of a code point, or nothing.
std::optional<unsigned char> unicodeToCp1250(char32_t c);

// Whether code page 1250 has the character.
bool inCp1250(char32_t c);
// Well-formed UTF-8 whose every character code page 1250 has: what
// toCp1250 takes, asked without converting anything.
bool fitsCp1250(std::string_view utf8);

// Whole texts. toCp1250 throws EncodingError naming the first character
// that the code page cannot hold (or on malformed UTF-8).
std::string toCp1250(std::string_view utf8);
std::string fromCp1250(std::string_view bytes);

// Number of characters of a UTF-8 text (assumed well formed).
size_t utf8Length(std::string_view s);
// The first n characters of a UTF-8 text.
std::string_view utf8Prefix(std::string_view s, size_t n);
// Decodes one character at s[i], advancing i; U+FFFD on malformed input.
char32_t utf8Next(std::string_view s, size_t& i);
void utf8Append(std::string& out, char32_t c);

// A control character anywhere in the text: C0 (NUL, tab, line breaks ...),
// DEL or C1. No field of a record holds one, except that a memo (with
// `lineBreaks`) keeps its tabs and line breaks.
bool hasControlCharacter(std::string_view s, bool lineBreaks = false);
// The text with each control character (as above) replaced by a blank: what
// another program may have stored is shown and written out blank.
std::string blankControlCharacters(std::string_view s, bool lineBreaks = false);

std::string rtrim(std::string_view s);
std::string trim(std::string_view s);
// Upper case of the letters code page 1250 has ("č" -> "Č").
std::string upper(std::string_view s);
std::string lower(std::string_view s);

// Base of every STRING(n) field: the text without trailing blanks.
class StringField {
public:
    const std::string& str() const { return v_; }
    // Cuts at n characters, drops trailing blanks; throws EncodingError for a
    // character outside code page 1250 and then leaves the field unchanged.
    void assign(std::string_view text, size_t n);
    // The same for a text already cut to the field's characters and known
    // to fit the code page (what assign checks): its trailing blanks go.
    void assignFitting(std::string_view cut);
    bool empty() const { return v_.empty(); }
    size_t length() const { return utf8Length(v_); }
    // Exchanges the texts of two fields (a buffer set taking its turn).
    void swapText(std::string& other) noexcept { v_.swap(other); }

protected:
    std::string v_;
};

// STRING(n) of the record layouts.
template <size_t N>
class String : public StringField {
public:
    static constexpr size_t width = N;
    String() = default;
    String(std::string_view s) { assign(s, N); }
    String(const char* s) { assign(s, N); }
    String(const std::string& s) { assign(s, N); }
    String& operator=(std::string_view s) { assign(s, N); return *this; }
    String& operator=(const char* s) { assign(s, N); return *this; }
    String& operator=(const std::string& s) { assign(s, N); return *this; }
    operator const std::string&() const { return v_; }
    // Comparison ignores trailing blanks (they are never kept).
    friend bool operator==(const String& a, std::string_view b) { return a.v_ == rtrim(b); }
    friend bool operator==(const String& a, const char* b) { return a.v_ == rtrim(b); }
    friend bool operator==(const String& a, const std::string& b) { return a.v_ == rtrim(b); }
    friend bool operator==(const String& a, const String& b) { return a.v_ == b.v_; }
    // The value padded with blanks to its full width, as fixed forms print it.
    std::string padded() const {
        std::string s = v_;
        s.append(N - utf8Length(v_), ' ');
        return s;
    }
};

// MEMO(n): free text of at most n characters.
template <size_t N>
class Memo : public StringField {
public:
    static constexpr size_t width = N;
    Memo& operator=(std::string_view s) { assign(s, N); return *this; }
    operator const std::string&() const { return v_; }
};

}  // namespace marel
