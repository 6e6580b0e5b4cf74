#include "store/Store.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "store/Backup.h"
#include "store/Records.h"
#include "store/Sql.h"
#include "common/Text.h"

namespace marel {

const std::string& suppliedDataDir() {
    static const std::string dir = MAREL_DATA_DIR;
    return dir;
}

namespace {
ErrorState lastError;

const char* kReferenceTables[] = {"VRSTEDOH", "POZICIJE", "PORSTOPE", "NEOPOREZ", "VBRAT", "JOPOZIJE"};

// Where an empty database file is kept: beside it, named by the time, never
// over an earlier one.
std::string asideName(const std::string& path) {
    const std::string stamp = localTimeText("%Y%m%d-%H%M%S");
    std::string name = path + ".prazna-" + stamp;
    for (int n = 2; std::filesystem::exists(name); ++n) name = path + ".prazna-" + stamp + "-" + std::to_string(n);
    return name;
}

int64_t nowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace

std::string errorTextOf(int code) {
    // Shown inside the warnings and messages the user reads.
    switch (code) {
        case 0: return "";
        case kFileNotFound: return "Datoteka nije pronađena";
        case kAccessDenied: return "Pristup nije dopušten";
        case kFileLocked: return "Datoteka je zaključana";
        case kRecordNotAvailable: return "Slog nije dostupan";
        case kRecordNotFound: return "Slog nije pronađen";
        case kFileNotOpen: return "Datoteka nije otvorena";
        case kDuplicateKey: return "Ključ već postoji";
        case kLinkBroken: return "Prekida vezu s drugom datotekom";
        case kRuleBroken: return "Krši pravilo datoteke";
        case kDiskFull: return "Disk je pun";
        case kKeysInvalid: return "Neispravni ključevi datoteke";
        case kFileInvalid: return "Neispravna datoteka podataka";
        case kAlreadyOpen: return "Datoteka je već otvorena";
        case kChangedByOther: return "Slog je promijenila druga radna stanica";
        case kStoreFailure: return "Greška datotečnog sustava";
        default: return "Greška " + std::to_string(code);
    }
}

std::string localTimeText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

ErrorState& lastErrorState() { return lastError; }
int errorCode() { return lastError.code; }
std::string errorText() { return errorTextOf(lastError.code); }
int storeErrorCode() { return lastError.storeCode; }
std::string storeErrorText() { return lastError.storeText; }
void setError(int code, int storeCode, const std::string& storeText) {
    lastError = {code, storeCode, storeText};
}

Store::Store() = default;
Store::~Store() { close(); }

DataFile* Store::readingCopy(std::type_index file) const {
    auto it = readingCopies_.find(file);
    return it == readingCopies_.end() ? nullptr : it->second.get();
}

DataFile& Store::keepReadingCopy(std::type_index file, std::unique_ptr<DataFile> copy) {
    return *(readingCopies_[file] = std::move(copy));
}

Store& Store::main() {
    static Store store;
    return store;
}

std::string Store::path() const {
    return address_.empty() ? (std::filesystem::path(folder_) / "MAREL.DB").string() : address_;
}

int serverAddressOf(const std::string& location, std::string& address) {
    address.clear();
    if (isServerAddress(location)) {
        address = location;
        return 0;
    }
    const auto conf = std::filesystem::path(location) / "MAREL.conf";
    if (!std::filesystem::exists(conf)) return 0;
    // The first line that is not a remark: the address, or "adresa = " and it.
    std::ifstream in(conf);
    std::string line;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("adresa", 0) == 0 && line.find('=') != std::string::npos) line = trim(line.substr(line.find('=') + 1));
        if (isServerAddress(line)) address = line;
        break;
    }
    // A station must never fall back to a file of its own beside the server.
    if (!address.empty()) return 0;
    setError(kFileInvalid, 0, conf.string() + ": nema adrese poslužitelja podataka");
    return kFileInvalid;
}

