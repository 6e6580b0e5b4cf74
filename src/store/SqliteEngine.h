#pragma once
// The store's engine on SQLite (see store/Engine.h): the only file besides
// copies (store/Backup.cpp) that calls the SQLite library.
#include <cstdint>
#include <string>
#include <string_view>

#include "store/EngineKinds.h"

struct sqlite3;
struct sqlite3_stmt;

namespace marel {

class SqliteStatement final {
public:
    SqliteStatement() = default;
    explicit SqliteStatement(sqlite3_stmt* st) : st_(st) {}
    SqliteStatement(SqliteStatement&& other) noexcept : st_(other.st_), rc_(other.rc_) { other.st_ = nullptr; }
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement() { finalize(); }

    explicit operator bool() const { return st_ != nullptr; }

    void bindInt(int index, int64_t value);
    void bindNull(int index);
    // Copied: the value may go before the step.
    void bindText(int index, std::string_view text);
    void bindBlob(int index, std::string_view bytes);
    // In place: the bytes must stay as they are until the statement is
    // stepped (copying every text of every row written is measurable).
    void bindTextInPlace(int index, std::string_view text);
    void bindBlobInPlace(int index, std::string_view bytes);

    StepResult step();
    // The engine's code of the last step (0 after a row or the end).
    int result() const { return rc_; }

    int64_t columnInt(int column);
    // Valid until the next step or reset; a NULL gives an empty view
    // without data (data() == nullptr).
    std::string_view columnText(int column);
    std::string_view columnBlob(int column);
    ColumnKind columnKind(int column);
    int columnCount();

    void reset();
    void clearBindings();
    void finalize();

private:
    sqlite3_stmt* st_ = nullptr;
    int rc_ = 0;
};

class SqliteConnection final {
public:
    SqliteConnection() = default;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection() { close(); }

    // Opens (creating when missing) the database at `path`, or only reads
    // one that exists; the engine's code. A failed open stays open until
    // close(), so that its error can be asked for.
    int open(const std::string& path, bool readOnly = false);
    void close();
    bool isOpen() const { return db_ != nullptr; }

    // Runs SQL without results: 0 or the engine's code.
    int exec(const std::string& sql);
    // Empty when the SQL does not compile. `kept`: the statement will be
    // used many times.
    SqliteStatement prepare(std::string_view sql, bool kept);

    int64_t lastInsertId() const;
    // New ids of `table` go on after `atLeast` (SQLite keeps them after the
    // highest present by itself).
    int idsGiven(const std::string& table, int64_t atLeast);
    // Rows the last write changed; rows every write of the connection changed.
    int64_t changes() const;
    int64_t totalChanges() const;
    // A transaction is active, begun by whoever.
    bool inTransaction() const;
    // `wait(context, count)` is asked whether to try again while another
    // connection holds the lock (nonzero: yes).
    void onBusy(int (*wait)(void*, int), void* context);

    int errorCode() const;
    // The engine's words for the last failure, or for `code` when closed.
    std::string errorText(int code) const;
    // The store's code of an engine code, told apart by the connection's
    // detailed code of its last failure.
    int storeCode(int code) const;
    // The mapping itself: `detail` is the engine's detailed code of the
    // same failure (ignored when it belongs to another one).
    static int storeCodeOf(int code, int detail);
    // The engine's words for a code.
    static std::string textOf(int code);
    // A code of a file system failure, for what stands in for one.
    static int ioFailure();
    // A code of a step that did not run (no statement).
    static int misuse();

    // Croatian order for text keys under the dialect's name for it.
    bool useCroatianOrder();
    // The session's settings, the first statement that touches the file: 0
    // or the engine's code.
    int configure();
    // The engine refused the file as a database (damaged, or not one).
    static bool notADatabase(int code);

    // The SQLite engine's own handle: for copies (store/Backup.cpp), and for
    // tests and measurements that look at the database directly.
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// Croatian order on a connection of SQLite's own (a copy being checked); false
// when ICU lacks it.
bool useCroatianOrder(sqlite3* db);

}  // namespace marel
