#include "report/Wmf.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace marel::wmf {

namespace {

void put16(std::string& s, uint16_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}
void put32(std::string& s, uint32_t v) {
    put16(s, uint16_t(v & 0xFFFF));
    put16(s, uint16_t(v >> 16));
}
uint16_t get16(std::string_view s, size_t at) {
    return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}
uint32_t get32(std::string_view s, size_t at) { return get16(s, at) | uint32_t(get16(s, at + 2)) << 16; }

std::string words(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) put16(s, uint16_t(v));
    return s;
}

void putColour(std::string& s, uint32_t rgb) {
    s += char(rgb >> 16 & 0xFF);
    s += char(rgb >> 8 & 0xFF);
    s += char(rgb & 0xFF);
    s += '\0';
}
uint32_t getColour(std::string_view s, size_t at) {
    return uint32_t(uint8_t(s[at])) << 16 | uint32_t(uint8_t(s[at + 1])) << 8 | uint8_t(s[at + 2]);
}

constexpr uint32_t PLACEABLE_KEY = 0x9AC6CDD7;
constexpr int FACE_BYTES = 32;

}  // namespace

// ---- writing

Writer::Writer(int16_t width, int16_t height, uint16_t unitsPerInch)
    : width_(width), height_(height), inch_(unitsPerInch) {
    record(META_SETWINDOWORG, words({0, 0}));
    record(META_SETWINDOWEXT, words({height, width}));
}

void Writer::record(uint16_t function, std::string_view params) {
    std::string p(params);
    if (p.size() % 2) p += '\0';
    uint32_t size = uint32_t(3 + p.size() / 2);
    put32(body_, size);
    put16(body_, function);
    body_ += p;
    maxRecord_ = std::max(maxRecord_, size);
}

int Writer::allocate() {
    auto free = std::find(objects_.begin(), objects_.end(), false);
    if (free != objects_.end()) {
        *free = true;
        return int(free - objects_.begin());
    }
    objects_.push_back(true);
    return int(objects_.size()) - 1;
}

int Writer::createFont(const LogFont& f) {
    std::string p = words({f.height, f.width, 0, 0, f.weight});
    p += char(f.italic);
    p += char(f.underline);
    p += '\0';                  // strike-out
    p += char(f.charset);
    p.append(3, '\0');         // output and clip precision, quality
    p += char(0x22);            // variable pitch, swiss family
    std::string face = f.face.substr(0, FACE_BYTES - 1);
    face.resize(FACE_BYTES, '\0');
    record(META_CREATEFONTINDIRECT, p + face);
    return allocate();
}

int Writer::createPen(const Pen& pen) {
    std::string p = words({pen.style, pen.width, 0});
    putColour(p, pen.colour);
    record(META_CREATEPENINDIRECT, p);
    return allocate();
}

int Writer::createBrush(const Brush& brush) {
    std::string p = words({brush.style});
    putColour(p, brush.colour);
    put16(p, 0);  // hatch
    record(META_CREATEBRUSHINDIRECT, p);
    return allocate();
}

void Writer::select(int object) { record(META_SELECTOBJECT, words({object})); }

void Writer::remove(int object) {
    record(META_DELETEOBJECT, words({object}));
    if (object >= 0 && size_t(object) < objects_.size()) objects_[size_t(object)] = false;
}

void Writer::setTextAlign(uint16_t flags) { record(META_SETTEXTALIGN, words({flags})); }
void Writer::setBkMode(uint16_t mode) { record(META_SETBKMODE, words({mode})); }

void Writer::textOut(int16_t x, int16_t y, std::string_view text, const Rect16* clip) {
    std::string p = words({y, x, int(text.size()), clip ? ETO_CLIPPED : 0});
    if (clip) p += words({clip->left, clip->top, clip->right, clip->bottom});
    p += text;
    record(META_EXTTEXTOUT, p);
}

void Writer::moveTo(int16_t x, int16_t y) { record(META_MOVETO, words({y, x})); }
void Writer::lineTo(int16_t x, int16_t y) { record(META_LINETO, words({y, x})); }
void Writer::rectangle(const Rect16& r) { record(META_RECTANGLE, words({r.bottom, r.right, r.top, r.left})); }