int Store::open(const std::string& location, const std::string& dataDir) {
    close();
    const bool direct = isServerAddress(location);
    folder_ = direct ? std::string() : location;
    damaged_ = false;
    gaveUpUs_ = 0;
    keptAside_.clear();
    const int named = serverAddressOf(location, address_);
    namesServer_ = named != 0 || !address_.empty();
    if (named) return named;
    if (!address_.empty()) return openServer(dataDir);
    // A 0-byte file is what a copy or a crash leaves when it fails before
    // the first page: nothing in it to keep, but the engine would take it for
    // a database without a single table. It goes aside and a new database
    // starts. A journal beside it means a station is creating it right now.
    {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path(), ec);
        if (!ec && size == 0 && !std::filesystem::exists(path() + "-journal")) {
            const std::string aside = asideName(path());
            std::filesystem::rename(path(), aside, ec);
            if (!ec) keptAside_ = aside;
        }
    }
    bool isNew = !std::filesystem::exists(path());
    int rc = conn_.open(path());
    if (rc != 0) {
        int code = fail(rc);
        conn_.close();
        return code;
    }
    if (!conn_.useCroatianOrder()) {
        setError(kStoreFailure, 0, "ICU: no Croatian collation");
        return kStoreFailure;
    }
    busyLimitMs_ = 0;
    conn_.onBusy(busyWait, this);
    // The first statement touches the file: a damaged one shows up here.
    rc = conn_.configure();
    if (rc == 0) rc = exec(conn_.dialect().countTablesSql);
    if (conn_.notADatabase(rc)) {
        damaged_ = true;
        setError(kFileInvalid, rc, conn_.textOf(rc));
        return kFileInvalid;
    }
    if (rc != 0) return fail(rc);
    return prepareTables(isNew, dataDir);
}

int Store::openServer(const std::string& dataDir) {
    // Nothing is written on a server that cannot be reached or refuses the
    // station: the connection fails before any statement.
    int rc = conn_.open(address_);
    if (rc == 0) rc = conn_.configure();
    if (rc != 0) {
        const int code = fail(rc);
        conn_.close();
        return code;
    }
    busyLimitMs_ = 0;
    conn_.onBusy(busyWait, this);
    if (!conn_.useCroatianOrder()) {
        const int code = failLast();
        conn_.close();
        return code;
    }
    return prepareTables(false, dataDir);
}

// The reference tables into a new database, older tables to today's shape.
int Store::prepareTables(bool isNew, const std::string& dataDir) {
    // A database without a single table holds nothing: it is as good as new.
    if (!isNew) {
        Statement* st = statement(conn_.dialect().countTablesSql);
        if (st && st->step() == StepResult::Row && st->columnInt(0) == 0) isNew = true;
        if (st) st->reset();
    }
    if (isNew && !dataDir.empty()) {
        for (const char* label : kReferenceTables) {
            auto file = std::filesystem::path(dataDir) / (std::string(label) + ".tsv");
            if (!std::filesystem::exists(file)) continue;
            int r = loadTable(label, dataDir);
            if (r != 0) return r;
        }
    }
    if (int r = upgradeTables()) return r;
    setError(0);
    return 0;
}

