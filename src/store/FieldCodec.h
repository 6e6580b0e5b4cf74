#pragma once
// How each kind of field moves between its member in a record, its column,
// its text and the empty value: one set of functions per FieldType. The
// store's generic code asks the field's codec instead of switching over its
// type, so a kind of field is described in one place.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "common/Date.h"
#include "common/Decimal.h"
#include "store/Engine.h"

namespace marel {

struct FieldDef;
enum class FieldType;

// A value as it is kept in a column (a blob only where another program
// stored one, read back into a reading position).
struct SqlValue {
    enum Kind { Null, Int, Text, Blob } kind = Null;
    int64_t i = 0;
    std::string s;
    friend bool operator==(const SqlValue&, const SqlValue&) = default;
};

// A field's value in its own kind, for what formats it (a list's picture).
using TypedValue = std::variant<std::string, Decimal, Date, int64_t>;

// `field` is the member in the record (FieldDef::at); `f` describes it.
struct FieldCodec {
    const char* columnType;  // what follows the column's name in CREATE TABLE
    bool croatianOrder;      // the column sorts and compares the Croatian way
    void (*clear)(void* field);
    SqlValue (*value)(const void* field, const FieldDef& f);
    // Text is bound in place: step the statement before the field changes.
    void (*bind)(const void* field, const FieldDef& f, Statement& st, int index);
    void (*read)(void* field, const FieldDef& f, Statement& st, int column);
    // Numbers plain, decimals with a point and their places, dates ISO.
    std::string (*text)(const void* field, const FieldDef& f);
    // The reverse of text(); false (the field unchanged) when the text does
    // not fit or holds a control character. May throw for text the code page
    // cannot hold.
    bool (*setText)(void* field, const FieldDef& f, const std::string& text);
    // The value `text` would give the field, as stored; Null with ok false
    // when setText would refuse it.
    SqlValue (*parse)(const FieldDef& f, const std::string& text, bool& ok);
    // Exchanges the field with a kept copy: numbers, decimals and dates in
    // `number`, texts in `text`.
    void (*swap)(void* field, int64_t& number, std::string& text);
    TypedValue (*typed)(const void* field, const FieldDef& f);
};

// In the order of FieldType. Reached inline: every field of every row read
// or written asks for its codec.
extern const FieldCodec kFieldCodecs[8];
inline const FieldCodec& codecOf(FieldType type) { return kFieldCodecs[static_cast<size_t>(type)]; }

}  // namespace marel
