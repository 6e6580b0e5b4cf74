#include "common/XmlWriter.h"

#include <cstdio>

#include "common/Text.h"
#include "common/XmlSchema.h"

namespace marel {

namespace {

// The markup characters as references; in an element's text also a carriage
// return (which a reader would otherwise take for a line break), in an
// attribute value every blank a reader would normalise.
enum class Escape { Markup, Text, Attribute };
void appendEscaped(std::string& out, std::string_view text, Escape how) {
    // Most texts (numbers, codes, dates) have nothing to escape: they go in whole.
    const size_t plain = text.find_first_of(how == Escape::Markup ? "<>&\"\r" : "<>&\"\r\n\t");
    out += text.substr(0, plain);
    if (plain == std::string_view::npos) return;
    for (char c : text.substr(plain)) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\r': out += how == Escape::Markup ? "\r" : "&#13;"; break;
            case '\n': out += how == Escape::Attribute ? "&#10;" : "\n"; break;
            case '\t': out += how == Escape::Attribute ? "&#9;" : "\t"; break;
            default: out += c;
        }
    }
}

constexpr size_t kFlushAt = 1 << 20;

// "<name>" or "</name>".
void appendTag(std::string& out, std::string_view start, std::string_view name) {
    out += start;
    out += name;
    out += '>';
}

// The text without the blanks (and zero bytes) of a fixed-width field at its end, as rtrim.
std::string_view withoutTrailingBlanks(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
    return s.substr(0, e);
}

}  // namespace

XmlWriter::~XmlWriter() { discard(); }

void XmlWriter::discard() {
    open_.clear();
    out_.clear();
    if (file_) {
        std::fclose(file_);
        std::remove(temp_.c_str());
    }
    file_ = nullptr;
}

bool XmlWriter::CREATEXMLFILE(const std::string& path, std::string_view version, std::string_view encoding) {
    discard();
    path_ = path;
    temp_ = path + ".tmp";
    depth_ = 0;
    failed_ = false;
    error_.clear();
    // Texts are kept in UTF-8 and written as they are: no other encoding.
    if (encoding != "UTF-8" && encoding != "utf-8") return false;
    file_ = std::fopen(temp_.c_str(), "wb");
    if (!file_) return false;
    out_.reserve(kFlushAt + 4096);
    out_ += "<?xml version=\"";
    out_ += version;
    out_ += "\" encoding=\"";
    out_ += encoding;
    out_ += "\"?>\n";
    return true;
}

void XmlWriter::flush(bool last) {
    if (!file_ || (!last && out_.size() < kFlushAt)) return;
    if (!out_.empty() && std::fwrite(out_.data(), 1, out_.size(), file_) != out_.size()) failed_ = true;
    out_.clear();
}

void XmlWriter::raw(std::string_view markup) {
    if (!open_.empty() && open_.back().tagOpen) {
        out_ += '>';
        open_.back().tagOpen = false;
    }
    out_ += markup;
}

void XmlWriter::startElement(std::string_view name) {
    if (name.empty()) {
        failed_ = true;
        return;
    }
    raw("<");
    out_ += name;
    open_.push_back({std::string(name), true});
}

void XmlWriter::endElement() {
    if (open_.empty()) {
        failed_ = true;
        return;
    }
    if (open_.back().tagOpen) {
        out_ += "/>";
    } else {
        appendTag(out_, "</", open_.back().name);
    }
    open_.pop_back();
    flush(false);
}

void XmlWriter::newLine(int depth) {
    raw("\n");
    out_.append(size_t(depth) * 2, ' ');
}

bool XmlWriter::allowed(std::string_view text, std::string_view where) {
    const std::string bad = forbiddenCharacter(text);
    if (bad.empty()) return true;
    if (error_.empty())
        error_ = "Polje " + rtrim(where) + " sadrži znak koji XML datoteka ne smije sadržavati (" + bad + ").";
    failed_ = true;
    return false;
}