// Tables made before record ids were kept unique reuse the id of the last
// record deleted, so a record added meanwhile could take the place of the
// one another station has open for change and receive its write. They are
// made again with ids that never return, every record keeping its id (the
// positions that lists keep stay valid). A station that cannot do it now (locked, read-only) works on with
// the tables as they are; the next opening tries again.
int Store::upgradeTables() {
    auto columnsOf = [&](const std::string& table) {
        std::vector<std::string> cols;
        Statement* st = statement(conn_.dialect().columnsSql);
        if (!st) return cols;
        st->bindText(1, table);
        while (st->step() == StepResult::Row) cols.emplace_back(st->columnText(0));
        st->reset();
        return cols;
    };
    auto has = [](const std::vector<std::string>& cols, const std::string& name) {
        return std::find(cols.begin(), cols.end(), name) != cols.end();
    };
    std::vector<const Layout*> old;
    {
        // One look at every table under one lock, not a lock per table.
        ReadTransaction reading(*this);
        for (const Layout* layout : allLayouts()) {
            const auto cols = columnsOf(layout->label);
            if (cols.empty() || has(cols, "_id")) continue;
            // A table that is not the layout's is left for the opening to report.
            bool complete = has(cols, "_ver");
            for (auto& f : layout->fields) complete = complete && has(cols, f.name);
            if (complete) old.push_back(layout);
        }
    }
    if (old.empty()) return 0;
    // The tables are made again in place: the data as it was goes into a
    // copy first. Without one the upgrade waits for the next opening.
    if (!automaticBackup(*this, "nadogradnja").empty()) return 0;

    int code = 0;
    {
        WriteTransaction tx(*this, kWriteWaitMs, WriteTransaction::Join);
        code = tx.error();
        for (const Layout* layout : old) {
            if (code) break;
            const std::string name = sqlName(layout->label);
            const std::string kept = sqlName(layout->label + "_old");
            std::string columns;
            for (auto& f : layout->fields) columns += sqlName(f.name) + ", ";
            columns += "\"_ver\"";
            dropStatements();
            int rc = exec("ALTER TABLE " + name + " RENAME TO " + kept);
            if (rc == 0) rc = exec(tableSql(*layout, conn_.dialect()));
            const std::string id = conn_.dialect().rowId;
            if (rc == 0)
                rc = exec("INSERT INTO " + name + "(\"_id\", " + columns + ") SELECT " + id + ", " + columns + " FROM " +
                          kept + " ORDER BY " + id);
            // Dropping the old table takes its indexes, whose names the new ones use.
            if (rc == 0) rc = exec("DROP TABLE " + kept);
            for (auto& ix : indexSqls(*layout, conn_.dialect()))
                if (rc == 0) rc = exec(ix.sql);
            if (rc != 0) code = fail(rc);
        }
        if (!code) code = tx.commit();
        dropStatements();
    }
    if (code == kFileLocked || code == kAccessDenied) code = 0;
    return code;
}

int Store::reopened() {
    readingCopies_.clear();
    dropStatements();
    const int code = upgradeTables();
    dropStatements();
    if (code == 0) setError(0);
    return code;
}

int Store::busyWait(void* self, int count) {
    auto* store = static_cast<Store*>(self);
    const int64_t now = nowUs();
    if (count == 0) {
        store->busySinceUs_ = now;
        // Still held, just after a wait ran out: no new wait.
        if (store->gaveUpUs_ != 0 && now - store->gaveUpUs_ < int64_t(kGiveUpSpanMs) * 1000) {
            store->gaveUpUs_ = now;
            return 0;
        }
    }
    const int limit = store->busyLimitMs_ > 0 ? store->busyLimitMs_
                      : store->inTransaction_ ? kWriteWaitMs
                                              : kReadWaitMs;
    if (now - store->busySinceUs_ >= int64_t(limit) * 1000) {
        store->gaveUpUs_ = now;
        return 0;
    }
    // Short sleeps: another station's lock lasts a few milliseconds, and a
    // long sleep would keep missing the gap between two of its writes.
    std::this_thread::sleep_for(std::chrono::microseconds(count < 50 ? 250 : 1000));
    return 1;
}

void Store::close() {
    readingCopies_.clear();
    dropStatements();
    if (conn_.isOpen() && inTransaction_) conn_.exec("ROLLBACK");
    conn_.close();
    inTransaction_ = false;
    readDepth_ = 0;
    reading_ = false;
    openFiles_.clear();
}

// A list begins and ends a read transaction on every key: their statements
// are kept rather than compiled each time.
int Store::runKept(const char* sql) {
    Statement* st = statement(sql);
    if (!st) return conn_.errorCode();
    const StepResult r = st->step();
    st->reset();
    return r == StepResult::Done ? 0 : r == StepResult::Row ? conn_.misuse() : st->result();
}

int Store::exec(const std::string& sql) { return conn_.exec(sql); }

int Store::findTable(const std::string& name, bool& found) {
    found = false;
    Statement* st = statement(conn_.dialect().tableExistsSql);
    if (!st) return failLast();
    st->bindText(1, name);
    const StepResult r = st->step();
    st->reset();
    if (r == StepResult::Error) return fail(st->result());
    found = r == StepResult::Row;
    return 0;
}

