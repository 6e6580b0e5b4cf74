#pragma once
// The store's engine on a PostgreSQL server (see store/Engine.h), for an
// office whose stations share one database. The only file that calls libpq.
//
// It keeps the store's rules as SQLite keeps them on a data folder:
// - one writer at a time on the whole database (a lock of the database
//   taken by every write transaction, waited for through onBusy), so that
//   the program's own checks between reading and writing hold;
// - a statement that fails inside a transaction undoes only itself (each
//   write runs under a savepoint), so the transaction goes on as before;
// - a walk steps a cursor inside its read transaction, a batch of rows at
//   a time, instead of fetching the whole file.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/EngineKinds.h"

struct pg_conn;
struct pg_result;

namespace marel {

class PgConnection;

// The file name libpq is loaded by when a server is first opened; a test
// names one that does not exist to see the store refuse the server. Returns
// the name before.
const char* setPostgresLibraryForTests(const char* name);

class PgStatement final {
public:
    PgStatement(PgConnection& conn, std::string sql, int parameters);
    PgStatement(const PgStatement&) = delete;
    PgStatement& operator=(const PgStatement&) = delete;
    ~PgStatement();

    void bindInt(int index, int64_t value);
    void bindNull(int index);
    void bindText(int index, std::string_view text);
    void bindBlob(int index, std::string_view bytes);
    void bindTextInPlace(int index, std::string_view text);
    void bindBlobInPlace(int index, std::string_view bytes);

    StepResult step();
    int result() const { return rc_; }

    int64_t columnInt(int column);
    std::string_view columnText(int column);
    std::string_view columnBlob(int column);
    ColumnKind columnKind(int column);
    int columnCount() const;

    void reset();
    void clearBindings();

private:
    enum class Kind { Read, Write, Control };
    struct Parameter {
        std::string own;
        const char* data = nullptr;  // nullptr: NULL
        int length = 0;
        bool binary = false;
    };
    Parameter* slot(int index);
    StepResult start();
    StepResult fail(int code);
    bool fetch();
    StepResult write();
    struct Arguments {
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
        std::vector<unsigned> types;
    };
    Arguments arguments() const;
    pg_result* runWithParameters(const std::string& sql);
    pg_result* runBetween(const char* before, const char* after, pg_result*& afterResult);

    PgConnection& conn_;
    std::string sql_;
    Kind kind_ = Kind::Read;
    bool limited_ = false;  // at most one row: no cursor needed
    std::vector<Parameter> params_;
    pg_result* res_ = nullptr;
    int row_ = -1;
    int rows_ = 0;
    bool started_ = false;
    std::string cursor_;     // the cursor of a walk, while it is open
    uint64_t cursorTx_ = 0;  // the transaction it belongs to
    int batch_ = 0;
    bool more_ = false;      // the cursor may have rows beyond the batch
    std::string decoded_;    // a bytea value, its escapes undone
    int rc_ = 0;
};

class PgConnection final {
public:
    PgConnection() = default;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;
    ~PgConnection() { close(); }

    int open(const std::string& address, bool readOnly);
    void close();
    bool isOpen() const { return conn_ != nullptr; }

    int exec(const std::string& sql);
    std::unique_ptr<PgStatement> prepare(std::string_view sql);

    int64_t lastInsertId() const { return lastId_; }
    int64_t changes() const { return changes_; }
    int64_t totalChanges() const { return totalChanges_; }
    bool inTransaction() const;
    void onBusy(int (*wait)(void*, int), void* context) {
        wait_ = wait;
        waitContext_ = context;
    }
    int beginWrite();
    int idsGiven(const std::string& table, int64_t atLeast);

    int errorCode() const { return code_; }
    std::string errorText(int code) const;
    int storeCode(int code) const { return storeCodeOf(code); }
    static int storeCodeOf(int code);
    static std::string textOf(int code);
    static int ioFailure();
    static int misuse();
    // The code of a SQLSTATE ("23505").
    static int codeOf(const char* sqlState);

    bool useCroatianOrder();
    int configure();

    // For the statements of this connection.
    pg_conn* handle() const { return conn_; }
    // Notes the outcome of a command: 0, or the code of its failure kept
    // with the server's words. Clears `res` when it failed.
    int noteResult(pg_result*& res);
    // The write lock of the database within the current transaction.
    int holdWriteLock();
    // Runs SQL of the engine's own, results dropped.
    int run(const char* sql);
    // 0 when the connection can take the command `sql`.
    int ready(std::string_view sql);
    // Changes whenever a transaction begins or ends.
    uint64_t transactionSerial() const { return txSerial_; }
    void wrote(int64_t rows, int64_t id) {
        changes_ = rows;
        totalChanges_ += rows;
        if (id) lastId_ = id;
        wroteIn_ = txSerial_;
    }
    std::string nextCursorName() { return "marel_c" + std::to_string(++cursors_); }

private:
    void noteTransaction();

    pg_conn* conn_ = nullptr;
    int code_ = 0;
    std::string text_;
    int64_t lastId_ = 0;
    int64_t changes_ = 0;
    int64_t totalChanges_ = 0;
    int (*wait_)(void*, int) = nullptr;
    void* waitContext_ = nullptr;
    std::string lockKey_;  // empty until configured: no writes of the program yet
    bool inTx_ = false;
    bool readOnly_ = false;
    bool writeLocked_ = false;
    uint64_t txSerial_ = 1;
    uint64_t wroteIn_ = 0;  // the transaction of the last write
    uint64_t cursors_ = 0;
};

// Asks the user for the password of a server when none of the station's
// own files gives it; empty when the user gave none. Set by the program's
// frame; without it a password that is needed is an error.
using PasswordAsker = std::string (*)(const std::string& address);
void setPasswordAsker(PasswordAsker asker);

}  // namespace marel
