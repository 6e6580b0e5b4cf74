#pragma once
// A reference to the variable a control shows and edits: a field of a data
// file's record buffer (OSO:IME) or a procedure's own variable (LOC:PROZA).
// Controls never hold values of their own; they format the variable through
// their picture and write typed text back only when the picture accepts it,
// so nothing a picture refuses ever reaches a buffer.
#include <optional>
#include <string>
#include <string_view>

#include "common/Picture.h"
#include "store/DataFile.h"

namespace marel {

class FieldRef {
public:
    FieldRef() = default;
    FieldRef(DataFile& file, int field);
    // By the field's name ("IME"); an unknown name is a programming error.
    FieldRef(DataFile& file, std::string_view field);

    template <size_t N>
    FieldRef(String<N>& v, std::string name = "") : FieldRef(&v, FieldType::String, int(N), 0, std::move(name)) {}
    template <size_t N>
    FieldRef(Memo<N>& v, std::string name = "") : FieldRef(&v, FieldType::Memo, int(N), 0, std::move(name)) {}
    template <int D, int P>
    FieldRef(Dec<D, P>& v, std::string name = "") : FieldRef(&v, FieldType::Decimal, D, P, std::move(name)) {}
    FieldRef(LONG& v, std::string name = "") : FieldRef(&v, FieldType::Long, 4, 0, std::move(name)) {}
    FieldRef(SHORT& v, std::string name = "") : FieldRef(&v, FieldType::Short, 2, 0, std::move(name)) {}
    FieldRef(USHORT& v, std::string name = "") : FieldRef(&v, FieldType::UShort, 2, 0, std::move(name)) {}
    FieldRef(BYTE& v, std::string name = "") : FieldRef(&v, FieldType::Byte, 1, 0, std::move(name)) {}
    FieldRef(Date& v, std::string name = "") : FieldRef(&v, FieldType::Date, 4, 0, std::move(name)) {}

    bool bound() const { return ptr_ != nullptr; }
    // "OSO:IME" for a buffer field, else the name given.
    const std::string& name() const { return name_; }
    // The data file and field index of a buffer field (nullptr, -1 otherwise).
    DataFile* file() const { return file_; }
    int fieldIndex() const { return index_; }
    FieldType type() const { return type_; }
    bool isNumber() const;

    // The value in plain form: numbers without grouping and with a decimal
    // point, dates ISO, text as is (the form DataFile::fieldText uses).
    std::string text() const;
    // Sets the value from the plain form (a reference writes through, so
    // this is const like assigning through a pointer); false (nothing changed) when the
    // text is not of the field's kind or does not fit it.
    bool setText(std::string_view plain) const;
    // Does the variable hold this plain value (numbers compared as numbers,
    // text without trailing blanks)?
    bool is(std::string_view plain) const;

    // The value as the picture shows it.
    std::string format(const Picture& picture) const;
    // Reads typed text through the picture and stores it; false, with the
    // variable unchanged, when the picture refuses the text or the value
    // does not fit the variable (an integer with decimals, too many digits).
    bool accept(const Picture& picture, std::string_view typed) const;

    friend bool operator==(const FieldRef& a, const FieldRef& b) { return a.ptr_ == b.ptr_; }

private:
    FieldRef(void* ptr, FieldType type, int size, int places, std::string name)
        : ptr_(ptr), type_(type), size_(size), places_(places), name_(std::move(name)) {}
    std::optional<Decimal> number() const;
    bool setNumber(const Decimal& v) const;
    bool setString(std::string_view s) const;

    void* ptr_ = nullptr;
    FieldType type_ = FieldType::String;
    int size_ = 0;
    int places_ = 0;
    std::string name_;
    DataFile* file_ = nullptr;
    int index_ = -1;
};

}  // namespace marel
