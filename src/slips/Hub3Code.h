#pragma once
// The 2D barcode of a payment slip: the transfer as the record banks read
// from a slip (lines separated by line feeds, ISO 8859-2), encoded as a
// PDF417 symbol whose modules the slip report draws as boxes.
#include <string>
#include <string_view>
#include <vector>

#include "slips/Transfers.h"

namespace marel {

// The program's currency, the second line of the record.
inline constexpr const char* SLIP_CURRENCY = "HRK";

// A text as a slip carries it, on paper and in the barcode alike: only
// characters ISO 8859-2 holds. The program keeps code page 1250, which has
// a few characters the barcode's code page lacks (typographic quotes and
// dashes, the ellipsis, the euro sign ...): they become their plain
// counterparts. Cyrillic becomes Croatian Latin, a control character a
// blank (a line feed would end the barcode's line early), anything else
// '?'. `lettersLost`, when given, is set when a character had to be
// transliterated or replaced, which the check list names.
std::string slipText(std::string_view utf8, bool* lettersLost = nullptr);

// ISO 8859-2 bytes of slipText(utf8).
std::string toIso88592(std::string_view utf8);

// A Croatian account the banks pay to: 21 characters, "HR", check digits,
// the bank's seven digits and the ten of the account, the check digits right.
bool payableIban(std::string_view iban);

// The largest amount the barcode's fifteen digits of lipa hold.
bool amountFitsBarcode(const Decimal& amount);

// The record of one transfer, in ISO 8859-2, every value cut to the length
// its line allows.
std::string hub3Record(const SlipPayer& payer, const Transfer& transfer);

// The modules of a symbol, row by row; set means dark.
struct BarcodeMatrix {
    int rows = 0, columns = 0;
    std::vector<bool> modules;
    std::string error;  // why there is no symbol
    bool at(int row, int column) const { return modules[size_t(row) * size_t(columns) + size_t(column)]; }
    bool empty() const { return rows == 0; }
};

// PDF417 of the bytes as they are (byte and text compaction, no character
// set marker), error correction level 4, `dataColumns` data columns.
BarcodeMatrix pdf417(std::string_view bytes, int dataColumns = 9);

}  // namespace marel
