#include "ui/ListFormat.h"

#include <stdexcept>

namespace marel {

namespace {

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    ListFormat run() {
        ListFormat f;
        while (i_ < s_.size()) {
            if (peek('[')) group(f);
            else f.columns.push_back(column());
        }
        if (f.columns.empty()) fail("no columns");
        return f;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::invalid_argument("List format \"" + std::string(s_) + "\": " + what + " at " + std::to_string(i_));
    }
    bool peek(char c) const { return i_ < s_.size() && s_[i_] == c; }
    bool take(char c) {
        if (!peek(c)) return false;
        ++i_;
        return true;
    }
    int number() {
        size_t b = i_;
        int v = 0;
        while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9' && i_ - b < 6) v = v * 10 + (s_[i_++] - '0');
        if (i_ == b) fail("number expected");
        return v;
    }
    // "(n)" after an alignment or a group; 0 when absent.
    int parenthesised() {
        if (!take('(')) return 0;
        int v = number();
        if (!take(')')) fail("')' expected");
        return v;
    }
    bool alignment(ColumnAlign& a) {
        if (i_ >= s_.size()) return false;
        switch (s_[i_]) {
            case 'L': a = ColumnAlign::Left; break;
            case 'R': a = ColumnAlign::Right; break;
            case 'C': a = ColumnAlign::Center; break;
            case 'D': a = ColumnAlign::Decimal; break;
            default: return false;
        }
        ++i_;
        return true;
    }
    template <class T>
    void flags(T& t) {
        for (;;) {
            if (take('|')) t.rightBorder = true;
            else if (take('M')) t.resizable = true;
            else return;
        }
    }
    // "~title~" and its optional alignment; the alignment defaults to `data`.
    template <class T>
    void heading(T& t, ColumnAlign data) {
        t.titleAlign = data;
        if (!take('~')) return;
        size_t end = s_.find('~', i_);
        if (end == std::string_view::npos) fail("unterminated title");
        t.title = std::string(s_.substr(i_, end - i_));
        i_ = end + 1;
        if (alignment(t.titleAlign)) t.titleIndent = parenthesised();
    }

    ListColumn column() {
        int width = number();
        ColumnAlign align;
        if (!alignment(align)) fail("alignment expected");
        int indent = parenthesised();
        struct {
            bool rightBorder = false, resizable = false;
            std::string title;
            ColumnAlign titleAlign = ColumnAlign::Left;
            int titleIndent = 0;
        } h;
        flags(h);
        heading(h, align);
        if (!take('@')) fail("'@' expected");
        size_t end = s_.find('@', i_);
        if (end == std::string_view::npos) fail("unterminated picture");
        std::string_view pic = s_.substr(i_, end - i_);
        i_ = end + 1;
        ListColumn c(Picture::parse(pic));
        c.width = width;
        c.align = align;
        c.indent = indent;
        c.rightBorder = h.rightBorder;
        c.resizable = h.resizable;
        c.title = std::move(h.title);
        c.titleAlign = h.titleAlign;
        c.titleIndent = h.titleIndent;
        return c;
    }

    void group(ListFormat& f) {
        take('[');
        ListGroup g;
        g.first = int(f.columns.size());
        const int index = int(f.groups.size());
        while (!take(']')) {
            if (i_ >= s_.size()) fail("']' expected");
            if (peek('[')) fail("nested group");
            f.columns.push_back(column());
            f.columns.back().group = index;
        }
        g.count = int(f.columns.size()) - g.first;
        if (g.count == 0) fail("empty group");
        g.width = parenthesised();
        flags(g);
        heading(g, ColumnAlign::Left);
        f.groups.push_back(std::move(g));
    }

    std::string_view s_;
    size_t i_ = 0;
};

}  // namespace

ListFormat ListFormat::parse(std::string_view format) { return Parser(format).run(); }

}  // namespace marel
