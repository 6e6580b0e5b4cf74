#pragma once
// The keyed file store: one database per data folder (MAREL.DB), one
// table per data file, one index per key. This class is the connection; the
// files themselves are DataFile objects bound to it.
#include <boost/core/noncopyable.hpp>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "store/Engine.h"

namespace marel {

class DataFile;
class Layout;

// Error codes the program tests after store operations.
enum StoreError : int {
    kNoError = 0,
    kFileNotFound = 2,
    kAccessDenied = 5,        // the database is read-only for this station
    kFileLocked = 32,
    kRecordNotAvailable = 33,
    kRecordNotFound = 35,
    kFileNotOpen = 37,
    kDuplicateKey = 40,
    kLinkBroken = 41,         // a link between files the engine guards
    kRuleBroken = 42,         // a check or a required value of the file
    kDiskFull = 44,
    kKeysInvalid = 46,
    kFileInvalid = 47,
    kAlreadyOpen = 52,
    kChangedByOther = 89,
    kStoreFailure = 90,
};

// State of the last store operation. Each screen keeps its own, as it keeps
// its own record buffers (see BufferSet).
struct ErrorState {
    int code = 0;
    int storeCode = 0;
    std::string storeText;
};
ErrorState& lastErrorState();
int errorCode();
std::string errorText();      // text of errorCode()
int storeErrorCode();         // the engine's own code, for 90
std::string storeErrorText();
void setError(int code, int storeCode = 0, const std::string& storeText = "");
std::string errorTextOf(int code);

// The local time now as `format` (strftime) writes it; at most 31 characters.
std::string localTimeText(const char* format);

// The server address `location` names, directly or through its folder's
// MAREL.conf; empty for a data folder of its own. 0, or 47 when MAREL.conf
// names no server.
int serverAddressOf(const std::string& location, std::string& address);

// The folder of the reference tables delivered with the program.
const std::string& suppliedDataDir();

class Store : private boost::noncopyable {
public:
    Store();
    ~Store();

    // The program's own connection, used by the global file objects.
    static Store& main();

    // Opens (creating when missing) folder/MAREL.DB. A new database receives
    // the supplied reference tables found in `dataDir` (nothing when it is
    // empty or missing); so does an empty one (0 bytes, or no tables at
    // all), after a 0-byte file was kept aside as MAREL.DB.prazna-<time>.
    // Tables of an older program are brought to today's shape, their
    // records kept. Returns 0, or 47 when the file is not a usable
    // database, or 90.
    //
    // `location` may instead name a database server (see isServerAddress),
    // directly or through a file MAREL.conf in the folder that holds its
    // address, so that every station of an office starts on its folder.
    int open(const std::string& location, const std::string& dataDir = suppliedDataDir());
    void close();
    bool isOpen() const { return conn_.isOpen(); }
    // The database file exists but cannot be used.
    bool damaged() const { return damaged_; }
    // The file kept aside when an empty database was replaced (else empty).
    const std::string& keptAside() const { return keptAside_; }
    // The data folder; empty when the location named a server directly.
    const std::string& folder() const { return folder_; }
    // The database file, or the server's address.
    std::string path() const;
    bool onServer() const { return !address_.empty(); }
    // The location given to the last open named a server, directly or by its
    // MAREL.conf, whether or not the server could be used.
    bool namesServer() const { return namesServer_; }
    // The SQLite engine's own handle (nullptr on a server): for copies, and
    // for tests and measurements that look at the database directly.
    sqlite3* db() const { return conn_.handle(); }
    Connection& connection() { return conn_; }

    // Transactions over the whole database (every file of a data folder lives
    // in it, so a transaction across files is atomic). begin waits at most
    // timeoutMs for another station's lock and then fails with 32.
    int begin(int timeoutMs = 2000);
    int commit();
    int rollback();
    bool inTransaction() const { return inTransaction_; }

