#include "store/PostgresEngine.h"

#include <dlfcn.h>
#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>

#include "store/Store.h"

namespace marel {

namespace {

// libpq is loaded when a store first opens a server, not linked: with it come
// some twenty libraries (TLS, Kerberos, LDAP) that every start of the program
// on a data folder would otherwise map and relocate before its window shows.
#define MAREL_LIBPQ_FUNCTIONS(F) \
    F(PQclear) \
    F(PQcmdTuples) \
    F(PQconnectdbParams) \
    F(PQconnectionNeedsPassword) \
    F(PQconnectionUsedPassword) \
    F(PQconninfoFree) \
    F(PQconninfoParse) \
    F(PQenterPipelineMode) \
    F(PQerrorMessage) \
    F(PQescapeLiteral) \
    F(PQexec) \
    F(PQexecParams) \
    F(PQexitPipelineMode) \
    F(PQfinish) \
    F(PQfreemem) \
    F(PQftype) \
    F(PQgetResult) \
    F(PQgetisnull) \
    F(PQgetlength) \
    F(PQgetvalue) \
    F(PQnfields) \
    F(PQntuples) \
    F(PQpipelineSync) \
    F(PQreset) \
    F(PQresultErrorField) \
    F(PQresultErrorMessage) \
    F(PQresultStatus) \
    F(PQsendQueryParams) \
    F(PQsetNoticeProcessor) \
    F(PQstatus) \
    F(PQtransactionStatus)

struct LibPq {
#define MAREL_LIBPQ_POINTER(name) decltype(&::name) name = nullptr;
    MAREL_LIBPQ_FUNCTIONS(MAREL_LIBPQ_POINTER)
#undef MAREL_LIBPQ_POINTER
};

LibPq pq;
// Its interface number has been 5 since PostgreSQL 8.
const char* libPqName = "libpq.so.5";

// Empty when every function was found; else why not, for the user. Loaded
// once per library name (a test names another).
const std::string& loadLibPq() {
    static std::mutex loading;
    static const char* loaded = nullptr;
    static std::string why;
    const std::lock_guard<std::mutex> one(loading);
    if (loaded == libPqName) return why;
    loaded = libPqName;
    void* lib = dlopen(libPqName, RTLD_NOW | RTLD_LOCAL);
    if (!lib) return why = "nije moguće učitati biblioteku " + std::string(libPqName);
    // Filled aside: connections already open go on with the table they have.
    LibPq found;
    std::string missing;
#define MAREL_LIBPQ_RESOLVE(name)                                        \
    found.name = reinterpret_cast<decltype(&::name)>(dlsym(lib, #name)); \
    if (!found.name && missing.empty()) missing = #name;
    MAREL_LIBPQ_FUNCTIONS(MAREL_LIBPQ_RESOLVE)
#undef MAREL_LIBPQ_RESOLVE
    if (!missing.empty()) return why = "biblioteka " + std::string(libPqName) + " nema funkciju " + missing;
    pq = found;
    return why = std::string();
}

}  // namespace

const char* setPostgresLibraryForTests(const char* name) {
    const char* before = libPqName;
    libPqName = name;
    return before;
}

namespace {

// The engine's own codes, beside those of the server's SQLSTATEs (codeOf).
enum : int {
    kMisuse = 1,
    kIoFailure = 2,
    kLockWaitOver = 3,
    kNoServer = 4,
    kPasswordInAddress = 5,
    kPasswordRefused = 6,
    kNoSchema = 7,
    kTransactionBroken = 8,
    kStateBase = 1000,
};

PasswordAsker passwordAsker = nullptr;
// Passwords the user typed, by address, for the life of the program: asked once.
std::map<std::string, std::string>& typedPasswords() {
    static std::map<std::string, std::string> passwords;
    return passwords;
}

std::string trimmed(const char* text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string upperWord(std::string_view sql) {
    size_t i = 0;
    while (i < sql.size() && (sql[i] == ' ' || sql[i] == '\n' || sql[i] == '(')) ++i;
    std::string word;
    while (i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i])))
        word += char(std::toupper(static_cast<unsigned char>(sql[i++])));
    return word;
}

// The whole transaction's rollback, not one to a savepoint.
bool endsInRollback(std::string_view sql) {
    return upperWord(sql) == "ROLLBACK" && sql.find(" TO ") == std::string_view::npos;
}

// `?` becomes `$n`; `?=` names the parameter of the `?` before it again (a
// value the server must compare twice).
std::string numbered(std::string_view sql, int& count) {
    std::string out;
    out.reserve(sql.size() + 16);
    char quote = 0;
    count = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (quote) {
            if (c == quote) quote = 0;
            out += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == '?') {
            if (i + 1 < sql.size() && sql[i + 1] == '=') {
                ++i;
                out += "$" + std::to_string(std::max(count, 1));
            } else {
                out += "$" + std::to_string(++count);
            }
        } else {
            out += c;
        }
    }
    return out;
}

bool hasPassword(const std::string& address) {
    char* error = nullptr;
    PQconninfoOption* options = pq.PQconninfoParse(address.c_str(), &error);
    if (error) pq.PQfreemem(error);
    if (!options) return false;
    bool found = false;
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val) found = true;
    pq.PQconninfoFree(options);
    return found;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr Oid kBoolOid = 16, kByteaOid = 17, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kOidOid = 26,
              kFloat4Oid = 700, kFloat8Oid = 701, kNumericOid = 1700;

std::string sameAs(const std::string& column) {
    // Written so that the index of the column serves: the server plans each
    // query with its values, and the second half falls away for a value.
    return "(" + column + " = ? OR " + column + " IS NULL AND ?= IS NULL)";
}

std::string replacing(const std::string& table, const std::vector<std::string>& columns, size_t keyColumns) {
    std::string list, marks, key, set;
    for (size_t i = 0; i < columns.size(); ++i) {
        list += (i ? ", " : "") + columns[i];
        marks += i ? ", ?" : "?";
        if (i < keyColumns) key += (i ? ", " : "") + columns[i];
        else set += (set.empty() ? "" : ", ") + columns[i] + " = EXCLUDED." + columns[i];
    }
    return "INSERT INTO " + table + "(" + list + ") VALUES(" + marks + ") ON CONFLICT (" + key + ") DO UPDATE SET " + set;
}

}  // namespace

