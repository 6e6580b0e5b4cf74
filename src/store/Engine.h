#pragma once
// What the store needs of the database engine beneath it: a Connection and
// its prepared Statements. Two engines are built in: SQLite on a data
// folder, and a PostgreSQL server for an office of several stations. The
// location given to open() chooses (see isServerAddress); nothing above the
// store knows which one it has.
//
// The store's SQL writes parameters as `?`; what engines spell differently
// (their catalogue, the record id column, the kinds of transaction,
// replacing a row, the order of empty values) it asks of dialect().
//
// Each call goes to the engine's own final class directly, with one branch
// and no virtual call: every field of every row read goes through here.
//
// Engine codes: 0 is success; anything else is the engine's own code, which
// storeCode() maps into the store's codes (see StoreError) and the error
// state keeps beside them.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "store/EngineKinds.h"
#include "store/PostgresEngine.h"
#include "store/SqliteEngine.h"

namespace marel {

// A location that names a database server rather than a data folder:
// `postgresql://…` or `postgres://…`, or libpq's `key=value` words.
bool isServerAddress(const std::string& location);

class Statement {
public:
    Statement() = default;
    Statement(SqliteStatement st) : lite_(std::move(st)) {}  // NOLINT: an engine's statement is one
    Statement(std::unique_ptr<PgStatement> st) : pg_(std::move(st)) {}  // NOLINT
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) noexcept = default;

    explicit operator bool() const { return pg_ ? true : bool(lite_); }

    void bindInt(int index, int64_t value) { pg_ ? pg_->bindInt(index, value) : lite_.bindInt(index, value); }
    void bindNull(int index) { pg_ ? pg_->bindNull(index) : lite_.bindNull(index); }
    // Copied: the value may go before the step.
    void bindText(int index, std::string_view text) { pg_ ? pg_->bindText(index, text) : lite_.bindText(index, text); }
    void bindBlob(int index, std::string_view bytes) { pg_ ? pg_->bindBlob(index, bytes) : lite_.bindBlob(index, bytes); }
    // In place: the bytes must stay as they are until the statement is stepped.
    void bindTextInPlace(int index, std::string_view text) {
        pg_ ? pg_->bindTextInPlace(index, text) : lite_.bindTextInPlace(index, text);
    }
    void bindBlobInPlace(int index, std::string_view bytes) {
        pg_ ? pg_->bindBlobInPlace(index, bytes) : lite_.bindBlobInPlace(index, bytes);
    }

    StepResult step() { return pg_ ? pg_->step() : lite_.step(); }
    // The engine's code of the last step (0 after a row or the end).
    int result() const { return pg_ ? pg_->result() : lite_.result(); }

    int64_t columnInt(int column) { return pg_ ? pg_->columnInt(column) : lite_.columnInt(column); }
    // Valid until the next step or reset; a NULL gives an empty view
    // without data (data() == nullptr).
    std::string_view columnText(int column) { return pg_ ? pg_->columnText(column) : lite_.columnText(column); }
    std::string_view columnBlob(int column) { return pg_ ? pg_->columnBlob(column) : lite_.columnBlob(column); }
    ColumnKind columnKind(int column) { return pg_ ? pg_->columnKind(column) : lite_.columnKind(column); }
    int columnCount() { return pg_ ? pg_->columnCount() : lite_.columnCount(); }

    void reset() { pg_ ? pg_->reset() : lite_.reset(); }
    void clearBindings() { pg_ ? pg_->clearBindings() : lite_.clearBindings(); }
    void finalize() {
        if (pg_) pg_.reset();
        else lite_.finalize();
    }

private:
    SqliteStatement lite_;
    std::unique_ptr<PgStatement> pg_;
};

class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the database at `location`: a server address, or the path of a
    // database file (created when missing, unless only read). The engine's
    // code. A failed open stays open until close(), so that its error can be
    // asked for.
    int open(const std::string& location, bool readOnly = false);
    void close();
    bool isOpen() const { return pg_ ? pg_->isOpen() : lite_.isOpen(); }
    // The database is on a server.
    bool onServer() const { return pg_ != nullptr; }
    const Dialect& dialect() const { return pg_ ? serverDialect() : sqliteDialect(); }

    // Runs SQL without results: 0 or the engine's code.
    int exec(const std::string& sql) { return pg_ ? pg_->exec(sql) : lite_.exec(sql); }
    // Empty when the SQL does not compile. `kept`: the statement will be
    // used many times.
    Statement prepare(std::string_view sql, bool kept);

    int64_t lastInsertId() const { return pg_ ? pg_->lastInsertId() : lite_.lastInsertId(); }
    // Rows the last write changed; rows every write of the connection changed.
    int64_t changes() const { return pg_ ? pg_->changes() : lite_.changes(); }
    int64_t totalChanges() const { return pg_ ? pg_->totalChanges() : lite_.totalChanges(); }
    // A transaction is active, begun by whoever.
    bool inTransaction() const { return pg_ ? pg_->inTransaction() : lite_.inTransaction(); }
    // `wait(context, count)` is asked whether to try again while another
    // connection holds the lock (nonzero: yes).
    void onBusy(int (*wait)(void*, int), void* context) {
        pg_ ? pg_->onBusy(wait, context) : lite_.onBusy(wait, context);
    }
    // Begins a write transaction: one writer at a time on the whole
    // database, waiting through onBusy while another one writes.
    int beginWrite() { return pg_ ? pg_->beginWrite() : lite_.exec("BEGIN IMMEDIATE"); }
    // After records were added with ids of their own (a copy of a table):
    // new ids go on after the highest of them and after `atLeast` (the
    // highest the table ever gave, deleted records' included).
    int idsGiven(const std::string& table, int64_t atLeast) {
        return pg_ ? pg_->idsGiven(table, atLeast) : lite_.idsGiven(table, atLeast);
    }

    int errorCode() const { return pg_ ? pg_->errorCode() : lite_.errorCode(); }
    // The engine's words for the last failure, or for `code` when closed.
    std::string errorText(int code) const { return pg_ ? pg_->errorText(code) : lite_.errorText(code); }
    // The store's code of an engine code.
    int storeCode(int code) const { return pg_ ? pg_->storeCode(code) : lite_.storeCode(code); }
    // The engine's words for a code.
    std::string textOf(int code) const { return pg_ ? PgConnection::textOf(code) : SqliteConnection::textOf(code); }
    // A code of a file system failure, for what stands in for one.
    int ioFailure() const { return pg_ ? PgConnection::ioFailure() : SqliteConnection::ioFailure(); }
    // A code of a step that did not run (no statement).
    int misuse() const { return pg_ ? PgConnection::misuse() : SqliteConnection::misuse(); }
    // The engine refused the database as one (damaged, or not one).
    bool notADatabase(int code) const { return pg_ ? false : SqliteConnection::notADatabase(code); }

    // Croatian order for text keys under the dialect's name for it.
    bool useCroatianOrder() { return pg_ ? pg_->useCroatianOrder() : lite_.useCroatianOrder(); }
    // The session's settings, the first statement that touches the
    // database: 0 or the engine's code.
    int configure() { return pg_ ? pg_->configure() : lite_.configure(); }

    // The SQLite engine's own handle, nullptr on a server: for copies
    // (store/Backup.cpp), and for tests and measurements that look at the
    // database directly.
    sqlite3* handle() const { return pg_ ? nullptr : lite_.handle(); }

private:
    SqliteConnection lite_;
    std::unique_ptr<PgConnection> pg_;
};

}  // namespace marel
