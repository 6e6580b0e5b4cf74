#include "store/SqliteEngine.h"

#include <sqlite3.h>
#include <unicode/ucol.h>

#include "store/Store.h"

namespace marel {

namespace {

// Croatian order for every text key: C < Č < Ć < D < Dž < Đ, case ignored,
// accents not. ICU's "hr" tailoring knows the digraphs.
int compareHr(void* collator, int n1, const void* s1, int n2, const void* s2) {
    UErrorCode status = U_ZERO_ERROR;
    auto r = ucol_strcollUTF8(static_cast<UCollator*>(collator), static_cast<const char*>(s1), n1,
                              static_cast<const char*>(s2), n2, &status);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}
void destroyCollator(void* collator) { ucol_close(static_cast<UCollator*>(collator)); }

std::string_view viewOf(const void* data, int bytes) {
    return data ? std::string_view(static_cast<const char*>(data), size_t(bytes)) : std::string_view();
}

}  // namespace

bool useCroatianOrder(sqlite3* db) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* coll = ucol_open("hr", &status);
    if (U_FAILURE(status)) return false;
    ucol_setStrength(coll, UCOL_SECONDARY);
    // The connection closes the collator once it has taken it; not when it refused it.
    if (sqlite3_create_collation_v2(db, sqliteDialect().croatianOrder, SQLITE_UTF8, coll, compareHr, destroyCollator) == SQLITE_OK) return true;
    ucol_close(coll);
    return false;
}

// ------------------------------------------------------------------ Statement

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        finalize();
        st_ = other.st_;
        rc_ = other.rc_;
        other.st_ = nullptr;
    }
    return *this;
}

void SqliteStatement::bindInt(int index, int64_t value) { sqlite3_bind_int64(st_, index, value); }
void SqliteStatement::bindNull(int index) { sqlite3_bind_null(st_, index); }
void SqliteStatement::bindText(int index, std::string_view text) {
    sqlite3_bind_text(st_, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
}
void SqliteStatement::bindBlob(int index, std::string_view bytes) {
    sqlite3_bind_blob(st_, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
}
void SqliteStatement::bindTextInPlace(int index, std::string_view text) {
    sqlite3_bind_text(st_, index, text.data(), int(text.size()), SQLITE_STATIC);
}
void SqliteStatement::bindBlobInPlace(int index, std::string_view bytes) {
    sqlite3_bind_blob(st_, index, bytes.data(), int(bytes.size()), SQLITE_STATIC);
}

StepResult SqliteStatement::step() {
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
        rc_ = 0;
        return rc == SQLITE_ROW ? StepResult::Row : StepResult::Done;
    }
    rc_ = rc;
    return StepResult::Error;
}

int64_t SqliteStatement::columnInt(int column) { return sqlite3_column_int64(st_, column); }

std::string_view SqliteStatement::columnText(int column) {
    // The text first, then its length: asking in this order converts once.
    const unsigned char* text = sqlite3_column_text(st_, column);
    return viewOf(text, text ? sqlite3_column_bytes(st_, column) : 0);
}

std::string_view SqliteStatement::columnBlob(int column) {
    const void* bytes = sqlite3_column_blob(st_, column);
    return viewOf(bytes, bytes ? sqlite3_column_bytes(st_, column) : 0);
}

ColumnKind SqliteStatement::columnKind(int column) {
    switch (sqlite3_column_type(st_, column)) {
        case SQLITE_NULL: return ColumnKind::Null;
        case SQLITE_INTEGER: return ColumnKind::Integer;
        case SQLITE_FLOAT: return ColumnKind::Real;
        case SQLITE_BLOB: return ColumnKind::Blob;
        default: return ColumnKind::Text;
    }
}

int SqliteStatement::columnCount() { return sqlite3_column_count(st_); }

void SqliteStatement::reset() { sqlite3_reset(st_); }
void SqliteStatement::clearBindings() { sqlite3_clear_bindings(st_); }

void SqliteStatement::finalize() {
    sqlite3_finalize(st_);
    st_ = nullptr;
}

// ----------------------------------------------------------------- Connection

int SqliteConnection::open(const std::string& path, bool readOnly) {
    close();
    // Nobody asks the engine how much memory it uses; counting it costs a
    // global lock on every allocation. Only possible before its first use.
    static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)configured;
    // The program reaches its connection from one thread only, so the
    // engine need not lock it around every call (a measurable share of
    // every record read).
    const int mode = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    return sqlite3_open_v2(path.c_str(), &db_, mode | SQLITE_OPEN_NOMUTEX, nullptr);
}