void setPasswordAsker(PasswordAsker asker) { passwordAsker = asker; }

bool isServerAddress(const std::string& location) {
    return location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0 ||
           location.find("dbname=") != std::string::npos || location.find("service=") != std::string::npos ||
           location.find("host=") != std::string::npos;
}

const Dialect& serverDialect() {
    static const Dialect d{
        "\"_id\"",
        "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY",
        "marel_hr",
        "BIGINT",
        "BEGIN ISOLATION LEVEL REPEATABLE READ",
        "SELECT count(*) FROM pg_tables WHERE schemaname = current_schema()",
        "SELECT a.attname::text FROM pg_attribute a JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON "
        "n.oid = c.relnamespace WHERE n.nspname = current_schema() AND c.relname = ? AND c.relkind = 'r' AND "
        "a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
        // An index's SQL is kept as its comment when it is made: the
        // server's own text of it is not the program's.
        "SELECT 'table', c.relname::text, '' FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
        "n.nspname = current_schema() AND c.relkind = 'r' AND c.relname = ? UNION ALL SELECT 'index', "
        "i.relname::text, coalesce(obj_description(i.oid, 'pg_class'), '') FROM pg_index x JOIN pg_class i ON i.oid = "
        "x.indexrelid JOIN pg_class t ON t.oid = x.indrelid JOIN pg_namespace n ON n.oid = t.relnamespace WHERE "
        "n.nspname = current_schema() AND t.relname = ?= AND NOT x.indisprimary",
        "SELECT 1 FROM pg_tables WHERE schemaname = current_schema() AND tablename = ?",
        "SELECT i.relname::text FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid JOIN pg_class t ON t.oid = "
        "x.indrelid JOIN pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = current_schema() AND t.relname "
        "= ? AND NOT x.indisprimary",
        "SELECT coalesce(pg_sequence_last_value(pg_get_serial_sequence(quote_ident(?), '_id')::regclass), 0)",
        // An empty date sorts first, as everywhere in the program.
        " ASC NULLS FIRST",
        " DESC NULLS LAST",
        " ASC NULLS FIRST",
        " DESC NULLS LAST",
        ", \"_id\"",
        " RETURNING \"_id\"",
        sameAs,
        replacing,
    };
    return d;
}

