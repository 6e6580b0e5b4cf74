#pragma once
// One data file of the keyed file store: a table with its indexes, one shared
// record buffer, and the operations every screen uses (set, next, previous,
// get, add, put, delete, position, reget, reset, watch, ...). Each operation
// returns its error code and also leaves it in errorCode().
#include <boost/core/noncopyable.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/Layout.h"
#include "store/Store.h"

namespace marel {

class DataFile;

// A key of a file, as a member of the file object (`OSOBE.KEYOIB`).
struct Key {
    DataFile* file;
    int index;
};

// Ordered reading of one file, in a key order or in record order, optionally
// limited to records whose first key components equal given values and to
// records a filter accepts. Reads into the file's buffer. A position is the
// key values and record id of a record, so it stays meaningful while other
// records come and go.
class Cursor {
public:
    // key -1 is record (insertion) order.
    Cursor(DataFile& file, int key);
    void setRange(std::vector<SqlValue> prefix) {
        prefix_ = std::move(prefix);
        walk_.st = nullptr;
    }
    void setFilter(std::function<bool()> filter) { filter_ = std::move(filter); }
    const std::vector<SqlValue>& range() const { return prefix_; }

    // Before the first record; previous() from here reads the last one.
    void toStart();
    // The records whose key begins with the number `value` (a payment's
    // lines, a line's calculation), before the first of them.
    void startAt(int64_t value) {
        setRange({SqlValue{SqlValue::Int, value, {}}});
        toStart();
    }
    // Just before the record with these key values and id: next() reads it
    // (or what follows, if it is gone) when inclusive, the one after it otherwise;
    // previous() likewise in the other direction.
    void toPosition(std::vector<SqlValue> values, int64_t rowid, bool inclusive);
    // Before the first record whose key is equal to or after the buffer's key fields.
    void toBuffer();
    // After the last record: previous() reads the last one, next() nothing.
    void toEnd();

    int next() { return step(true); }
    int previous() { return step(false); }
    // Reads on with the query that gave the previous record, for as long as
    // the store's read transaction lasts and nothing was written, instead of
    // one query per record: a page of a list costs what one query of it does.
    void setWalking(bool on) { walking_ = on; }

    int key() const { return key_; }
    DataFile& file() { return *file_; }
    // The key values of the record last read, as they are stored: what
    // toPosition takes to read on from it (the buffer may show a text
    // another program stored otherwise).
    const std::vector<SqlValue>& keyRead() const { return values_; }

private:
    struct Step;
    int step(bool forward);
    bool fetch(bool forward, int& rc);
    int fetchFromEnd(const Step& s);
    int fetchSameKey(const Step& s);
    int fetchBeyond(const Step& s, size_t level);
    void bindRange(Statement& st, size_t m);
    int run(Statement* st, uint32_t shape, bool forward);
    int walkOn(bool forward);
    void keepPosition(Statement& st);

    enum class Mode { Start, End, At } mode_ = Mode::Start;
    DataFile* file_;
    int key_;
    std::vector<SqlValue> prefix_;
    std::function<bool()> filter_;
    std::vector<SqlValue> values_;
    int64_t rowid_ = 0;
    bool inclusive_ = false;
    bool walking_ = false;
    // The statement a walk steps on, and what tells it is still ours.
    struct Walk {
        Statement* st = nullptr;
        uint32_t shape = 0;
        uint64_t claim = 0;
        uint64_t serial = 0;
        int64_t changes = 0;
        bool forward = false;
    } walk_;
};

// One file's record buffer with everything that belongs to it: the field
// values, the reading position, the record last read and the version a watch
// compares with. A screen keeps one of these per file while another screen
// has its turn (see BufferSet).
struct FileBuffer {
    std::vector<int64_t> numbers;     // per field: numbers, decimals, dates
    std::vector<std::string> texts;   // per field: STRING and MEMO
    std::unique_ptr<Cursor> cursor;
    int64_t rowid = 0;
    int64_t version = 0;
    bool watchNext = false;
    bool watched = false;
};

class DataFile : private boost::noncopyable {
public:
    DataFile(Store& store, const Layout& layout, void* record);
    virtual ~DataFile();

    const Layout& layout() const { return *layout_; }
    const std::string& label() const { return layout_->label; }
    Store& store() const { return *store_; }

