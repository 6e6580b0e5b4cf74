#pragma once
// Records as values, for the core: reports, files, exports and rules read
// through these, never through the record buffers the screens work in. Each
// store keeps one reading copy of every file it is asked for, a file object
// with a buffer of its own; a read copies the record out at once, so walks
// over the same file may nest and a screen's buffers stay as they were.
//
//     if (auto payer = find<SubjektiFile>(number)) use(payer->NAZIV);
//     Records<DohociFile> lines(&DohociFile::KEYISPLATA, payment);
//     for (const DOHOCI_REC& line : lines) ...
//     if (lines.error()) ... a read failed: the walk is not complete
#include <limits>
#include <memory>
#include <optional>
#include <type_traits>
#include <typeindex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "store/DataFile.h"

namespace marel {

template <class File>
using RecordOf = std::remove_cvref_t<decltype(std::declval<File&>().record())>;

// The store's reading copy of `File`, open (errorCode() says why when it cannot be).
template <class File>
File& readingCopy(Store& store = Store::main()) {
    DataFile* kept = store.readingCopy(typeid(File));
    if (!kept) {
        auto made = std::make_unique<File>(store);
        made->markReadingCopy();
        kept = &store.keepReadingCopy(typeid(File), std::move(made));
    }
    if (!kept->isOpen()) kept->open();
    return static_cast<File&>(*kept);
}

// The first record whose key `key` holds the values `fill` puts into the
// blank record; nullopt when there is none or the read failed (errorCode()
// tells which).
template <class File, class Fill>
std::optional<RecordOf<File>> findBy(Key File::*key, Fill&& fill, Store& store = Store::main()) {
    File& copy = readingCopy<File>(store);
    if (!copy.isOpen()) return std::nullopt;
    copy.clear();
    fill(copy.record());
    if (copy.get(copy.*key) != 0) return std::nullopt;
    return copy.record();
}

// The record numbered `number` (its OZNAKA); nullopt for 0 and for a number not found.
template <class File>
std::optional<RecordOf<File>> find(int64_t number, Store& store = Store::main()) {
    using Number = decltype(RecordOf<File>::OZNAKA);
    // A number its field cannot hold names no record (and must not wrap round to one).
    if (number == 0 || number < std::numeric_limits<Number>::min() || number > std::numeric_limits<Number>::max())
        return std::nullopt;
    return findBy<File>(&File::KEYOZNAKA, [&](RecordOf<File>& r) { r.OZNAKA = Number(number); }, store);
}

// The records of one key in its order, all of them or those whose first key
// fields hold the values given. Reading ends at the last one or at the first
// failed read; error() then tells the two apart.
template <class File>
class Records {
public:
    using Record = RecordOf<File>;

    Records(Key File::*key, std::vector<SqlValue> prefix, Store& store = Store::main())
        : file_(readingCopy<File>(store)), cursor_(file_, (file_.*key).index) {
        cursor_.setRange(std::move(prefix));
        cursor_.toStart();
        if (!file_.isOpen()) error_ = errorCode();
    }
    // The records whose key begins with the number `first` (a payment's lines).
    Records(Key File::*key, int64_t first, Store& store = Store::main())
        : Records(key, {SqlValue{SqlValue::Int, first, {}}}, store) {}
    // Every record, in key order.
    explicit Records(Key File::*key, Store& store = Store::main()) : Records(key, std::vector<SqlValue>{}, store) {}

    class iterator {
    public:
        using value_type = Record;
        using difference_type = std::ptrdiff_t;
        iterator() = default;
        explicit iterator(Records* walk) : walk_(walk) { ++*this; }
        const Record& operator*() const { return walk_->current_; }
        const Record* operator->() const { return &walk_->current_; }
        iterator& operator++() {
            if (walk_ && !walk_->advance()) walk_ = nullptr;
            return *this;
        }
        void operator++(int) { ++*this; }
        bool operator==(const iterator& other) const { return walk_ == other.walk_; }

    private:
        Records* walk_ = nullptr;
    };
    // One walk per object: begin() reads the first record.
    iterator begin() { return error_ ? iterator() : iterator(this); }
    iterator end() { return iterator(); }

    // 0, or the store's code of the read that ended the walk early.
    int error() const { return error_; }
    // The record id of the record the walk gave last (its place in record order).
    int64_t id() const { return id_; }

private:
    bool advance() {
        const int rc = cursor_.next();
        if (rc == 0) {
            current_ = file_.record();
            id_ = file_.currentId();
            return true;
        }
        if (rc != kRecordNotAvailable) error_ = rc;
        return false;
    }

    File& file_;
    Cursor cursor_;
    Record current_{};
    int64_t id_ = 0;
    int error_ = 0;
};

// Reads records by number over and over, as a report of a payment does (its
// lines name the same places, banks and income types again and again): each
// is read from the database once.
template <class File>
class ValueLookup {
public:
    using Record = RecordOf<File>;
    explicit ValueLookup(Store& store = Store::main()) : store_(store) {}

    // The record, or nullptr when there is none.
    const Record* find(int64_t number) {
        auto it = seen_.find(number);
        if (it == seen_.end()) it = seen_.emplace(number, marel::find<File>(number, store_)).first;
        return it->second ? &*it->second : nullptr;
    }
    // The record, or a blank one (a statutory print prints blanks and goes on).
    const Record& orBlank(int64_t number) {
        static const Record blank{};
        const Record* r = find(number);
        return r ? *r : blank;
    }

private:
    Store& store_;
    std::unordered_map<int64_t, std::optional<Record>> seen_;
};

}  // namespace marel