// ------------------------------------------------------------------ Statement

PgStatement::PgStatement(PgConnection& conn, std::string sql, int parameters)
    : conn_(conn), sql_(std::move(sql)), params_(size_t(parameters)) {
    const std::string word = upperWord(sql_);
    if (word == "SELECT" || word == "WITH" || word == "VALUES" || word == "SHOW" || word == "FETCH")
        kind_ = Kind::Read;
    else if (word == "BEGIN" || word == "COMMIT" || word == "ROLLBACK" || word == "END" || word == "SAVEPOINT" ||
             word == "RELEASE" || word == "SET" || word == "CLOSE" || word == "PRAGMA")
        kind_ = Kind::Control;
    else
        kind_ = Kind::Write;
    // Only the program's own files are walked; the catalogue is read whole.
    limited_ = sql_.find(" LIMIT ") != std::string::npos || sql_.find(" FROM \"") == std::string::npos;
}

PgStatement::~PgStatement() { reset(); }

PgStatement::Parameter* PgStatement::slot(int index) {
    return index >= 1 && size_t(index) <= params_.size() ? &params_[size_t(index) - 1] : nullptr;
}

void PgStatement::bindInt(int index, int64_t value) {
    if (Parameter* p = slot(index)) {
        char text[24];
        auto [end, ec] = std::to_chars(text, text + sizeof text, value);
        p->own.assign(text, end);
        p->data = p->own.c_str();
        p->length = int(p->own.size());
        p->binary = false;
    }
}

void PgStatement::bindNull(int index) {
    if (Parameter* p = slot(index)) p->data = nullptr;
}

void PgStatement::bindText(int index, std::string_view text) {
    if (Parameter* p = slot(index)) {
        // The server takes a text up to its first NUL, as the program itself
        // never stores one.
        p->own.assign(text.data(), strnlen(text.data(), text.size()));
        p->data = p->own.c_str();
        p->length = int(p->own.size());
        p->binary = false;
    }
}

void PgStatement::bindBlob(int index, std::string_view bytes) {
    if (Parameter* p = slot(index)) {
        p->own.assign(bytes);
        p->data = p->own.data();
        p->length = int(p->own.size());
        p->binary = true;
    }
}

// Text parameters go as C strings, so a text is copied either way.
void PgStatement::bindTextInPlace(int index, std::string_view text) { bindText(index, text); }
void PgStatement::bindBlobInPlace(int index, std::string_view bytes) { bindBlob(index, bytes); }

void PgStatement::clearBindings() {
    for (Parameter& p : params_) p.data = nullptr;
}

PgStatement::Arguments PgStatement::arguments() const {
    Arguments a;
    const size_t n = params_.size();
    a.values.resize(n);
    a.lengths.resize(n);
    a.formats.resize(n);
    a.types.resize(n);
    for (size_t i = 0; i < n; ++i) {
        a.values[i] = params_[i].data;
        a.lengths[i] = params_[i].length;
        a.formats[i] = params_[i].binary ? 1 : 0;
        a.types[i] = params_[i].binary ? kByteaOid : 0;
    }
    return a;
}

pg_result* PgStatement::runWithParameters(const std::string& sql) {
    const Arguments a = arguments();
    return pq.PQexecParams(conn_.handle(), sql.c_str(), int(params_.size()), a.types.data(), a.values.data(),
                        a.lengths.data(), a.formats.data(), 0);
}

