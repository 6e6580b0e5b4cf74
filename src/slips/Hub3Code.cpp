#include "slips/Hub3Code.h"

#include <iconv.h>
#include <zint.h>

#include <cstdint>
#include <cstdio>
#include <memory>

#include "common/CheckDigits.h"
#include "common/Letters.h"
#include "common/Text.h"

namespace marel {

namespace {

// What the barcode's code page lacks, in its plain form.
const char* plainForm(char32_t c) {
    switch (c) {
        case U'\u201A': case U'\u2018': case U'\u2019': return "'";
        case U'\u201E': case U'\u201C': case U'\u201D': case U'\u00AB': case U'\u00BB': return "\"";
        case U'\u2013': case U'\u2014': case U'\u00AD': return "-";
        case U'\u2026': return "...";
        case U'\u20AC': return "EUR";
        case U'\u2022': case U'\u00B7': return "*";
        case U'\u2039': return "<";
        case U'\u203A': return ">";
        case U'\u00A9': return "(c)";
        case U'\u00AE': return "(R)";
        case U'\u2122': return "TM";
        case U'\u00B1': return "+-";
        case U'\u00B5': return "u";
        case U'\u00A6': return "|";
        case U'\u00AC': return "-";
        default: return "?";
    }
}

// The one ISO 8859-2 byte of a character, or nothing.
class Converter {
public:
    Converter() : cd_(iconv_open("ISO-8859-2", "UTF-32LE")) {}
    ~Converter() {
        if (cd_ != iconv_t(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool convert(char32_t c, char& out) {
        if (c < 0x80) {
            out = char(c);
            return true;
        }
        if (cd_ == iconv_t(-1) || c == 0xFFFD) return false;
        unsigned char in[4] = {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), uint8_t(c >> 24)};
        char* inp = reinterpret_cast<char*>(in);
        size_t inLeft = 4, outLeft = 1;
        char* outp = &out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return iconv(cd_, &inp, &inLeft, &outp, &outLeft) != size_t(-1) && outLeft == 0;
    }

private:
    iconv_t cd_;
};

// A value of the record, cut to the length its line allows.
std::string field(std::string_view utf8, size_t length) {
    std::string bytes = trim(toIso88592(utf8));
    if (bytes.size() > length) bytes.resize(length);
    return rtrim(bytes);
}

}  // namespace

std::string slipText(std::string_view utf8, bool* lettersLost) {
    // A control character would break the barcode's lines: a blank keeps the
    // letters after it in their place.
    const std::string text = blankControlCharacters(utf8);
    Converter converter;
    std::string out;
    bool lost = false;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = utf8Next(text, i);
        char b;
        if (converter.convert(c, b)) {
            utf8Append(out, c);
        } else if (const std::string latin = cyrillicToLatin(c); !latin.empty()) {
            out += latin;
            lost = true;
        } else {
            const char* plain = plainForm(c);
            lost = lost || plain[0] == '?';
            out += plain;
        }
    }
    if (lettersLost) *lettersLost = lost;
    return out;
}

std::string toIso88592(std::string_view utf8) {
    const std::string text = slipText(utf8);
    Converter converter;
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char b = '?';
        converter.convert(utf8Next(text, i), b);
        out += b;
    }
    return out;
}

bool payableIban(std::string_view iban) {
    if (iban.size() != 21) return false;
    return hrIban(iban.substr(4, 7), iban.substr(11)) == iban;
}

bool amountFitsBarcode(const Decimal& amount) { return amount.abs() < Decimal::parse("10000000000000"); }

std::string hub3Record(const SlipPayer& payer, const Transfer& t) {
    // Lipa, fifteen digits with leading zeros. A slip cannot pay a negative
    // amount, nor one beyond its digits; the check list keeps such a slip
    // from being printed.
    const int64_t lipa = t.amount.sign() > 0 && amountFitsBarcode(t.amount) ? t.amount.toScaled(2, 15) : 0;
    char amount[24];
    std::snprintf(amount, sizeof amount, "%015lld", static_cast<long long>(lipa));
    const std::string place = trim(payer.postcode + " " + payer.place);
    // A bank pays to what the barcode says: an account without its bank or
    // with the wrong check digits goes in as no account at all.
    const std::string lines[] = {
        "HRVHUB30",
        SLIP_CURRENCY,
        amount,
        field(payer.name, 30),
        field(payer.address, 27),
        field(place, 27),
        field(t.payeeName, 25),
        field(t.payeeStreet, 25),
        field(t.payeePlace, 27),
        payableIban(t.iban) ? t.iban : std::string(),
        field(t.model, 4),
        field(t.reference, 22),
        "",  // purpose code
        field(t.description, 35),
    };
    std::string record;
    for (const std::string& l : lines) record += (record.empty() ? "" : "\n") + l;
    return record;
}

BarcodeMatrix pdf417(std::string_view bytes, int dataColumns) {
    BarcodeMatrix m;
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol) {
        m.error = "Nema memorije za crtični kod.";
        return m;
    }
    symbol->symbology = BARCODE_PDF417;
    symbol->input_mode = DATA_MODE;
    symbol->option_1 = 4;  // error correction level
    symbol->option_2 = dataColumns;
    const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                   int(bytes.size()));
    if (rc >= ZINT_ERROR) {
        m.error = symbol->errtxt;
        return m;
    }
    m.rows = symbol->rows;
    m.columns = symbol->width;
    m.modules.resize(size_t(m.rows) * size_t(m.columns));
    for (int r = 0; r < m.rows; ++r)
        for (int c = 0; c < m.columns; ++c)
            m.modules[size_t(r) * size_t(m.columns) + size_t(c)] = (symbol->encoded_data[r][c >> 3] >> (c & 7)) & 1;
    return m;
}

}  // namespace marel
