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

// ISO 8859-2 bytes of a UTF-8 text. The program keeps code page 1250, which
// has a few characters the barcode's code page lacks (typographic quotes and
// dashes, the ellipsis, the euro sign ...): they become their plain
// counterparts, anything else '?'.
std::string toIso88592(std::string_view utf8);

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