// The statement between the commands `before` and `after` in one exchange
// with the server (a write costs the time of one, not three). Every result
// is read up to the end of the exchange; the statement's is returned, and
// `afterResult` receives the last command's.
pg_result* PgStatement::runBetween(const char* before, const char* after, pg_result*& afterResult) {
    pg_conn* c = conn_.handle();
    afterResult = nullptr;
    if (pq.PQenterPipelineMode(c) != 1) return nullptr;
    const Arguments a = arguments();
    auto command = [&](const char* sql) {
        return !sql || pq.PQsendQueryParams(c, sql, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
    };
    const bool sent = command(before) &&
                      pq.PQsendQueryParams(c, sql_.c_str(), int(params_.size()), a.types.data(), a.values.data(),
                                        a.lengths.data(), a.formats.data(), 0) == 1 &&
                      command(after);
    // Whatever was sent is answered up to the sync, so that the connection
    // leaves the exchange with nothing pending.
    const bool synced = pq.PQpipelineSync(c) == 1;
    const int statement = before ? 1 : 0;
    pg_result* mine = nullptr;
    for (int query = 0, nulls = 0; synced && nulls < 8;) {
        pg_result* r = pq.PQgetResult(c);
        if (!r) {
            // Between the results of two commands; a broken connection gives nothing more.
            ++query;
            if (pq.PQstatus(c) != CONNECTION_OK) ++nulls;
            continue;
        }
        if (pq.PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
            pq.PQclear(r);
            break;
        }
        if (query == statement && !mine) mine = r;
        else if (query == statement + 1 && !afterResult) afterResult = r;
        else pq.PQclear(r);
    }
    pq.PQexitPipelineMode(c);
    if (!sent && mine) {
        pq.PQclear(mine);
        mine = nullptr;
    }
    return mine;
}

StepResult PgStatement::fail(int code) {
    rc_ = code;
    return StepResult::Error;
}

StepResult PgStatement::step() {
    if (!conn_.isOpen()) return fail(kMisuse);
    if (!started_) return start();
    if (row_ + 1 < rows_) {
        ++row_;
        return StepResult::Row;
    }
    if (!cursor_.empty() && more_) {
        if (cursorTx_ != conn_.transactionSerial()) return fail(kMisuse);
        if (!fetch()) return fail(conn_.errorCode());
        if (rows_ > 0) {
            row_ = 0;
            return StepResult::Row;
        }
    }
    return StepResult::Done;
}

StepResult PgStatement::start() {
    started_ = true;
    rc_ = 0;
    if (int rc = conn_.ready(sql_)) return fail(rc);
    if (kind_ == Kind::Control) {
        if (upperWord(sql_) == "PRAGMA") return StepResult::Done;  // the file engine's own settings
        const int rc = conn_.run(sql_.c_str());
        return rc ? fail(rc) : StepResult::Done;
    }
    if (kind_ == Kind::Write) return write();
    if (!limited_ && conn_.inTransaction()) {
        // A walk: a cursor of the transaction, read a batch at a time.
        const std::string name = conn_.nextCursorName();
        pg_result* declared = runWithParameters("DECLARE " + name + " NO SCROLL CURSOR FOR " + sql_);
        if (int rc = conn_.noteResult(declared)) return fail(rc);
        pq.PQclear(declared);
        cursor_ = name;
        cursorTx_ = conn_.transactionSerial();
        batch_ = 64;
        if (!fetch()) return fail(conn_.errorCode());
    } else {
        res_ = runWithParameters(sql_);
        if (int rc = conn_.noteResult(res_)) return fail(rc);
        rows_ = pq.PQntuples(res_);
        more_ = false;
    }
    row_ = -1;
    return step();
}

bool PgStatement::fetch() {
    if (res_) pq.PQclear(res_);
    res_ = pq.PQexec(conn_.handle(), ("FETCH FORWARD " + std::to_string(batch_) + " FROM " + cursor_).c_str());
    if (conn_.noteResult(res_)) {
        rows_ = 0;
        return false;
    }
    rows_ = pq.PQntuples(res_);
    more_ = rows_ == batch_;
    batch_ = std::min(batch_ * 4, 4096);
    row_ = -1;
    return true;
}

// A write waits for the database's write lock and runs under a savepoint,
// so that a failure (a duplicate key) undoes only itself; outside a
// transaction it is a transaction of its own.
StepResult PgStatement::write() {
    const bool own = !conn_.inTransaction();
    if (own)
        if (int rc = conn_.run("BEGIN")) return fail(rc);
    if (int rc = conn_.holdWriteLock()) {
        if (own) conn_.run("ROLLBACK");
        return fail(rc);
    }
    pg_result* after = nullptr;
    pg_result* res = own ? runBetween(nullptr, "COMMIT", after) : runBetween("SAVEPOINT marel_w", "RELEASE SAVEPOINT marel_w", after);
    if (int rc = conn_.noteResult(res)) {
        if (after) pq.PQclear(after);
        if (own) conn_.run("ROLLBACK");
        else if (conn_.run("ROLLBACK TO SAVEPOINT marel_w") == 0) conn_.run("RELEASE SAVEPOINT marel_w");
        return fail(rc);
    }
    const char* tuples = pq.PQcmdTuples(res);
    int64_t id = 0;
    if (pq.PQresultStatus(res) == PGRES_TUPLES_OK && pq.PQntuples(res) > 0) {
        const char* v = pq.PQgetvalue(res, 0, 0);
        std::from_chars(v, v + std::strlen(v), id);
    }
    conn_.wrote(tuples && *tuples ? std::atoll(tuples) : 0, id);
    pq.PQclear(res);
    if (int rc = conn_.noteResult(after)) return fail(rc);
    pq.PQclear(after);
    return StepResult::Done;
}

int64_t PgStatement::columnInt(int column) {
    if (!res_ || row_ < 0 || pq.PQgetisnull(res_, row_, column)) return 0;
    const char* v = pq.PQgetvalue(res_, row_, column);
    if (*v == 't') return 1;
    int64_t n = 0;
    std::from_chars(v, v + pq.PQgetlength(res_, row_, column), n);
    return n;
}

std::string_view PgStatement::columnText(int column) {
    if (!res_ || row_ < 0 || column >= pq.PQnfields(res_) || pq.PQgetisnull(res_, row_, column)) return {};
    return {pq.PQgetvalue(res_, row_, column), size_t(pq.PQgetlength(res_, row_, column))};
}

std::string_view PgStatement::columnBlob(int column) {
    const std::string_view text = columnText(column);
    if (!text.data() || pq.PQftype(res_, column) != kByteaOid) return text;
    // The server's hex form: \x then two digits a byte.
    decoded_.clear();
    if (text.size() >= 2 && text[0] == '\\' && text[1] == 'x')
        for (size_t i = 2; i + 1 < text.size(); i += 2) {
            const int hi = hexValue(text[i]), lo = hexValue(text[i + 1]);
            if (hi < 0 || lo < 0) break;
            decoded_ += char(hi * 16 + lo);
        }
    return {decoded_.data(), decoded_.size()};
}

ColumnKind PgStatement::columnKind(int column) {
    if (!res_ || row_ < 0 || column >= pq.PQnfields(res_) || pq.PQgetisnull(res_, row_, column)) return ColumnKind::Null;
    switch (pq.PQftype(res_, column)) {
        case kBoolOid:
        case kInt2Oid:
        case kInt4Oid:
        case kInt8Oid:
        case kOidOid: return ColumnKind::Integer;
        case kFloat4Oid:
        case kFloat8Oid:
        case kNumericOid: return ColumnKind::Real;
        case kByteaOid: return ColumnKind::Blob;
        default: return ColumnKind::Text;
    }
}

int PgStatement::columnCount() const { return res_ ? pq.PQnfields(res_) : 0; }

void PgStatement::reset() {
    if (res_) pq.PQclear(res_);
    res_ = nullptr;
    // A cursor ends with its transaction; closing one already gone would
    // fail, and a failure ends the transaction it is in.
    if (!cursor_.empty() && conn_.isOpen() && cursorTx_ == conn_.transactionSerial() &&
        pq.PQtransactionStatus(conn_.handle()) == PQTRANS_INTRANS)
        conn_.run(("CLOSE " + cursor_).c_str());
    cursor_.clear();
    started_ = false;
    more_ = false;
    row_ = -1;
    rows_ = 0;
}

// ----------------------------------------------------------------- Connection

int PgConnection::open(const std::string& address, bool readOnly) {
    close();
    code_ = 0;
    text_.clear();
    if (const std::string& why = loadLibPq(); !why.empty()) {
        code_ = kNoServer;
        text_ = textOf(code_) + " (" + why + ")";
        return code_;
    }
    if (hasPassword(address)) {
        code_ = kPasswordInAddress;
        text_ = textOf(code_);
        return code_;
    }
    auto connect = [&](const std::string* password) {
        std::vector<const char*> keys{"dbname", "client_encoding", "application_name", "connect_timeout"};
        std::vector<const char*> values{address.c_str(), "UTF8", "MAREL", "10"};
        if (password) {
            keys.push_back("password");
            values.push_back(password->c_str());
        }
        keys.push_back(nullptr);
        values.push_back(nullptr);
        return pq.PQconnectdbParams(keys.data(), values.data(), 1);
    };
    auto typed = typedPasswords().find(address);
    conn_ = connect(typed == typedPasswords().end() ? nullptr : &typed->second);
    if (pq.PQstatus(conn_) != CONNECTION_OK && pq.PQconnectionNeedsPassword(conn_) && passwordAsker) {
        // Neither the station's password file nor its service file has one.
        const std::string password = passwordAsker(address);
        if (!password.empty()) {
            pq.PQfinish(conn_);
            conn_ = connect(&password);
            if (pq.PQstatus(conn_) == CONNECTION_OK) typedPasswords()[address] = password;
        }
    }
    if (pq.PQstatus(conn_) != CONNECTION_OK) {
        const bool password = pq.PQconnectionNeedsPassword(conn_) || pq.PQconnectionUsedPassword(conn_);
        const std::string why = trimmed(pq.PQerrorMessage(conn_));
        code_ = password && why.find("password") != std::string::npos ? kPasswordRefused : kNoServer;
        text_ = textOf(code_) + " (" + why + ")";
        pq.PQfinish(conn_);
        conn_ = nullptr;
        return code_;
    }
    // The server's notices (what a drop took along) are not the user's business.
    pq.PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
    readOnly_ = readOnly;
    if (readOnly) return run("SET default_transaction_read_only = on");
    return 0;
}

void PgConnection::close() {
    if (conn_) pq.PQfinish(conn_);
    conn_ = nullptr;
    inTx_ = false;
    writeLocked_ = false;
    ++txSerial_;
}

bool PgConnection::inTransaction() const {
    if (!conn_) return false;
    // A dropped connection's transaction stays until the store ends it (see ready).
    if (pq.PQstatus(conn_) != CONNECTION_OK) return inTx_;
    const PGTransactionStatusType s = pq.PQtransactionStatus(conn_);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

void PgConnection::noteTransaction() {
    if (pq.PQstatus(conn_) != CONNECTION_OK) return;
    const bool now = inTransaction();
    if (now != inTx_) {
        ++txSerial_;
        writeLocked_ = false;
        inTx_ = now;
    }
}

int PgConnection::noteResult(pg_result*& res) {
    const ExecStatusType status = res ? pq.PQresultStatus(res) : PGRES_FATAL_ERROR;
    noteTransaction();
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return 0;
    const char* state = res ? pq.PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    code_ = state ? codeOf(state) : pq.PQstatus(conn_) == CONNECTION_OK ? kMisuse : kNoServer;
    text_ = trimmed(res ? pq.PQresultErrorMessage(res) : pq.PQerrorMessage(conn_));
    if (text_.empty()) text_ = trimmed(pq.PQerrorMessage(conn_));
    if (res) pq.PQclear(res);
    res = nullptr;
    return code_;
}

int PgConnection::ready(std::string_view sql) {
    if (!conn_) return kMisuse;
    if (pq.PQstatus(conn_) == CONNECTION_OK) return 0;
    // The server dropped the connection (restarted, or the network went).
    // Inside a transaction, what it wrote went with it: nothing but its
    // rollback may pass, least of all its commit as if it had been written.
    // Outside one, a new connection with the same settings goes on.
    if (inTx_ && !endsInRollback(sql)) {
        code_ = kNoServer;
        text_ = textOf(code_) + " (" + trimmed(pq.PQerrorMessage(conn_)) + ")";
        return code_;
    }
    pq.PQreset(conn_);
    inTx_ = false;
    writeLocked_ = false;
    ++txSerial_;
    if (pq.PQstatus(conn_) != CONNECTION_OK) {
        code_ = kNoServer;
        text_ = textOf(code_) + " (" + trimmed(pq.PQerrorMessage(conn_)) + ")";
        return code_;
    }
    if (int rc = run("SET lock_timeout = '5s'")) return rc;
    return readOnly_ ? run("SET default_transaction_read_only = on") : 0;
}

int PgConnection::run(const char* sql) {
    if (int rc = ready(sql)) return rc;
    // After a statement failed outside a savepoint (a read), the server ends
    // the transaction with a rollback and answers its commit as done: what
    // the transaction wrote would be lost without a word.
    const std::string word = upperWord(sql);
    if ((word == "COMMIT" || word == "END") && wroteIn_ == txSerial_ &&
        pq.PQtransactionStatus(conn_) == PQTRANS_INERROR) {
        code_ = kTransactionBroken;
        text_ = textOf(code_);
        return code_;
    }
    pg_result* res = pq.PQexec(conn_, sql);
    const int rc = noteResult(res);
    if (res) pq.PQclear(res);
    // A rollback that found the connection gone ended the transaction all
    // the same: the next statement goes on a new connection (see ready).
    if (rc && endsInRollback(sql) && pq.PQstatus(conn_) != CONNECTION_OK) {
        inTx_ = false;
        writeLocked_ = false;
        ++txSerial_;
    }
    return rc;
}

std::unique_ptr<PgStatement> PgConnection::prepare(std::string_view sql) {
    int count = 0;
    std::string text = numbered(sql, count);
    return std::make_unique<PgStatement>(*this, std::move(text), count);
}

int PgConnection::exec(const std::string& sql) {
    if (!conn_) return kMisuse;
    std::unique_ptr<PgStatement> st = prepare(sql);
    if (st->step() == StepResult::Error) return st->result();
    st->reset();
    // The server keeps its own text of an index; the program's goes beside it
    // as its comment, to be compared with the layout's when a file opens.
    const std::string word = upperWord(sql);
    const size_t at = sql.find("INDEX \"");
    if (word == "CREATE" && at != std::string::npos && at < 20) {
        const size_t from = at + 6, to = sql.find('"', from + 1);
        char* literal = pq.PQescapeLiteral(conn_, sql.c_str(), sql.size());
        if (!literal) return kMisuse;
        const std::string comment = "COMMENT ON INDEX " + sql.substr(from, to + 1 - from) + " IS " + literal;
        pq.PQfreemem(literal);
        std::unique_ptr<PgStatement> note = prepare(comment);
        if (note->step() == StepResult::Error) return note->result();
    }
    return 0;
}

int PgConnection::holdWriteLock() {
    // A connection the store has not configured (one that makes a database
    // or a schema) writes beside the program, not as one of its stations.
    if (lockKey_.empty() || (writeLocked_ && inTransaction())) return 0;
    const std::string sql = "SELECT pg_try_advisory_xact_lock(" + lockKey_ + ")";
    for (int count = 0;; ++count) {
        pg_result* res = pq.PQexec(conn_, sql.c_str());
        if (int rc = noteResult(res)) return rc;
        const bool held = pq.PQntuples(res) == 1 && pq.PQgetvalue(res, 0, 0)[0] == 't';
        pq.PQclear(res);
        if (held) {
            writeLocked_ = true;
            return 0;
        }
        if (!wait_ || !wait_(waitContext_, count)) {
            code_ = kLockWaitOver;
            text_ = textOf(code_);
            return code_;
        }
    }
}

int PgConnection::beginWrite() {
    // Whatever the server's default: with one writer at a time, each
    // statement sees what was committed before it, as on a data folder.
    if (int rc = run("BEGIN ISOLATION LEVEL READ COMMITTED")) return rc;
    if (int rc = holdWriteLock()) {
        const std::string why = text_;
        run("ROLLBACK");
        code_ = rc;
        text_ = why;
        return rc;
    }
    return 0;
}

int PgConnection::idsGiven(const std::string& table, int64_t atLeast) {
    // Never lower than it was: ids of deleted records stay used.
    char* name = pq.PQescapeLiteral(conn_, ("\"" + table + "\"").c_str(), table.size() + 2);
    if (!name) return kMisuse;
    const std::string sequence = std::string("pg_get_serial_sequence(") + name + ", '_id')";
    pq.PQfreemem(name);
    return exec("SELECT setval(" + sequence + ", greatest((SELECT max(\"_id\") FROM \"" + table +
                "\"), (SELECT nextval(" + sequence + ") - 1), " + std::to_string(std::max<int64_t>(atLeast, 1)) + "))");
}

bool PgConnection::useCroatianOrder() {
    // The server's ICU Croatian order; like the file engine's, it ignores
    // case (a key differing only in case is the same key).
    pg_result* res = pq.PQexec(conn_,
                            "SELECT 1 FROM pg_collation WHERE collname = 'marel_hr' AND collnamespace = "
                            "(SELECT oid FROM pg_namespace WHERE nspname = current_schema())");
    if (noteResult(res)) return false;
    const bool there = pq.PQntuples(res) == 1;
    pq.PQclear(res);
    if (there) return true;
    return exec("CREATE COLLATION IF NOT EXISTS marel_hr (provider = icu, locale = 'hr-HR-u-ks-level2', "
                "deterministic = false)") == 0;
}

int PgConnection::configure() {
    pg_result* res = pq.PQexec(conn_, "SELECT hashtext(current_database() || '.' || current_schema())");
    if (int rc = noteResult(res)) return rc;
    const bool schema = pq.PQntuples(res) == 1 && !pq.PQgetisnull(res, 0, 0);
    if (schema) lockKey_ = pq.PQgetvalue(res, 0, 0);
    pq.PQclear(res);
    if (!schema) {
        code_ = kNoSchema;
        text_ = textOf(code_);
        return code_;
    }
    // Changing a table's shape waits for another station's report to end;
    // not for ever.
    return run("SET lock_timeout = '5s'");
}

std::string PgConnection::errorText(int code) const { return code == code_ && !text_.empty() ? text_ : textOf(code); }

int PgConnection::codeOf(const char* state) {
    int n = 0;
    for (int i = 0; i < 5 && state[i]; ++i) {
        const char c = state[i];
        n = n * 36 + (c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 0);
    }
    return kStateBase + n;
}

int PgConnection::storeCodeOf(int code) {
    switch (code) {
        case 0: return kNoError;
        case kLockWaitOver: return kFileLocked;
        case kPasswordInAddress:
        case kPasswordRefused: return kAccessDenied;
        case kMisuse:
        case kIoFailure:
        case kNoServer:
        case kNoSchema:
        case kTransactionBroken: return kStoreFailure;
        default: break;
    }
    if (code == codeOf("23505")) return kDuplicateKey;
    if (code == codeOf("23503")) return kLinkBroken;
    if (code == codeOf("40001") || code == codeOf("40P01") || code == codeOf("55P03")) return kFileLocked;
    if (code == codeOf("42501") || code == codeOf("25006")) return kAccessDenied;
    if (code == codeOf("53100")) return kDiskFull;
    if (code == codeOf("XX001") || code == codeOf("XX002")) return kFileInvalid;
    // The rest of class 23: a check or a required value.
    if (code >= codeOf("23000") && code <= codeOf("23ZZZ")) return kRuleBroken;
    if (code >= codeOf("28000") && code <= codeOf("28ZZZ")) return kAccessDenied;
    return kStoreFailure;
}

std::string PgConnection::textOf(int code) {
    switch (code) {
        case 0: return "";
        case kMisuse: return "naredba nije izvršena";
        case kIoFailure: return "greška pri pisanju";
        case kLockWaitOver: return "podatke drži druga radna stanica";
        case kNoServer: return "poslužitelj podataka nije dostupan";
        case kPasswordInAddress: return "adresa poslužitelja ne smije sadržavati lozinku";
        case kPasswordRefused: return "poslužitelj nije prihvatio korisnika ili lozinku";
        case kNoSchema: return "baza na poslužitelju nema shemu za podatke";
        case kTransactionBroken: return "naredba u transakciji nije uspjela: ništa od njezina upisa nije zapisano";
        default: break;
    }
    std::string state(5, '0');
    int n = code - kStateBase;
    for (int i = 4; i >= 0; --i, n /= 36) state[size_t(i)] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[n % 36];
    return "SQLSTATE " + state;
}

int PgConnection::ioFailure() { return kIoFailure; }
int PgConnection::misuse() { return kMisuse; }

}  // namespace marel
