#pragma once
// Placeable Windows metafiles: the file format of one report page. The writer
// produces the few records our pages need; the reader gives them back for the
// player, the text export and the page-number patch.
//
// Coordinates are logical units of the page (the header says how many make an
// inch); text is code page 1250 bytes, drawn with East-European fonts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marel::wmf {

enum Function : uint16_t {
    META_EOF = 0x0000,
    META_SETBKMODE = 0x0102,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_DELETEOBJECT = 0x01F0,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_RECTANGLE = 0x041B,
    META_EXTTEXTOUT = 0x0A32,
};

// Text alignment flags (reference point of ExtTextOut).
enum : uint16_t { TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum : uint16_t { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
enum : uint16_t { BK_TRANSPARENT = 1, BK_OPAQUE = 2 };
enum : uint16_t { PS_SOLID = 0, PS_NULL = 5 };
enum : uint16_t { BS_SOLID = 0, BS_NULL = 1 };
constexpr uint8_t EASTEUROPE_CHARSET = 238;
constexpr int PLACEABLE_HEADER = 22;  // bytes before the standard header

struct Rect16 {
    int16_t left = 0, top = 0, right = 0, bottom = 0;
};

struct LogFont {
    int16_t height = 0;  // negative: the character height (em) in logical units
    int16_t width = 0;
    int16_t weight = 400;
    bool italic = false;
    bool underline = false;
    uint8_t charset = EASTEUROPE_CHARSET;
    std::string face = "Arial";
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

struct Pen {
    uint16_t style = PS_SOLID;
    int16_t width = 0;
    uint32_t colour = 0;  // 0xRRGGBB
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
    uint16_t style = BS_NULL;
    uint32_t colour = 0;
    friend bool operator==(const Brush&, const Brush&) = default;
};

class Writer {
public:
    Writer(int16_t width, int16_t height, uint16_t unitsPerInch);

    // Objects go to the lowest free place of the object table; the number
    // returned is what select and remove take.
    int createFont(const LogFont& font);
    int createPen(const Pen& pen);
    int createBrush(const Brush& brush);
    void select(int object);
    void remove(int object);

    void setTextAlign(uint16_t flags);
    void setBkMode(uint16_t mode);
    // Text in code page 1250; with a clipping box when one is given.
    void textOut(int16_t x, int16_t y, std::string_view cp1250, const Rect16* clip = nullptr);
    void moveTo(int16_t x, int16_t y);
    void lineTo(int16_t x, int16_t y);
    void rectangle(const Rect16& r);

    // The whole file: placeable header, standard header, records, end record.
    std::string bytes() const;
    bool save(const std::string& path) const;

private:
    void record(uint16_t function, std::string_view params);
    int allocate();

    int16_t width_, height_;
    uint16_t inch_;
    std::string body_;
    uint32_t maxRecord_ = 3;
    std::vector<bool> objects_;
};

struct Record {
    uint16_t function = 0;
    std::string params;  // the bytes after the function number
    int16_t word(size_t i) const;
};

struct Metafile {
    Rect16 bounds;
    uint16_t inch = 0;
    std::vector<Record> records;

    int width() const { return bounds.right - bounds.left; }
    int height() const { return bounds.bottom - bounds.top; }

    // Nothing when the bytes are not a placeable metafile. Records are read
    // up to the end the header gives, the end record or a damaged record.
    static std::optional<Metafile> parse(std::string_view bytes);
    static std::optional<Metafile> load(const std::string& path);
};

// Decoded records (nothing when the record is of another kind or too short).
struct Text {
    int16_t x = 0, y = 0;
    uint16_t options = 0;
    Rect16 clip;
    std::string text;  // code page 1250
};
std::optional<Text> textOf(const Record& r);
std::optional<LogFont> fontOf(const Record& r);
std::optional<Pen> penOf(const Record& r);
std::optional<Brush> brushOf(const Record& r);
std::optional<Rect16> rectangleOf(const Record& r);

// Whole file as bytes, nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path);
bool writeFile(const std::string& path, std::string_view bytes);

}  // namespace marel::wmf
