#pragma once
// Records read by one query, for a report that wants all of them at once: a
// payment's income lines, or the calculation lines, payment methods or
// recipients of all its income lines. `Records` reads one query per record so
// that a walk may stop and go on; a report of ten thousand lines would pay
// ten thousand queries for each file it reads.
//
//     int rc = gatherAll(&ObracunFile::KEYDOHODAK,
//                        namedBy(&ObracunFile::KEYDOHODAK, &DohociFile::KEYISPLATA, payment, &DOHOCI_REC::OZNAKA),
//                        [&](const OBRACUN_REC& o) { ... });
//     if (rc) ... a read failed: not every record was handed over
#include <string>
#include <utility>
#include <vector>

#include "store/Sql.h"
#include "store/Values.h"

namespace marel {

// The query of a gathering, over the reading copy `file` in the order of key
// `key` (then record order, as a walk reads it). `where` picks the records,
// its parameters are `values`.
class GatheredQuery {
public:
    GatheredQuery(DataFile& file, int key, const std::string& where, const std::vector<SqlValue>& values);
    ~GatheredQuery();
    GatheredQuery(const GatheredQuery&) = delete;
    GatheredQuery& operator=(const GatheredQuery&) = delete;
    // Reads the next record into the file's buffer: 0, kRecordNotAvailable
    // after the last one, or the store's code of a failed read.
    int next();

private:
    DataFile& file_;
    Statement st_;
    int error_ = 0;
};

// The field of a layout that `member` of its record is; -1 when none.
int fieldOf(const Layout& layout, void* record, const void* member);

// What picks the records of a gathering (startingWith, namedBy): the
// condition and its parameters.
struct Picked {
    std::string where;
    std::vector<SqlValue> values;
};

// Hands every record of `File` the query `picked` picks to `each`, in the
// order of key `key` (then record order, as a walk reads them). Returns 0,
// or the store's code of the read that ended the walk early.
template <class File, class Each>
int gatherAll(Key File::*key, const Picked& picked, Each&& each, Store& store = Store::main()) {
    File& file = readingCopy<File>(store);
    if (!file.isOpen()) return errorCode();
    GatheredQuery query(file, (file.*key).index, picked.where, picked.values);
    int rc;
    while ((rc = query.next()) == 0) each(std::as_const(file.record()));
    return rc == kRecordNotAvailable ? 0 : rc;
}

// The records whose key begins with the number `first` (a payment's lines).
template <class File>
Picked startingWith(Key File::*key, int64_t first, Store& store = Store::main()) {
    File& file = readingCopy<File>(store);
    const int column = file.layout().keys[size_t((file.*key).index)].components.front().field;
    return {file.dialect().same(file.quotedColumn(column)), {SqlValue{SqlValue::Int, first, {}}}};
}

// The records whose key `key` begins with a number that field `field` of a
// record of `Of` holds, those records being the ones whose key `ofKey`
// begins with `first` (the calculation lines of a payment's income lines:
// OBRACUN by DOHODAK, DOHOCI by ISPLATA, its OZNAKA).
template <class File, class Of, class Number>
Picked namedBy(Key File::*key, Key Of::*ofKey, int64_t first, Number RecordOf<Of>::*field,
               Store& store = Store::main()) {
    File& file = readingCopy<File>(store);
    Of& of = readingCopy<Of>(store);
    RecordOf<Of> blank{};
    const int column = file.layout().keys[size_t((file.*key).index)].components.front().field;
    const int picked = of.layout().keys[size_t((of.*ofKey).index)].components.front().field;
    return {file.quotedColumn(column) + " IN (SELECT " + of.quotedColumn(fieldOf(of.layout(), &blank, &(blank.*field))) +
                " FROM " + sqlName(of.layout().label) + " WHERE " + of.dialect().same(of.quotedColumn(picked)) + ")",
            {SqlValue{SqlValue::Int, first, {}}}};
}

}  // namespace marel