std::string Writer::bytes() const {
    std::string out;
    put32(out, PLACEABLE_KEY);
    put16(out, 0);
    for (int v : {0, 0, int(width_), int(height_)}) put16(out, uint16_t(v));
    put16(out, inch_);
    put32(out, 0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < out.size(); i += 2) checksum ^= get16(out, i);
    put16(out, checksum);

    constexpr uint32_t headerWords = 9, eofWords = 3;
    put16(out, 1);  // in a file
    put16(out, headerWords);
    put16(out, 0x0300);
    put32(out, uint32_t(headerWords + body_.size() / 2 + eofWords));
    put16(out, uint16_t(objects_.size()));
    put32(out, maxRecord_);
    put16(out, 0);
    out += body_;
    put32(out, eofWords);
    put16(out, META_EOF);
    return out;
}

bool Writer::save(const std::string& path) const { return writeFile(path, bytes()); }

// ---- reading

int16_t Record::word(size_t i) const { return 2 * i + 1 < params.size() ? int16_t(get16(params, 2 * i)) : 0; }

std::optional<Metafile> Metafile::parse(std::string_view b) {
    if (b.size() < PLACEABLE_HEADER + 18 || get32(b, 0) != PLACEABLE_KEY) return std::nullopt;
    Metafile m;
    m.bounds = {int16_t(get16(b, 6)), int16_t(get16(b, 8)), int16_t(get16(b, 10)), int16_t(get16(b, 12))};
    m.inch = get16(b, 14);
    size_t at = PLACEABLE_HEADER + 2 * size_t(get16(b, 24));
    size_t end = std::min(b.size(), PLACEABLE_HEADER + 2 * size_t(get32(b, 28)));
    while (at + 6 <= end) {
        size_t size = 2 * size_t(get32(b, at));
        if (size < 6 || at + size > end) break;
        Record r{get16(b, at + 4), std::string(b.substr(at + 6, size - 6))};
        if (r.function == META_EOF) break;
        m.records.push_back(std::move(r));
        at += size;
    }
    return m;
}

std::optional<Metafile> Metafile::load(const std::string& path) {
    auto bytes = readFile(path);
    if (!bytes) return std::nullopt;
    return parse(*bytes);
}

std::optional<Text> textOf(const Record& r) {
    if (r.function != META_EXTTEXTOUT || r.params.size() < 8) return std::nullopt;
    Text t;
    t.y = r.word(0);
    t.x = r.word(1);
    size_t length = uint16_t(r.word(2));
    t.options = uint16_t(r.word(3));
    size_t at = 8;
    if (t.options & (ETO_CLIPPED | ETO_OPAQUE)) {
        t.clip = {r.word(4), r.word(5), r.word(6), r.word(7)};
        at = 16;
    }
    if (at + length > r.params.size()) return std::nullopt;
    t.text = r.params.substr(at, length);
    return t;
}

std::optional<LogFont> fontOf(const Record& r) {
    if (r.function != META_CREATEFONTINDIRECT || r.params.size() < 18) return std::nullopt;
    LogFont f;
    f.height = r.word(0);
    f.width = r.word(1);
    f.weight = r.word(4);
    f.italic = r.params[10] != 0;
    f.underline = r.params[11] != 0;
    f.charset = uint8_t(r.params[13]);
    std::string_view face = std::string_view(r.params).substr(18);
    f.face = std::string(face.substr(0, face.find('\0')));
    return f;
}

std::optional<Pen> penOf(const Record& r) {
    if (r.function != META_CREATEPENINDIRECT || r.params.size() < 10) return std::nullopt;
    return Pen{uint16_t(r.word(0)), r.word(1), getColour(r.params, 6)};
}

std::optional<Brush> brushOf(const Record& r) {
    if (r.function != META_CREATEBRUSHINDIRECT || r.params.size() < 6) return std::nullopt;
    return Brush{uint16_t(r.word(0)), getColour(r.params, 2)};
}

std::optional<Rect16> rectangleOf(const Record& r) {
    if (r.function != META_RECTANGLE || r.params.size() < 8) return std::nullopt;
    return Rect16{r.word(3), r.word(2), r.word(1), r.word(0)};
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

}  // namespace marel::wmf