void XmlWriter::CREATEPARENT(std::string_view name) {
    if (!file_ || !allowed(name, name)) return;
    if (depth_ > 0) newLine(depth_);  // the root follows the declaration's line break
    startElement(rtrim(name));
}

void XmlWriter::CREATEATTRIBUTE(std::string_view name, std::string_view value) {
    if (!file_ || !allowed(name, name) || !allowed(value, name)) return;
    const std::string n = rtrim(name);
    // An attribute belongs to a start tag still open.
    if (n.empty() || open_.empty() || !open_.back().tagOpen) {
        failed_ = true;
        return;
    }
    out_ += ' ';
    out_ += n;
    out_ += "=\"";
    appendEscaped(out_, rtrim(value), Escape::Attribute);
    out_ += '"';
}

void XmlWriter::ADDPARENT() { ++depth_; }

void XmlWriter::ADDELEMENT(std::string_view name, std::string_view text) {
    if (!file_ || !allowed(name, name) || !allowed(text, name)) return;
    newLine(depth_);  // also ends a start tag still open
    const std::string_view n = withoutTrailingBlanks(name);
    if (n.empty()) {
        failed_ = true;
        return;
    }
    appendTag(out_, "<", n);
    appendEscaped(out_, withoutTrailingBlanks(text), Escape::Text);
    appendTag(out_, "</", n);
    flush(false);
}

void XmlWriter::ADDSTRINGTEXT(std::string_view markup) {
    if (!file_) return;
    // Named by the element the markup starts with.
    std::string_view element = markup;
    if (size_t lt = element.find('<'); lt != std::string_view::npos) element.remove_prefix(lt + 1);
    element = element.substr(0, element.find_first_of(" \t\r\n/>"));
    if (!allowed(markup, element)) return;
    newLine(depth_);
    raw(markup);
}

void XmlWriter::CLOSEPARENT() {
    if (!file_ || depth_ == 0) return;
    newLine(--depth_);
    endElement();
}

bool XmlWriter::CLOSEXMLFILE() {
    if (!file_) return false;
    while (!open_.empty()) endElement();
    out_ += '\n';
    flush(true);
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (!failed_ && schema_) {
        error_ = schema_->check(temp_);
        failed_ = !error_.empty();
    }
    if (!failed_ && std::rename(temp_.c_str(), path_.c_str()) != 0) failed_ = true;
    if (failed_) std::remove(temp_.c_str());
    return !failed_;
}

std::string XmlWriter::escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendEscaped(out, text, Escape::Markup);
    return out;
}

std::string XmlWriter::forbiddenCharacter(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        if (const auto b = static_cast<unsigned char>(text[i]); b >= 0x20 && b < 0x80) {
            ++i;  // the common case: printable ASCII
            continue;
        }
        const char32_t c = utf8Next(text, i);
        // utf8Next reads leniently; a character is only what encodes back to
        // the very same bytes (no overlong forms, no stray continuation bytes).
        std::string again;
        utf8Append(again, c);
        const bool wellFormed = again == text.substr(start, i - start);
        const bool ok = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                        (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!wellFormed || !ok) {
            char buf[16];
            if (!wellFormed) std::snprintf(buf, sizeof buf, "bajt 0x%02X", unsigned(static_cast<unsigned char>(text[start])));
            else std::snprintf(buf, sizeof buf, "U+%04X", unsigned(c));
            return buf;
        }
    }
    return "";
}

std::string_view utf8CutBytes(std::string_view text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t n = bytes;
    // Step back over continuation bytes to the start of the character cut in two.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return text.substr(0, n);
}

std::string PRIJENOS(std::string_view text) {
    constexpr size_t kMax = 100;
    const std::string in = rtrim(text);
    std::string out;
    bool blank = false;
    for (size_t i = 0; i < in.size();) {
        char32_t c = utf8Next(in, i);
        if (c < 0x20 || c == ' ') {
            if (!blank) out += ' ';
            blank = true;
            continue;
        }
        blank = false;
        utf8Append(out, c);
        if (out.size() > kMax) break;
    }
    return rtrim(utf8CutBytes(out, kMax));
}

}  // namespace marel