int Store::fail(int engineCode) {
    const int code = conn_.storeCode(engineCode);
    if (code == kFileLocked) ++lockFailures_;
    setError(code, engineCode, conn_.errorText(engineCode));
    return code;
}

Statement* Store::statement(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it != statements_.end()) {
        it->second.reset();
        it->second.clearBindings();
        return &it->second;
    }
    Statement st = conn_.prepare(sql, true);
    if (!st) return nullptr;
    return &statements_.emplace(sql, std::move(st)).first->second;
}

void Store::dropStatements() {
    releaseHeld();
    statements_.clear();
    ++generation_;
}

int Store::begin(int timeoutMs) {
    if (!isOpen()) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    if (inTransaction_) {
        setError(kStoreFailure, 0, "A transaction is already active");
        return kStoreFailure;
    }
    // A reader holding its lock could never become the writer while another
    // station waits to write: the reading state ends here.
    if (int code = stopReading()) return code;
    busyLimitMs_ = timeoutMs;
    int rc = conn_.beginWrite();
    busyLimitMs_ = 0;
    if (rc != 0) {
        const int code = fail(rc);
        const std::string why = storeErrorText();
        startReading();
        setError(code, rc, why);
        return code;
    }
    inTransaction_ = true;
    setError(0);
    return 0;
}

int Store::commit() {
    if (!inTransaction_) {
        setError(0);
        return 0;
    }
    int rc = exec("COMMIT");
    if (rc != 0) {
        int code = fail(rc);
        const std::string why = storeErrorText();
        exec("ROLLBACK");
        inTransaction_ = false;
        startReading();
        setError(code, rc, why);
        return code;
    }
    inTransaction_ = false;
    if (int code = startReading()) return code;
    setError(0);
    return 0;
}

int Store::rollback() {
    if (inTransaction_) {
        exec("ROLLBACK");
        inTransaction_ = false;
        startReading();
    }
    return 0;
}

WriteTransaction::WriteTransaction(Store& store, int timeoutMs, Mode mode) : store_(store) {
    if (mode == Join && store.inTransaction()) return;
    error_ = store.begin(timeoutMs);
    active_ = error_ == 0;
}

int WriteTransaction::commit() {
    if (!ok()) return error_;
    if (joined()) {
        setError(0);
        return 0;
    }
    if (!active_) {
        setError(kStoreFailure, 0, "The transaction has already ended");
        return kStoreFailure;
    }
    active_ = false;
    ended_ = true;
    return store_.commit();
}

void WriteTransaction::rollback() {
    if (!active_) return;
    active_ = false;
    ended_ = true;
    store_.rollback();
}

int Store::beginRead() {
    if (!isOpen()) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    if (readDepth_++ > 0 || inTransaction_) return 0;
    if (int code = startReading()) {
        --readDepth_;
        return code;
    }
    return 0;
}

int Store::commitRead() {
    if (readDepth_ == 0 || --readDepth_ > 0) return 0;
    return stopReading();
}

int Store::pauseRead() { return stopReading(); }
int Store::resumeRead() { return startReading(); }

// Our own deferred transaction, while reads are wanted and no write
// transaction is active (nor one begun by hand through exec).
int Store::startReading() {
    if (readDepth_ == 0 || reading_ || inTransaction_ || !isOpen() || conn_.inTransaction()) return 0;
    const int rc = runKept(conn_.dialect().beginRead);
    if (rc != 0) return fail(rc);
    reading_ = true;
    return 0;
}

uint64_t Store::holdWhileReading(Statement* st) {
    if (!reading_) return 0;
    held_.push_back(st);
    return readSerial_;
}

void Store::releaseHeld() {
    for (Statement* st : held_) st->reset();
    held_.clear();
    ++readSerial_;
}

int Store::stopReading() {
    if (!reading_) return 0;
    releaseHeld();
    reading_ = false;
    if (!conn_.inTransaction()) return 0;  // ended by someone else meanwhile
    const int rc = runKept("COMMIT");
    if (rc == 0) return 0;
    // Only records written outside a write transaction can make this fail.
    const int code = fail(rc);
    exec("ROLLBACK");
    return code;
}

