#include "ui/FieldRef.h"

#include <stdexcept>

#include "common/Text.h"

namespace marel {

FieldRef::FieldRef(DataFile& file, int field) {
    const FieldDef& f = file.layout().fields.at(size_t(field));
    ptr_ = file.fieldPtr(field);
    type_ = f.type;
    size_ = f.size;
    places_ = f.places;
    name_ = file.layout().prefix + ":" + f.name;
    file_ = &file;
    index_ = field;
}

FieldRef::FieldRef(DataFile& file, std::string_view field) : FieldRef(file, [&] {
    int i = file.layout().fieldIndex(field);
    if (i < 0) throw std::logic_error("No field " + std::string(field) + " in " + file.label());
    return i;
}()) {}

bool FieldRef::isNumber() const {
    switch (type_) {
        case FieldType::Long:
        case FieldType::Short:
        case FieldType::UShort:
        case FieldType::Byte:
        case FieldType::Decimal: return true;
        default: return false;
    }
}

std::optional<Decimal> FieldRef::number() const {
    switch (type_) {
        case FieldType::Long: return Decimal(*static_cast<LONG*>(ptr_));
        case FieldType::Short: return Decimal(*static_cast<SHORT*>(ptr_));
        case FieldType::UShort: return Decimal(*static_cast<USHORT*>(ptr_));
        case FieldType::Byte: return Decimal(*static_cast<BYTE*>(ptr_));
        case FieldType::Decimal: return Decimal::fromScaled(static_cast<DecField*>(ptr_)->scaled, places_);
        default: return std::nullopt;
    }
}

bool FieldRef::setNumber(const Decimal& v) const {
    // Nothing is rounded on the way in: a value the variable cannot hold exactly is refused.
    if (v.rounded(type_ == FieldType::Decimal ? places_ : 0) != v) return false;
    if (type_ == FieldType::Decimal) {
        try {
            static_cast<DecField*>(ptr_)->scaled = v.toScaled(places_, size_);
            return true;
        } catch (const DecimalError&) {
            return false;
        }
    }
    int64_t lo = 0, hi = 0;
    switch (type_) {
        case FieldType::Long: lo = INT32_MIN; hi = INT32_MAX; break;
        case FieldType::Short: lo = INT16_MIN; hi = INT16_MAX; break;
        case FieldType::UShort: hi = UINT16_MAX; break;
        case FieldType::Byte: hi = UINT8_MAX; break;
        default: return false;
    }
    if (v < Decimal(static_cast<long long>(lo)) || v > Decimal(static_cast<long long>(hi))) return false;
    const int64_t n = v.toInt();
    switch (type_) {
        case FieldType::Long: *static_cast<LONG*>(ptr_) = LONG(n); break;
        case FieldType::Short: *static_cast<SHORT*>(ptr_) = SHORT(n); break;
        case FieldType::UShort: *static_cast<USHORT*>(ptr_) = USHORT(n); break;
        default: *static_cast<BYTE*>(ptr_) = BYTE(n); break;
    }
    return true;
}

bool FieldRef::setString(std::string_view s) const {
    // Control characters are refused on every way text enters a variable, not
    // only through a picture: a NUL would cut the stored text, and the others
    // make the XML files unreadable. A memo may keep its line breaks and tabs.
    if (hasControlCharacter(s, type_ == FieldType::Memo)) return false;
    try {
        static_cast<StringField*>(ptr_)->assign(s, size_t(size_));
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

std::string FieldRef::text() const {
    if (type_ == FieldType::Decimal) return number()->toString(places_);
    if (auto n = number()) return std::to_string(n->toInt());
    if (type_ == FieldType::Date) return static_cast<Date*>(ptr_)->iso();
    return static_cast<StringField*>(ptr_)->str();
}

bool FieldRef::setText(std::string_view plain) const {
    const std::string t = trim(plain);
    if (isNumber()) {
        try {
            return setNumber(t.empty() ? Decimal(0) : Decimal::parse(t));
        } catch (const DecimalError&) {
            return false;
        }
    }
    if (type_ == FieldType::Date) {
        const Date d = Date::fromIso(t);
        if (d.empty() && !t.empty()) return false;
        *static_cast<Date*>(ptr_) = d;
        return true;
    }
    return setString(plain);
}

bool FieldRef::is(std::string_view plain) const {
    const std::string t = trim(plain);
    if (auto n = number()) {
        try {
            return *n == (t.empty() ? Decimal(0) : Decimal::parse(t));
        } catch (const DecimalError&) {
            return false;
        }
    }
    if (type_ == FieldType::Date) return text() == t;
    return static_cast<StringField*>(ptr_)->str() == rtrim(plain);
}

std::string FieldRef::format(const Picture& picture) const {
    if (auto n = number()) {
        if (picture.kind() == Picture::Kind::Time) return picture.formatTime(int32_t(n->toInt()));
        return picture.format(*n);
    }
    if (type_ == FieldType::Date) return picture.format(*static_cast<Date*>(ptr_));
    return picture.format(std::string_view(static_cast<StringField*>(ptr_)->str()));
}

bool FieldRef::accept(const Picture& picture, std::string_view typed) const {
    if (isNumber()) {
        if (picture.kind() == Picture::Kind::Time) {
            auto t = picture.parseTime(typed);
            return t && setNumber(Decimal(*t));
        }
        auto v = picture.parseNumber(typed);
        return v && setNumber(*v);
    }
    if (type_ == FieldType::Date) {
        auto d = picture.parseDate(typed);
        if (!d) return false;
        *static_cast<Date*>(ptr_) = *d;
        return true;
    }
    auto s = picture.parseText(typed);
    return s && setString(*s);
}

}  // namespace marel
