#pragma once
// Records read by one query, for a report that wants all of them at once: a
// payment's income lines, or the calculation lines, payment methods or
// recipients of all its income lines. `Records` reads one query per record so
// that a walk may stop and go on; a report of ten thousand lines would pay
// ten thousand queries for each file it reads.
//
//     Gathered<ObracunFile> calc(&ObracunFile::KEYDOHODAK,
//                                Gathered<ObracunFile>::of(&DohociFile::KEYISPLATA, payment, &DOHOCI_REC::OZNAKA));
//     for (const OBRACUN_REC& o : calc) ...
//     if (calc.error()) ... a read failed: the walk is not complete
#include <memory>
#include <string>
#include <vector>

#include "store/Values.h"

namespace marel {

// The query of a gathering, over the reading copy `file` in the order of key
// `key` (then record order, as a walk reads it). `where` picks the records,
// its parameters are `values`.
class GatheredQuery {
public:
    GatheredQuery(DataFile& file, int key, const std::string& where, std::vector<SqlValue> values);
    ~GatheredQuery();
    GatheredQuery(const GatheredQuery&) = delete;
    GatheredQuery& operator=(const GatheredQuery&) = delete;
    // Reads the next record into the file's buffer: 0, kRecordNotAvailable
    // after the last one, or the store's code of a failed read.
    int next();

private:
    DataFile& file_;
    sqlite3_stmt* st_ = nullptr;
    int error_ = 0;
};

// The field of a layout that `member` of its record is; -1 when none.
int fieldOf(const Layout& layout, void* record, const void* member);

// What picks the records of a gathering: a key's first field equal to a
// number, or that field among the values a field of another file's records
// holds, those records picked the same way.
struct Picked {
    std::string where;
    std::vector<SqlValue> values;
};

template <class File>
class Gathered {
public:
    using Record = RecordOf<File>;

    // The records whose key `key` begins with the number `first` (a payment's lines).
    Gathered(Key File::*key, int64_t first, Store& store = Store::main())
        : Gathered(key, [&](const std::string& column) {
              return Picked{column + " IS ?", {SqlValue{SqlValue::Int, first, {}}}};
          }, store) {}
    // The records whose key `key` begins with a number that field `field`
    // of a record of `Of` holds, those records being the ones whose key
    // `ofKey` begins with `first` (the calculation lines of a payment's
    // income lines: OBRACUN by DOHODAK, DOHOCI by ISPLATA, its OZNAKA).
    template <class Of, class Number>
    Gathered(Key File::*key, Key Of::*ofKey, int64_t first, Number RecordOf<Of>::*field, Store& store = Store::main())
        : Gathered(key, [&](const std::string& column) {
              Of& of = readingCopy<Of>(store);
              RecordOf<Of> blank{};
              const int picked = of.layout().keys[size_t((of.*ofKey).index)].components.front().field;
              return Picked{column + " IN (SELECT " + of.quotedColumn(fieldOf(of.layout(), &blank, &(blank.*field))) +
                                " FROM \"" + of.layout().label + "\" WHERE " + of.quotedColumn(picked) + " IS ?)",
                            {SqlValue{SqlValue::Int, first, {}}}};
          }, store) {}

    class iterator {
    public:
        using value_type = Record;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        explicit iterator(Gathered* walk) : walk_(walk) { ++*this; }
        const Record& operator*() const { return walk_->current_; }
        const Record* operator->() const { return &walk_->current_; }
        iterator& operator++() {
            if (walk_ && !walk_->advance()) walk_ = nullptr;
            return *this;
        }
        void operator++(int) { ++*this; }
        bool operator==(const iterator& other) const { return walk_ == other.walk_; }

    private:
        Gathered* walk_ = nullptr;
    };
    // One walk per object.
    iterator begin() { return error_ ? iterator() : iterator(this); }
    iterator end() { return iterator(); }
    // 0, or the store's code of the read that ended the walk early.
    int error() const { return error_; }

private:
    template <class Pick>
    Gathered(Key File::*key, Pick&& pick, Store& store) : file_(readingCopy<File>(store)) {
        if (!file_.isOpen()) {
            error_ = errorCode();
            return;
        }
        const int index = (file_.*key).index;
        Picked p = pick(file_.quotedColumn(file_.layout().keys[size_t(index)].components.front().field));
        query_ = std::make_unique<GatheredQuery>(file_, index, p.where, std::move(p.values));
    }
    bool advance() {
        const int rc = query_->next();
        if (rc == 0) {
            current_ = file_.record();
            return true;
        }
        if (rc != kRecordNotAvailable) error_ = rc;
        return false;
    }

    File& file_;
    std::unique_ptr<GatheredQuery> query_;
    Record current_{};
    int error_ = 0;
};

}  // namespace marel