void SqliteConnection::close() {
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

int SqliteConnection::exec(const std::string& sql) {
    if (!db_) return SQLITE_MISUSE;
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
}

SqliteStatement SqliteConnection::prepare(std::string_view sql, bool kept) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v3(db_, sql.data(), int(sql.size()), kept ? SQLITE_PREPARE_PERSISTENT : 0, &st, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(st);
        return SqliteStatement();
    }
    return SqliteStatement(st);
}

int SqliteConnection::idsGiven(const std::string& table, int64_t atLeast) {
    if (atLeast <= 0) return 0;
    for (const char* sql : {"UPDATE sqlite_sequence SET seq = max(seq, ?1) WHERE name = ?2",
                            "INSERT INTO sqlite_sequence(seq, name) VALUES(?1, ?2)"}) {
        SqliteStatement st = prepare(sql, false);
        if (!st) return errorCode();
        st.bindInt(1, atLeast);
        st.bindText(2, table);
        if (st.step() == StepResult::Error) return st.result();
        if (changes() > 0) return 0;
    }
    return 0;
}

int64_t SqliteConnection::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }
int64_t SqliteConnection::changes() const { return sqlite3_changes64(db_); }
int64_t SqliteConnection::totalChanges() const { return sqlite3_total_changes64(db_); }
bool SqliteConnection::inTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }
void SqliteConnection::onBusy(int (*wait)(void*, int), void* context) { sqlite3_busy_handler(db_, wait, context); }

int SqliteConnection::errorCode() const { return db_ ? sqlite3_errcode(db_) : SQLITE_MISUSE; }

std::string SqliteConnection::errorText(int code) const {
    const char* msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    return msg ? msg : "";
}

int SqliteConnection::storeCode(int code) const {
    return storeCodeOf(code, db_ ? sqlite3_extended_errcode(db_) : code);
}

int SqliteConnection::storeCodeOf(int code, int detail) {
    const int primary = code & 0xFF;
    if ((detail & 0xFF) != primary) detail = code;
    switch (primary) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED: return kFileLocked;
        case SQLITE_CONSTRAINT:
            switch (detail) {
                case SQLITE_CONSTRAINT_UNIQUE:
                case SQLITE_CONSTRAINT_PRIMARYKEY:
                case SQLITE_CONSTRAINT_ROWID: return kDuplicateKey;
                case SQLITE_CONSTRAINT_FOREIGNKEY: return kLinkBroken;
                default: return kRuleBroken;
            }
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH: return kAccessDenied;
        case SQLITE_FULL: return kDiskFull;
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT: return kFileInvalid;
        default: return kStoreFailure;
    }
}

std::string SqliteConnection::textOf(int code) { return sqlite3_errstr(code); }
int SqliteConnection::ioFailure() { return SQLITE_IOERR; }
int SqliteConnection::misuse() { return SQLITE_MISUSE; }
bool SqliteConnection::notADatabase(int code) { return code == SQLITE_NOTADB || code == SQLITE_CORRUPT; }

bool SqliteConnection::useCroatianOrder() { return marel::useCroatianOrder(db_); }

int SqliteConnection::configure() {
    int rc = exec("PRAGMA journal_mode=DELETE");
    if (rc == SQLITE_OK) rc = exec("PRAGMA foreign_keys=OFF");
    // A larger page cache keeps the key pages of big files in memory while
    // many records are added in one transaction.
    if (rc == SQLITE_OK) rc = exec("PRAGMA cache_size=-65536");
    return rc;
}

namespace {
std::string sameAs(const std::string& column) { return column + " IS ?"; }
std::string replacing(const std::string& table, const std::vector<std::string>& columns, size_t) {
    std::string list, marks;
    for (const std::string& c : columns) {
        list += (list.empty() ? "" : ", ") + c;
        marks += marks.empty() ? "?" : ", ?";
    }
    return "INSERT OR REPLACE INTO " + table + "(" + list + ") VALUES(" + marks + ")";
}
}  // namespace

const Dialect& sqliteDialect() {
    static const Dialect d{
        "rowid",
        "INTEGER PRIMARY KEY AUTOINCREMENT",
        "HR",
        "INTEGER",
        "BEGIN DEFERRED",
        "SELECT count(*) FROM sqlite_master",
        "SELECT name FROM pragma_table_info(?)",
        "SELECT type, name, sql FROM sqlite_master WHERE tbl_name = ?",
        "SELECT 1 FROM sqlite_master WHERE type='table' AND name = ?",
        "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name = ? AND sql IS NOT NULL",
        "SELECT seq FROM sqlite_sequence WHERE name = ?",
        " ASC",
        " DESC",
        "",
        " DESC",
        // Every index of SQLite ends in the record id already.
        "",
        "",
        sameAs,
        replacing,
    };
    return d;
}

}  // namespace marel