    // A read transaction: the reads inside it see one state of the database
    // and share one lock, instead of taking and dropping it per statement
    // (what makes a long report slow and lets another station's write tear
    // it). Calls nest; the outermost commitRead ends it. Inside a write
    // transaction it simply joins that one. A write transaction begun inside
    // it ends the reading state first, so the write waits for other readers
    // and is on disk at its commit as always; reading then goes on in a new
    // read transaction that sees the written records. Hold one only while
    // reading: another station cannot commit a write until it ends.
    int beginRead();
    int commitRead();
    bool inReadTransaction() const { return readDepth_ > 0; }
    // While the user is asked something in the middle of a read transaction,
    // the lock goes (other stations must not wait on a dialog): pauseRead
    // ends the reading state, resumeRead starts a new one that sees what was
    // written meanwhile. Both do nothing outside a read transaction.
    int pauseRead();
    int resumeRead();
    // A walk (see Cursor) keeps stepping one statement from record to record
    // while the read transaction lasts. The statement is reset when the
    // reading state ends, so it never keeps the lock beyond it. Returns the
    // transaction's serial, or 0 when no read transaction of ours is active
    // (nothing may be kept then).
    uint64_t holdWhileReading(Statement* st);
    bool stillReading(uint64_t serial) const { return serial != 0 && reading_ && serial == readSerial_; }

    // After the whole database was replaced under this connection (a copy
    // restored into it): statements and reading copies go, and tables of an
    // older program are brought to today's shape. 0 or the store's code.
    int reopened();

    // Whether the table `name` exists: 0, or the store's code of a failed look.
    int findTable(const std::string& name, bool& found);

    // Loads one supplied table (LABEL.tsv) into an existing, empty table.
    int loadTable(const std::string& label, const std::string& dataDir);

    // Prepared statements, cached per connection; reset before they are returned.
    // nullptr when the SQL does not compile (see failLast).
    Statement* statement(const std::string& sql);
    // Forget every cached statement (after a table is created or dropped).
    void dropStatements();
    // Changes whenever the cached statements are dropped, so that whoever
    // keeps a statement of statement() can tell it is gone.
    uint64_t statementGeneration() const { return generation_; }
    // Runs SQL without results; returns the engine's code (0: done).
    int exec(const std::string& sql);
    // Maps an engine failure into the program's error codes and sets them.
    int fail(int engineCode);
    // The same for the connection's last failure (a statement that did not compile).
    int failLast() { return fail(conn_.errorCode()); }
    // How many operations have failed so far because another station held
    // the database (32): a run that saw one more may have read nothing, or
    // part of what it wanted, and must not pass for complete.
    uint64_t lockFailures() const { return lockFailures_; }

    // How long a statement waits for another station's lock before it fails
    // with 32. Writers wait briefly (a data-entry station must not hang);
    // reading waits longer, polling often, so that a report finds the short
    // gaps between another station's writes instead of giving up. A lock
    // held longer than that is not a gap: once a wait has run out, the
    // statements that follow close behind it fail at once instead of each
    // waiting again, so a run over many records ends within one wait.
    static constexpr int kWriteWaitMs = 2000;
    static constexpr int kReadWaitMs = 5000;
    static constexpr int kGiveUpSpanMs = 2000;
    // Runs `step` as a write: with the writer's wait when it is outside a
    // write transaction (inside one, the lock is already ours).
    template <class F>
    auto asWrite(F&& step) {
        const int kept = busyLimitMs_;
        if (!inTransaction_) busyLimitMs_ = kWriteWaitMs;
        auto r = step();
        busyLimitMs_ = kept;
        return r;
    }

    // For tests: the n-th write of a record from now (1 = the next one)
    // fails as a file system error would; 0 switches it off.
    void injectWriteFailure(int nth) { faultCountdown_ = nth; }
    // Called by every record write: true when this one is to fail.
    bool writeFailureDue() { return faultCountdown_ > 0 && --faultCountdown_ == 0; }