    // ---- the file as a whole
    int open();
    int create();
    void close();
    int remove();
    int build();
    bool isOpen() const { return open_; }
    // A reading copy (store/Values.h) is open for as long as its store: it
    // does not count as a user of its file, which may still be removed.
    void markReadingCopy() { readingCopy_ = true; }
    int64_t records();
    // Asks the store to recover a file left locked ("Recover=10"); the
    // database engine recovers by itself, so this only clears the error.
    int send(const std::string& command);

    // Use counter of the procedures that currently use the file.
    int USED = 0;

    // ---- the record buffer
    void clear();  // text fields blank, numbers zero, dates empty

    // ---- sequential reading
    void set();                       // record order, from the start
    void set(const Key& key);         // key order, from the start
    void setFrom(const Key& key);     // key order, from the buffer's key values on
    int next() { return cursor_.next(); }
    int previous() { return cursor_.previous(); }
    Cursor& cursor() { return cursor_; }

    // ---- single records
    int get(const Key& key);          // the first record whose key equals the buffer's
    int getById(int64_t rowid);
    int add();
    int put();
    int deleteRecord();
    bool duplicate(const Key& key);   // would the buffer clash with another record on this unique key?
    int firstDuplicateKey();          // index of the first unique key that clashes, or -1
    // The next record read or added is watched: a put or delete of it fails
    // with 89 when another station wrote or deleted it meanwhile.
    void watch() { watchNext_ = true; }
    bool watched() const { return watched_; }
    int64_t version() const { return version_; }

    std::string position();           // record order
    std::string position(const Key& key);
    int reget(const std::string& pos);
    int reget(const Key& key, const std::string& pos) { return reget(pos); }
    int reset(const std::string& pos);
    int reset(const Key& key, const std::string& pos);

    // The record last read, added or written (0 when none).
    int64_t currentId() const { return rowid_; }

    // ---- buffer sets
    // A blank buffer (as after clear(), nothing read) to keep for a screen.
    FileBuffer blankBuffer();
    // Exchanges the live buffer with a kept one.
    void swapBuffer(FileBuffer& other);

    // ---- generic field access (used by the store, loaders, screens)
    void* fieldPtr(int field) const;
    SqlValue fieldValue(int field) const;
    // Text form of a field: numbers plain, decimals with a point, dates ISO.
    std::string fieldText(int field) const;
    // Sets a field from text of the same form; false when the text does not
    // fit or holds a control character.
    bool setFieldText(int field, const std::string& text);
    std::vector<SqlValue> keyValues(int key) const;

    // The SQL table column list "a","b",...; internal but shared with Cursor.
    const std::string& columnList() const { return columns_; }
    // SELECT id, version, the columns FROM the table: what loadRow reads.
    std::string selectSql() const;
    std::string quotedColumn(int field) const;
    // The SQL of the store's engine.
    const Dialect& dialect() const;
    void loadRow(Statement& st);   // columns: rowid, version, fields...
    // Binds a field of the buffer; text is bound in place, so step the
    // statement before the buffer changes.
    void bindField(Statement& st, int index, int field) const;
    // A statement of one of this file's fixed shapes (a number the caller
    // gives each shape), reset and ready to bind: its text is made by
    // `sql()` only the first time, and it is prepared again only after the
    // store dropped its statements. Reading a record must not cost the
    // building and hashing of its query text every time.
    template <class MakeSql>
    Statement* shapedStatement(uint32_t shape, MakeSql&& sql);
    // A walking cursor's claim on the statement of a shape; it lapses when
    // the statement is handed out again.
    uint64_t claimWalk(uint32_t shape);
    bool walkClaimed(uint32_t shape, uint64_t claim) const;

private:
    int checkUsable();
    int names(const char* sql, std::vector<std::string>& out);
    int readOne(Statement& st, int none);
    int checkWritable();
    int writeCurrent(Statement& st);
    int injectedFailure();

    Store* store_;
    const Layout* layout_;
    void* record_;
    bool open_ = false;
    bool readingCopy_ = false;
    Cursor cursor_;
    int64_t rowid_ = 0;
    int64_t version_ = 0;
    bool watchNext_ = false;
    bool watched_ = false;
    std::string columns_;
    std::string insertSql_;
    struct Prepared {
        std::string sql;
        const Dialect* dialect = nullptr;  // the SQL's: a store opened anew may be on another engine
        Statement* st = nullptr;
        uint64_t generation = 0;
        uint64_t walker = 0;
    };
    std::unordered_map<uint32_t, Prepared> prepared_;
};

void bindValue(Statement& st, int index, const SqlValue& v);

}  // namespace marel
