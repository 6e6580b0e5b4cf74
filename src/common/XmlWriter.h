#pragma once
// The writer of the statutory XML files (JOPPD, ID-1). The program describes a
// document in writing order: create a parent, give its attributes, add it,
// add elements with their texts, close the parent. Element texts and attribute
// values are escaped here, so a payer called "Horvat & sinovi" still gives a
// well-formed file; only ADDSTRINGTEXT writes markup as it is. Each element
// starts on a line of its own, indented by its depth, so a bookkeeper can read
// the file in any editor.
//
// The document is written beside its final name and put in place by
// CLOSEXMLFILE, so a run that fails never leaves half a report where the
// previous one was. A document given a schema is checked against it in
// between: one that breaks it never gets its name.
#include <boost/core/noncopyable.hpp>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace marel {

class XmlSchema;

class XmlWriter : private boost::noncopyable {
public:
    XmlWriter() = default;
    ~XmlWriter();  // a file not closed is discarded

    // Starts the file `path` with the XML declaration; it replaces a file of
    // that name when it is closed. False when the file cannot be created.
    bool CREATEXMLFILE(const std::string& path, std::string_view version = "1.0",
                       std::string_view encoding = "UTF-8");
    // Starts an element inside the current one; its attributes follow.
    void CREATEPARENT(std::string_view name);
    void CREATEATTRIBUTE(std::string_view name, std::string_view value);
    // Makes the element just created the current one.
    void ADDPARENT();
    // A child of the current element holding `text`.
    void ADDELEMENT(std::string_view name, std::string_view text);
    // Markup written into the current element as it is.
    void ADDSTRINGTEXT(std::string_view markup);
    // Ends the current element.
    void CLOSEPARENT();
    // Ends the document and puts the file in place. False when anything on
    // the way failed (a text XML cannot carry among them: no parser would read
    // the file, or a document its schema does not accept); the file of that
    // name is then left as it was and nothing of this run remains.
    bool CLOSEXMLFILE();

    // The schema the finished document must satisfy before it gets its name
    // (kept by the caller for the writer's lifetime; null: none).
    void checkAgainst(const XmlSchema* schema) { schema_ = schema; }

    // Why the file was not written: a text with a character XML cannot
    // carry, or the schema's complaint, naming the element ("" when nothing
    // was refused that way).
    const std::string& error() const { return error_; }

    // Text made safe for element content and attribute values.
    static std::string escape(std::string_view text);
    // The first character of a text that an XML 1.0 document cannot contain
    // (control characters other than tab and line breaks, U+FFFE, U+FFFF,
    // surrogates, malformed UTF-8), as "U+0001"; "" when there is none.
    static std::string forbiddenCharacter(std::string_view text);

private:
    void newLine(int depth);
    // The markup itself, written as libxml2's text writer writes it: a start
    // tag stays open for attributes until content or an end follows.
    void raw(std::string_view markup);
    void startElement(std::string_view name);
    void endElement();
    void flush(bool last);
    // False, and the file failed with a message naming `where`, when `text`
    // holds a character XML cannot carry.
    bool allowed(std::string_view text, std::string_view where);
    void discard();

    struct Open {
        std::string name;
        bool tagOpen;  // its start tag still takes attributes
    };
    std::vector<Open> open_;
    std::string out_;  // written into the file in large pieces
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string temp_;
    int depth_ = 0;
    bool failed_ = false;
    std::string error_;
    const XmlSchema* schema_ = nullptr;
};

// The longest start of a UTF-8 text that fits into `bytes` bytes without
// splitting a character.
std::string_view utf8CutBytes(std::string_view text, size_t bytes);

// A name field as the XML files carry it: trailing blanks dropped, every run
// of blanks (and control characters) written as one blank, malformed UTF-8
// replaced, at most 100 bytes cut between characters.
std::string PRIJENOS(std::string_view text);

}  // namespace marel