    // The only object that may keep track of which file objects are open on
    // this connection (so that remove can refuse a file in use).
    void noteOpen(const std::string& label, int delta);
    int openCount(const std::string& label) const;

    // The reading copies of the data files on this connection (see
    // store/Values.h): made on first use, dropped when the store closes.
    DataFile* readingCopy(std::type_index file) const;
    DataFile& keepReadingCopy(std::type_index file, std::unique_ptr<DataFile> copy);

private:
    int openServer(const std::string& dataDir);
    int prepareTables(bool isNew, const std::string& dataDir);
    int startReading();
    int stopReading();
    void releaseHeld();
    int runKept(const char* sql);
    int upgradeTables();
    int loadRows(const Layout& layout, std::istream& in, std::string& why);
    static int busyWait(void* self, int count);

    Connection conn_;
    bool damaged_ = false;
    std::string keptAside_;
    int busyLimitMs_ = 0;     // 0: by the kind of statement (see kReadWaitMs)
    int64_t busySinceUs_ = 0;
    int64_t gaveUpUs_ = 0;    // when a wait last ran out (0: never)
    uint64_t lockFailures_ = 0;
    int faultCountdown_ = 0;
    bool inTransaction_ = false;
    int readDepth_ = 0;       // nested beginRead calls not yet committed
    bool reading_ = false;    // our own deferred BEGIN is active
    uint64_t readSerial_ = 1; // moves on whenever the held statements are reset
    std::vector<Statement*> held_;
    std::string folder_;
    std::string address_;  // of the server, when the data is on one
    bool namesServer_ = false;
    // Node-based: the statements handed out keep their place.
    std::unordered_map<std::string, Statement> statements_;
    uint64_t generation_ = 1;
    std::unordered_map<std::string, int> openFiles_;
    std::unordered_map<std::type_index, std::unique_ptr<DataFile>> readingCopies_;
};

// A read transaction for the life of a scope.
class ReadTransaction : private boost::noncopyable {
public:
    explicit ReadTransaction(Store& store = Store::main()) : store_(store), held_(store.beginRead() == 0) {}
    ~ReadTransaction() {
        if (held_) store_.commitRead();
    }

private:
    Store& store_;
    bool held_;
};

// The read transaction paused for the life of a scope (see pauseRead).
class ReadPause : private boost::noncopyable {
public:
    explicit ReadPause(Store& store = Store::main()) : store_(store) { store_.pauseRead(); }
    ~ReadPause() { store_.resumeRead(); }

private:
    Store& store_;
};

// A write transaction for the life of a scope: unless commit() is called,
// everything written in it is undone when the scope ends, whether by an early
// return or by an exception. A begin that fails (another station holds the
// lock, the store is closed) leaves ok() false and error() holding its code.
class WriteTransaction : private boost::noncopyable {
public:
    // Join: a transaction already open on the store is joined instead of
    // refused; its commit and rollback then stay with whoever began it.
    enum Mode { Own, Join };

    explicit WriteTransaction(Store& store = Store::main(), int timeoutMs = 2000, Mode mode = Own);
    ~WriteTransaction() { rollback(); }

    bool ok() const { return error_ == 0; }
    int error() const { return error_; }
    // Begun here and not yet ended.
    bool active() const { return active_; }
    // True when an open transaction was joined rather than begun here.
    bool joined() const { return ok() && !active_ && !ended_; }
    Store& store() const { return store_; }

    // The store's code: 0 when written. A failed begin returns its own code;
    // a transaction already ended cannot be committed (90), so a commit after
    // a rollback is never mistaken for a write.
    int commit();
    // Undoes what was written; does nothing once ended or when joined.
    void rollback();

private:
    Store& store_;
    int error_ = 0;
    bool active_ = false;
    bool ended_ = false;
};

}  // namespace marel
