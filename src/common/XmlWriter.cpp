#include "common/XmlWriter.h"

#include <libxml/xmlwriter.h>

#include <cstdio>

#include "common/Text.h"
#include "common/XmlSchema.h"

namespace marel {

namespace {
const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }
}  // namespace

XmlWriter::~XmlWriter() { discard(); }

void XmlWriter::discard() {
    if (writer_) xmlFreeTextWriter(writer_);
    writer_ = nullptr;
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
    file_ = std::fopen(temp_.c_str(), "wb");
    if (!file_) return false;
    // The writer gets the open file rather than the name: libxml2 would read a
    // name as a URI, and a folder called "100%" or "#2" is a folder like any other.
    xmlOutputBufferPtr out = xmlOutputBufferCreateFile(file_, nullptr);
    if (out) writer_ = xmlNewTextWriter(out);
    if (!writer_) {
        if (out) xmlOutputBufferClose(out);
        discard();
        return false;
    }
    check(xmlTextWriterStartDocument(writer_, std::string(version).c_str(), std::string(encoding).c_str(), nullptr));
    return !failed_;
}

void XmlWriter::newLine(int depth) {
    check(xmlTextWriterWriteRaw(writer_, X("\n" + std::string(size_t(depth) * 2, ' '))));
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
    if (!writer_ || !allowed(name, name)) return;
    if (depth_ > 0) newLine(depth_);  // the root follows the declaration's line break
    check(xmlTextWriterStartElement(writer_, X(rtrim(name))));
}

void XmlWriter::CREATEATTRIBUTE(std::string_view name, std::string_view value) {
    if (!writer_ || !allowed(name, name) || !allowed(value, name)) return;
    check(xmlTextWriterWriteAttribute(writer_, X(rtrim(name)), X(rtrim(value))));
}

void XmlWriter::ADDPARENT() { ++depth_; }

void XmlWriter::ADDELEMENT(std::string_view name, std::string_view text) {
    if (!writer_ || !allowed(name, name) || !allowed(text, name)) return;
    newLine(depth_);
    check(xmlTextWriterWriteElement(writer_, X(rtrim(name)), X(rtrim(text))));
}

void XmlWriter::ADDSTRINGTEXT(std::string_view markup) {
    if (!writer_) return;
    // Named by the element the markup starts with.
    std::string_view element = markup;
    if (size_t lt = element.find('<'); lt != std::string_view::npos) element.remove_prefix(lt + 1);
    element = element.substr(0, element.find_first_of(" \t\r\n/>"));
    if (!allowed(markup, element)) return;
    newLine(depth_);
    check(xmlTextWriterWriteRaw(writer_, X(std::string(markup))));
}

void XmlWriter::CLOSEPARENT() {
    if (!writer_ || depth_ == 0) return;
    newLine(--depth_);
    check(xmlTextWriterEndElement(writer_));
}

bool XmlWriter::CLOSEXMLFILE() {
    if (!writer_) return false;
    check(xmlTextWriterEndDocument(writer_));
    xmlFreeTextWriter(writer_);  // flushes into the file
    writer_ = nullptr;
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
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
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
