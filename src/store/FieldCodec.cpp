#include "store/FieldCodec.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>

#include "common/Letters.h"
#include "common/Text.h"
#include "store/Layout.h"

namespace marel {

namespace {

template <class T>
T& as(void* p) {
    return *static_cast<T*>(p);
}
template <class T>
const T& as(const void* p) {
    return *static_cast<const T*>(p);
}

// LONG, SHORT, USHORT, BYTE: whole numbers within their type's range.
template <class T>
struct Whole {
    using Storage = T;
    static constexpr const char* column = " INTEGER NOT NULL DEFAULT 0";
    static constexpr bool croatian = false;
    static void clear(void* p) { as<T>(p) = 0; }
    static SqlValue value(const void* p, const FieldDef&) { return {SqlValue::Int, as<T>(p), {}}; }
    static void bind(const void* p, const FieldDef&, Statement& st, int index) { st.bindInt(index, as<T>(p)); }
    static void read(void* p, const FieldDef&, Statement& st, int column) { as<T>(p) = T(st.columnInt(column)); }
    static std::string text(const void* p, const FieldDef&) { return std::to_string(int64_t(as<T>(p))); }
    static bool setText(void* p, const FieldDef&, const std::string& text) {
        const std::string t = trim(text);
        int64_t n = 0;
        if (!t.empty()) {
            auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
            if (ec != std::errc() || end != t.data() + t.size()) return false;
        }
        if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max()) return false;
        as<T>(p) = T(n);
        return true;
    }
    static void swap(void* p, int64_t& number, std::string&) {
        const int64_t live = as<T>(p);
        as<T>(p) = T(number);
        number = live;
    }
    static TypedValue typed(const void* p, const FieldDef&) { return int64_t(as<T>(p)); }
};

// DECIMAL(d,p): kept scaled by 10^p, so the column is exact.
struct Fixed {
    using Storage = DecField;
    static constexpr const char* column = " INTEGER NOT NULL DEFAULT 0";
    static constexpr bool croatian = false;
    static void clear(void* p) { as<DecField>(p).scaled = 0; }
    static SqlValue value(const void* p, const FieldDef&) { return {SqlValue::Int, as<DecField>(p).scaled, {}}; }
    static void bind(const void* p, const FieldDef&, Statement& st, int index) {
        st.bindInt(index, as<DecField>(p).scaled);
    }
    static void read(void* p, const FieldDef&, Statement& st, int column) {
        as<DecField>(p).scaled = st.columnInt(column);
    }
    static std::string text(const void* p, const FieldDef& f) {
        return Decimal::fromScaled(as<DecField>(p).scaled, f.places).toString(f.places);
    }
    static bool setText(void* p, const FieldDef& f, const std::string& text) {
        const std::string t = trim(text);
        as<DecField>(p).scaled = t.empty() ? 0 : Decimal::parse(t).toScaled(f.places, f.size);
        return true;
    }
    static void swap(void* p, int64_t& number, std::string&) { std::swap(as<DecField>(p).scaled, number); }
    static TypedValue typed(const void* p, const FieldDef& f) {
        return Decimal::fromScaled(as<DecField>(p).scaled, f.places);
    }
};

// DATE: ISO text, NULL when empty (an empty date sorts first).
struct Day {
    using Storage = Date;
    static constexpr const char* column = " TEXT";
    static constexpr bool croatian = false;
    static void clear(void* p) { as<Date>(p) = Date(); }
    static SqlValue value(const void* p, const FieldDef&) {
        const Date d = as<Date>(p);
        if (d.empty()) return {};
        return {SqlValue::Text, 0, d.iso()};
    }
    static void bind(const void* p, const FieldDef&, Statement& st, int index) {
        const Date d = as<Date>(p);
        if (d.empty()) {
            st.bindNull(index);
            return;
        }
        st.bindText(index, d.iso());
    }
    static void read(void* p, const FieldDef&, Statement& st, int column) {
        // Up to a NUL another program may have stored, as the text was read before.
        const std::string_view t = st.columnText(column);
        as<Date>(p) = t.data() ? Date::fromIso(std::string(t.data(), strnlen(t.data(), t.size()))) : Date();
    }
    static std::string text(const void* p, const FieldDef&) { return as<Date>(p).iso(); }
    static bool setText(void* p, const FieldDef&, const std::string& text) {
        const std::string t = trim(text);
        const Date d = Date::fromIso(t);
        if (d.empty() && !t.empty()) return false;
        as<Date>(p) = d;
        return true;
    }
    static void swap(void* p, int64_t& number, std::string&) {
        Date& d = as<Date>(p);
        const int64_t live = d.days();
        d = Date(int32_t(number));
        number = live;
    }
    static TypedValue typed(const void* p, const FieldDef&) { return as<Date>(p); }
};

// The first n characters of `text` into the field, as what the program
// itself stores (neither a control character nor a letter the code page
// lacks) is taken; false, the field untouched, for anything else, which the
// slower path blanks and converts. Blanking control characters changes
// nothing before the first of them, so the cut is the same either way. A
// list reads every text of every row of every page through here.
bool readPlain(StringField& field, std::string_view text, size_t n, bool lineBreaks) {
    const std::string_view cut = utf8Prefix(text, n);
    if (hasControlCharacter(cut, lineBreaks) || !fitsCp1250(cut)) return false;
    field.assignFitting(cut);
    return true;
}

// STRING(n), sorted the Croatian way, and MEMO(n), which keeps line breaks.
template <bool Memo>
struct Words {
    using Storage = StringField;
    static constexpr const char* column = " TEXT NOT NULL DEFAULT ''";
    static constexpr bool croatian = !Memo;
    static void clear(void* p) {
        // Most fields of a record being cleared are blank already.
        if (StringField& s = as<StringField>(p); !s.empty()) {
            std::string none;
            s.swapText(none);
        }
    }
    static SqlValue value(const void* p, const FieldDef&) { return {SqlValue::Text, 0, as<StringField>(p).str()}; }
    static void bind(const void* p, const FieldDef&, Statement& st, int index) {
        // Bound in place: copying every text of every row written is measurable.
        st.bindTextInPlace(index, as<StringField>(p).str());
    }
    static void read(void* p, const FieldDef& f, Statement& st, int column) {
        // Read whole, by its length: a NUL that another program stored must
        // not cut the text, or a walk by this key would meet the record
        // again and again. Its control characters read as blanks; the
        // program itself never stores one.
        const std::string_view text = st.columnText(column);
        if (readPlain(as<StringField>(p), text, size_t(f.size), Memo)) return;
        const std::string blanked =
            hasControlCharacter(text, Memo) ? blankControlCharacters(text, Memo) : std::string(text);
        try {
            as<StringField>(p).assign(blanked, size_t(f.size));
        } catch (const EncodingError&) {
            // Written by another program: every letter keeps its place, as
            // the nearest the code page has or '?'.
            as<StringField>(p).assign(fitCp1250(blanked), size_t(f.size));
        }
    }
    static std::string text(const void* p, const FieldDef&) { return as<StringField>(p).str(); }
    static bool setText(void* p, const FieldDef& f, const std::string& text) {
        if (hasControlCharacter(text, Memo)) return false;
        as<StringField>(p).assign(text, size_t(f.size));
        return true;
    }
    static void swap(void* p, int64_t&, std::string& text) { as<StringField>(p).swapText(text); }
    static TypedValue typed(const void* p, const FieldDef&) { return as<StringField>(p).str(); }
};

// Made on a value of its own, so it serves text that is not yet in any record.
template <class Kind>
SqlValue parse(const FieldDef& f, const std::string& text, bool& ok) {
    typename Kind::Storage scratch{};
    ok = Kind::setText(&scratch, f, text);
    return ok ? Kind::value(&scratch, f) : SqlValue{};
}

template <class Kind>
constexpr FieldCodec codec() {
    return {Kind::column, Kind::croatian, &Kind::clear,  &Kind::value, &Kind::bind, &Kind::read,
            &Kind::text,  &Kind::setText,  &parse<Kind>, &Kind::swap,  &Kind::typed};
}

}  // namespace

constinit const FieldCodec kFieldCodecs[8] = {codec<Whole<LONG>>(), codec<Whole<SHORT>>(), codec<Whole<USHORT>>(),
                                              codec<Whole<BYTE>>(), codec<Day>(),          codec<Words<false>>(),
                                              codec<Fixed>(),       codec<Words<true>>()};
static_assert(std::size(kFieldCodecs) == size_t(FieldType::Memo) + 1);

}  // namespace marel