void Store::noteOpen(const std::string& label, int delta) { openFiles_[label] += delta; }
int Store::openCount(const std::string& label) const {
    auto it = openFiles_.find(label);
    return it == openFiles_.end() ? 0 : it->second;
}

namespace {

std::vector<std::string> cellsOf(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    std::string cell;
    while (std::getline(ss, cell, '\t')) cells.push_back(cell);
    if (!line.empty() && line.back() == '\t') cells.emplace_back();
    return cells;
}

// The insert of the columns a supplied table's first line names; 0, or the
// code of a failure with why.
int prepareInsert(Store& store, const Layout& layout, const std::vector<std::string>& names, std::vector<int>& columns,
                  Statement*& insert, std::string& why) {
    std::string list, marks;
    for (auto& c : names) {
        int f = layout.fieldIndex(trim(c));
        if (f < 0) {
            why = "unknown field " + c;
            return kFileInvalid;
        }
        columns.push_back(f);
        list += std::string(list.empty() ? "" : ",") + sqlName(layout.fields[size_t(f)].name);
        marks += marks.empty() ? "?" : ",?";
    }
    insert = store.statement("INSERT INTO " + sqlName(layout.label) + "(" + list + ") VALUES(" + marks + ")");
    if (insert) return 0;
    const int rc = store.connection().errorCode();
    why = store.connection().errorText(rc);
    return store.fail(rc);
}

// Binds the cells of a row as the fields take them; what was wrong, or empty.
std::string bindCells(Statement& insert, const Layout& layout, const std::vector<int>& columns,
                      const std::vector<std::string>& cells) {
    for (size_t i = 0; i < columns.size(); ++i) {
        const FieldDef& f = layout.fields[size_t(columns[i])];
        const std::string cell = i < cells.size() ? cells[i] : std::string();
        bool ok = false;
        try {
            const SqlValue v = f.codec().parse(f, cell, ok);
            if (ok) bindValue(insert, int(i) + 1, v);
        } catch (const std::exception& e) {
            return e.what();
        }
        if (!ok) return std::string(f.name) + ": \"" + cell + "\" does not fit the field";
    }
    return {};
}

}  // namespace

int Store::loadTable(const std::string& label, const std::string& dataDir) {
    const Layout* layout = findLayout(label);
    if (!layout) {
        setError(kFileNotFound);
        return kFileNotFound;
    }
    std::ifstream in(std::filesystem::path(dataDir) / (label + ".tsv"));
    if (!in) {
        setError(kFileNotFound);
        return kFileNotFound;
    }
    WriteTransaction tx(*this, 2000, WriteTransaction::Join);
    if (!tx.ok()) return tx.error();
    std::string why;
    if (int code = loadRows(*layout, in, why)) {
        tx.rollback();
        setError(code, 0, label + ".tsv: " + why);
        return code;
    }
    return tx.commit();
}

// Makes the table of a supplied table and adds its rows: a first line of
// field names, then a line per record, fields parted by tabs; lines that
// start with '#' are remarks. 0, or the code of a failure with why.
int Store::loadRows(const Layout& layout, std::istream& in, std::string& why) {
    if (int rc = makeTable(*this, layout); rc != 0) {
        why = conn_.errorText(rc);
        return fail(rc);
    }
    dropStatements();
    std::vector<int> columns;
    Statement* insert = nullptr;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> cells = cellsOf(line);
        if (columns.empty()) {
            if (int code = prepareInsert(*this, layout, cells, columns, insert, why)) return code;
            continue;
        }
        why = bindCells(*insert, layout, columns, cells);
        if (!why.empty()) {
            why = "line " + std::to_string(lineNo) + ": " + why;
            return kFileInvalid;
        }
        const StepResult r = insert->step();
        insert->reset();
        if (r != StepResult::Done) {
            const int rc = r == StepResult::Row ? conn_.misuse() : insert->result();
            why = "line " + std::to_string(lineNo) + ": " + conn_.errorText(rc);
            return fail(rc);
        }
    }
    return 0;
}

}  // namespace marel
