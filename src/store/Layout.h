#pragma once
// Field and key descriptions of a data file: what the generic store code needs
// to map a record buffer onto its table and indexes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Date.h"
#include "common/Decimal.h"
#include "common/Text.h"

namespace marel {

using LONG = int32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using BYTE = uint8_t;

enum class FieldType { Long, Short, UShort, Byte, Date, String, Decimal, Memo };

struct FieldDef {
    const char* name;
    FieldType type;
    int size;    // characters of STRING/MEMO, digits of DECIMAL, bytes otherwise
    int places;  // DECIMAL places
    size_t offset;

    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }
};

struct KeyComponent {
    int field;
    bool desc;
};

struct KeyDef {
    std::string name;
    bool unique;
    std::vector<KeyComponent> components;
    // Unique only among the records whose key is filled in: any number of
    // records may leave it blank (a recipient whose OIB is not known yet, or
    // the blank record an insert form adds the moment it opens).
    bool uniqueWhenNotBlank = false;
};

// Marks a unique key of text fields whose blank value may repeat.
inline constexpr bool UNIQUE_WHEN_NOT_BLANK = true;

class Layout {
public:
    struct KeySource {
        const char* name;
        bool unique;
        std::vector<std::string> components;  // field names, "-" in front for descending
        bool uniqueWhenNotBlank = false;
    };
    Layout(const char* label, const char* prefix, int recordBytes, bool autoNumber,
           std::vector<FieldDef> fields, std::vector<KeySource> keys);

    std::string label;
    std::string prefix;
    int recordBytes;  // the documented fixed width, memos excluded
    bool autoNumber;  // OZNAKA assigned by the update form
    std::vector<FieldDef> fields;
    std::vector<KeyDef> keys;

    // The file's name on disk in the old fixed-width sense: the label cut to eight.
    std::string diskName() const { return label.substr(0, 8); }
    int fieldIndex(std::string_view name) const;  // -1 when absent
    int keyIndex(std::string_view name) const;
    // "OSO:KeyOib" style name used in messages about a key.
    std::string keyDisplayName(int key) const;
};

}  // namespace marel
