#pragma once
// Field and key descriptions of a data file: what the generic store code needs
// to map a record buffer onto its table and indexes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "common/Date.h"
#include "common/Decimal.h"
#include "common/Text.h"
#include "store/FieldCodec.h"

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
    void* (*at)(void* record);  // the field's member in a record of its file

    bool isText() const { return type == FieldType::String || type == FieldType::Memo; }
    const FieldCodec& codec() const { return codecOf(type); }
};

// What a member of a record struct is as a field.
template <FieldType Type, int Size, int Places = 0>
struct FieldKindOf {
    static constexpr FieldType type = Type;
    static constexpr int size = Size, places = Places;
};
template <class T>
struct FieldKind;
template <>
struct FieldKind<LONG> : FieldKindOf<FieldType::Long, 4> {};
template <>
struct FieldKind<SHORT> : FieldKindOf<FieldType::Short, 2> {};
template <>
struct FieldKind<USHORT> : FieldKindOf<FieldType::UShort, 2> {};
template <>
struct FieldKind<BYTE> : FieldKindOf<FieldType::Byte, 1> {};
template <>
struct FieldKind<Date> : FieldKindOf<FieldType::Date, 4> {};
template <size_t N>
struct FieldKind<String<N>> : FieldKindOf<FieldType::String, int(N)> {};
template <size_t N>
struct FieldKind<Memo<N>> : FieldKindOf<FieldType::Memo, int(N)> {};
template <int D, int P>
struct FieldKind<Dec<D, P>> : FieldKindOf<FieldType::Decimal, D, P> {};

namespace detail {
template <class R, class T>
std::type_identity<R> recordOf(T R::*);
template <class R, class T>
std::type_identity<T> memberOf(T R::*);
template <auto Member>
void* memberAt(void* record) {
    using Record = typename decltype(recordOf(Member))::type;
    return &(static_cast<Record*>(record)->*Member);
}
}  // namespace detail

// The field `Member` of a record struct, named `name`: `fieldOf<&OSOBE_REC::IME>("IME")`.
template <auto Member>
FieldDef fieldOf(const char* name) {
    using Kind = FieldKind<typename decltype(detail::memberOf(Member))::type>;
    return {name, Kind::type, Kind::size, Kind::places, &detail::memberAt<Member>};
}

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

// DUPLICATE keys may repeat; UNIQUE ones may not; UNIQUE_WHEN_NOT_BLANK is
// a unique key of text fields whose blank value may repeat.
enum class KeyKind { DUPLICATE, UNIQUE, UNIQUE_WHEN_NOT_BLANK };

class Layout {
public:
    struct KeySource {
        const char* name;
        KeyKind kind;
        const char* components;  // field names parted by commas, "-" in front for descending
    };
    Layout(const char* label, const char* prefix, int recordBytes, bool autoNumber,
           std::vector<FieldDef> fields, std::vector<KeySource> keys);

    std::string label;
    std::string prefix;  // the label itself when given empty
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
