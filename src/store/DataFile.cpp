#include "store/DataFile.h"

#include <algorithm>

#include "store/Sql.h"

namespace marel {

// ------------------------------------------------------------------ SQL shape

std::string sqlName(const std::string& identifier) { return "\"" + identifier + "\""; }

std::string tableSql(const Layout& layout, const Dialect& dialect) {
    std::string sql = "CREATE TABLE " + sqlName(layout.label) + "(";
    for (auto& f : layout.fields) {
        std::string type = f.codec().columnType;
        if (size_t at = type.find(" INTEGER "); at != std::string::npos) type.replace(at + 1, 7, dialect.integerType);
        sql += sqlName(f.name) + type;
        if (f.codec().croatianOrder) sql += std::string(" COLLATE ") + dialect.croatianOrder;
        sql += ", ";
    }
    // Bumped by every write; a watched record whose version moved on was
    // changed by another station.
    sql += "\"_ver\" " + std::string(dialect.integerType) + " NOT NULL DEFAULT 0, ";
    // Record ids never return: the id of a deleted record given to a new one
    // would let a stale watch or a stale position meet a stranger whose
    // version happens to match.
    sql += "\"_id\" " + std::string(dialect.idColumnType) + ")";
    return sql;
}

int makeTable(Store& store, const Layout& layout) {
    const Dialect& dialect = store.connection().dialect();
    int rc = store.exec(tableSql(layout, dialect));
    for (auto& ix : indexSqls(layout, dialect))
        if (rc == 0) rc = store.exec(ix.sql);
    return rc;
}

std::string indexName(const Layout& layout, int key) {
    return layout.label + "_" + layout.keys[size_t(key)].name;
}

std::vector<IndexSql> indexSqls(const Layout& layout, const Dialect& dialect) {
    std::vector<IndexSql> out;
    for (size_t k = 0; k < layout.keys.size(); ++k) {
        const KeyDef& key = layout.keys[k];
        std::string columns;
        for (size_t c = 0; c < key.components.size(); ++c) {
            if (c) columns += ", ";
            columns += sqlName(layout.fields[size_t(key.components[c].field)].name);
            columns += key.components[c].desc ? dialect.indexDescending : dialect.indexAscending;
        }
        const std::string name = indexName(layout, int(k));
        const std::string on = " ON " + sqlName(layout.label) + "(" + columns + ")";
        const std::string onAll = " ON " + sqlName(layout.label) + "(" + columns + dialect.indexTail + ")";
        if (!key.uniqueWhenNotBlank) {
            out.push_back({name, std::string("CREATE ") + (key.unique ? "UNIQUE INDEX " + sqlName(name) + on
                                                                     : "INDEX " + sqlName(name) + onAll)});
            continue;
        }
        // The plain index keeps the order and the lookups of the key, blanks
        // included; SQLite would use a partial index only for queries that
        // say the key is not blank. The partial one enforces uniqueness.
        std::string filled;
        for (size_t c = 0; c < key.components.size(); ++c)
            filled += std::string(c ? " OR " : "") + sqlName(layout.fields[size_t(key.components[c].field)].name) + " <> ''";
        out.push_back({name, "CREATE INDEX " + sqlName(name) + onAll});
        out.push_back({name + "_U", "CREATE UNIQUE INDEX " + sqlName(name + "_U") + on + " WHERE " + filled});
    }
    return out;
}

namespace {
// `inPlace`: the value outlives the statement's step, so it need not be copied.
void bindAs(Statement& st, int index, const SqlValue& v, bool inPlace) {
    switch (v.kind) {
        case SqlValue::Null: st.bindNull(index); break;
        case SqlValue::Int: st.bindInt(index, v.i); break;
        case SqlValue::Text: inPlace ? st.bindTextInPlace(index, v.s) : st.bindText(index, v.s); break;
        case SqlValue::Blob: inPlace ? st.bindBlobInPlace(index, v.s) : st.bindBlob(index, v.s); break;
    }
}
}  // namespace

void bindValue(Statement& st, int index, const SqlValue& v) { bindAs(st, index, v, false); }


// --------------------------------------------------------------------- Cursor

Cursor::Cursor(DataFile& file, int key) : file_(&file), key_(key) {}

void Cursor::toStart() {
    mode_ = Mode::Start;
    values_.clear();
    walk_.st = nullptr;
}

void Cursor::toEnd() {
    mode_ = Mode::End;
    values_.clear();
    walk_.st = nullptr;
}

void Cursor::toPosition(std::vector<SqlValue> values, int64_t rowid, bool inclusive) {
    mode_ = Mode::At;
    walk_.st = nullptr;
    values_ = std::move(values);
    rowid_ = rowid;
    inclusive_ = inclusive;
}

void Cursor::toBuffer() {
    if (key_ < 0) {
        toStart();
        return;
    }
    // Record id 0 lies before every record: the first record with these key
    // values, or the first after them, comes next.
    toPosition(file_->keyValues(key_), 0, false);
}

int Cursor::step(bool forward) {
    DataFile& f = *file_;
    if (!f.isOpen()) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    for (;;) {
        // A walk must move on: the record it stands on, read again as the
        // next one, means stored values the key order cannot place (a value
        // of the wrong kind written by another program). Going on would read
        // it for ever.
        const int64_t standingOn = mode_ == Mode::At && !inclusive_ ? rowid_ : 0;
        int rc = 0;
        if (!fetch(forward, rc)) {
            if (rc == 0) rc = kRecordNotAvailable;
            if (rc == kRecordNotAvailable) setError(rc);
            return rc;
        }
        if (standingOn != 0 && f.currentId() == standingOn) {
            setError(kKeysInvalid, 0, f.label() + ": the key does not move past record " + std::to_string(standingOn));
            return kKeysInvalid;
        }
        // The record just read becomes the position; fetch kept its key
        // values as stored.
        mode_ = Mode::At;
        if (key_ < 0) values_.clear();
        rowid_ = f.currentId();
        inclusive_ = false;
        if (!filter_ || filter_()) {
            setError(0);
            return 0;
        }
    }
}

namespace {

// Binds a value that outlives the statement's step.
void bindKept(Statement& st, int index, const SqlValue& v) { bindAs(st, index, v, true); }

// The shapes of the queries a file runs again and again, as numbers. kGet
// without a key (-1) is the read by record id.
// A walk's queries have no limit: the walk steps on through their rows.
enum Shape : uint32_t { kFromEnd = 0, kSameKey = 1, kBeyond = 2, kGet = 3 };
uint32_t shapeOf(Shape kind, int key, size_t fixed, bool forward, bool inclusive = false, size_t level = 0,
                 bool null = false, bool walk = false) {
    return uint32_t(kind) | uint32_t(forward) << 2 | uint32_t(inclusive) << 3 | uint32_t(null) << 4 |
           uint32_t(level) << 5 | uint32_t(fixed) << 10 | uint32_t(key + 1) << 15 | uint32_t(walk) << 31;
}

// The insert of a whole record, beside the shapes of the reading queries.
constexpr uint32_t kInsert = ~uint32_t(0);

uint64_t nextClaim() {
    static uint64_t claims = 0;
    return ++claims;
}

}  // namespace

template <class MakeSql>
Statement* DataFile::shapedStatement(uint32_t shape, MakeSql&& sql) {
    Prepared& p = prepared_[shape];
    p.walker = 0;
    if (p.st && p.generation == store_->statementGeneration()) {
        p.st->reset();
        return p.st;
    }
    if (p.sql.empty() || p.dialect != &dialect()) {
        p.sql = sql();
        p.dialect = &dialect();
    }
    p.st = store_->statement(p.sql);
    p.generation = store_->statementGeneration();
    return p.st;
}

uint64_t DataFile::claimWalk(uint32_t shape) { return prepared_[shape].walker = nextClaim(); }

bool DataFile::walkClaimed(uint32_t shape, uint64_t claim) const {
    auto it = prepared_.find(shape);
    return it != prepared_.end() && it->second.walker == claim;
}

// The key values of the row just read become the position as they are
// stored, not as the buffer shows them: a text read with its control
// characters blanked, or a value the buffer cannot hold, would place the
// position before the record and the next step would read it again. The
// vector is reused: no allocation per record for number keys.
void Cursor::keepPosition(Statement& st) {
    if (key_ < 0) return;
    const auto& comps = file_->layout().keys[size_t(key_)].components;
    values_.resize(comps.size());
    for (size_t i = 0; i < comps.size(); ++i) {
        const int col = comps[i].field + 2;  // after rowid and version
        SqlValue& v = values_[i];
        switch (st.columnKind(col)) {
            case ColumnKind::Null: v.kind = SqlValue::Null; break;
            case ColumnKind::Integer:
                v.kind = SqlValue::Int;
                v.i = st.columnInt(col);
                break;
            case ColumnKind::Blob:
                v.kind = SqlValue::Blob;
                v.s.assign(st.columnBlob(col));
                break;
            default:
                // Text as it is; a real as its text, which the column's own
                // affinity compares in its place.
                v.kind = SqlValue::Text;
                v.s.assign(st.columnText(col));
        }
    }
}

// What the queries of one step share: the key's components, how many of
// them the range fixes, and the reading direction.
struct Cursor::Step {
    DataFile& f;
    const std::vector<KeyComponent>& comps;
    size_t k;  // components of the key
    size_t m;  // of them fixed by the range
    bool forward;
    bool walk;

    std::string col(size_t i) const { return f.quotedColumn(comps[i].field); }
    std::string same(size_t i) const { return f.dialect().same(col(i)); }
    const char* limit() const { return walk ? "" : " LIMIT 1"; }
    // Direction of component i in the reading direction: true = ascending.
    bool up(size_t i) const { return comps[i].desc != forward; }
    std::string orderFrom(size_t from) const {
        std::string o = " ORDER BY ";
        const Dialect& d = f.dialect();
        for (size_t i = from; i < k; ++i) o += col(i) + (up(i) ? d.ascending : d.descending) + ", ";
        return o + d.rowId + (forward ? " ASC" : " DESC") + limit();
    }
    // The query over the range, to which conditions are joined.
    std::string base() const {
        std::string sql = f.selectSql();
        for (size_t i = 0; i < m; ++i) sql += std::string(i ? " AND " : " WHERE ") + same(i);
        return sql;
    }
    static void join(std::string& sql, const std::string& cond) {
        sql += (sql.find(" WHERE ") == std::string::npos ? " WHERE " : " AND ") + cond;
    }
};

// Binds the range's values: the first `m` parameters of every query of a step.
void Cursor::bindRange(Statement& st, size_t m) {
    for (size_t i = 0; i < m; ++i) bindKept(st, int(i) + 1, prefix_[i]);
}

// Runs a query of a step: 1 a record read, 0 none, -1 a failure. A walking
// cursor keeps the query going while the read transaction lasts.
int Cursor::run(Statement* st, uint32_t shape, bool forward) {
    Store& store = file_->store();
    if (!st) {
        store.failLast();
        return -1;
    }
    const StepResult r = st->step();
    if (r == StepResult::Row) {
        keepPosition(*st);  // first: reading a value as text changes the type the engine reports
        file_->loadRow(*st);
        walk_.st = nullptr;
        const uint64_t serial = walking_ ? store.holdWhileReading(st) : 0;
        if (serial == 0) st->reset();
        else walk_ = {st, shape, file_->claimWalk(shape), serial, store.connection().totalChanges(), forward};
        return 1;
    }
    st->reset();
    if (r == StepResult::Done) return 0;
    store.fail(st->result());
    return -1;
}

// The first or last record of the range.
int Cursor::fetchFromEnd(const Step& s) {
    const uint32_t shape = shapeOf(kFromEnd, key_, s.m, s.forward, false, 0, false, s.walk);
    Statement* st = file_->shapedStatement(shape, [&] { return s.base() + s.orderFrom(s.m); });
    if (st) bindRange(*st, s.m);
    return run(st, shape, s.forward);
}

// The next record with the same key values: a later (earlier) record id.
int Cursor::fetchSameKey(const Step& s) {
    const uint32_t shape = shapeOf(kSameKey, key_, s.m, s.forward, inclusive_, 0, false, s.walk);
    Statement* st = file_->shapedStatement(shape, [&] {
        std::string w = s.base();
        for (size_t i = s.m; i < s.k; ++i) Step::join(w, s.same(i));
        std::string op = s.forward ? (inclusive_ ? ">=" : ">") : (inclusive_ ? "<=" : "<");
        const std::string id = s.f.dialect().rowId;
        Step::join(w, id + " " + op + " ?");
        return w + " ORDER BY " + id + (s.forward ? " ASC" : " DESC") + s.limit();
    });
    if (st) {
        bindRange(*st, s.m);
        int n = int(s.m);
        for (size_t i = s.m; i < s.k; ++i) bindKept(*st, ++n, values_[i]);
        st->bindInt(++n, rowid_);
    }
    return run(st, shape, s.forward);
}

// The next record equal on the components before `level` and beyond on it.
int Cursor::fetchBeyond(const Step& s, size_t level) {
    const SqlValue& v = values_[level];
    const bool null = v.kind == SqlValue::Null;
    // An empty date sorts first; nothing lies before it.
    if (null && !s.up(level)) return 0;
    const uint32_t shape = shapeOf(kBeyond, key_, s.m, s.forward, false, level, null, s.walk);
    Statement* st = file_->shapedStatement(shape, [&] {
        std::string w = s.base();
        for (size_t i = s.m; i < level; ++i) Step::join(w, s.same(i));
        Step::join(w, s.col(level) + (null ? " IS NOT NULL" : s.up(level) ? " > ?" : " < ?"));
        return w + s.orderFrom(level);
    });
    if (st) {
        bindRange(*st, s.m);
        int n = int(s.m);
        for (size_t i = s.m; i < level; ++i) bindKept(*st, ++n, values_[i]);
        if (!null) bindKept(*st, ++n, v);
    }
    return run(st, shape, s.forward);
}

// The next row of the query that gave the previous record, while that query
// is still this cursor's, in the same read transaction, with nothing written
// since: 1 a record read, 0 none (ask anew), -1 a failure.
int Cursor::walkOn(bool forward) {
    if (!walk_.st || walk_.forward != forward || mode_ != Mode::At || inclusive_) return 0;
    Store& store = file_->store();
    if (!store.stillReading(walk_.serial) || store.connection().totalChanges() != walk_.changes ||
        !file_->walkClaimed(walk_.shape, walk_.claim)) {
        walk_.st = nullptr;
        return 0;
    }
    Statement& st = *walk_.st;
    const StepResult r = st.step();
    if (r == StepResult::Row) {
        keepPosition(st);
        file_->loadRow(st);
        return 1;
    }
    st.reset();
    walk_.st = nullptr;
    if (r == StepResult::Done) return 0;
    store.fail(st.result());
    return -1;
}

// Finds the neighbouring record with one indexed query per key level, so that
// every step costs a few index seeks however large the file is. Each query's
// text is made once per shape; a step only binds and runs it.
bool Cursor::fetch(bool forward, int& rc) {
    static const std::vector<KeyComponent> none;
    const std::vector<KeyComponent>& comps = key_ >= 0 ? file_->layout().keys[size_t(key_)].components : none;
    const Step s{*file_, comps, comps.size(), std::min(prefix_.size(), comps.size()), forward, walking_};
    int r = walkOn(forward);
    if (r != 0) {
        // Read on, or failed.
    } else if (mode_ == Mode::Start || mode_ == Mode::End) {
        if (mode_ == Mode::End && forward) return false;
        r = fetchFromEnd(s);
    } else {
        r = fetchSameKey(s);
        // Then, from the deepest component up.
        for (size_t level = s.k; r == 0 && level-- > s.m;) r = fetchBeyond(s, level);
    }
    if (r < 0) rc = errorCode();
    return r > 0;
}

// ------------------------------------------------------------------- DataFile

DataFile::DataFile(Store& store, const Layout& layout, void* record)
    : store_(&store), layout_(&layout), record_(record), cursor_(*this, -1) {
    std::string marks;
    for (auto& f : layout.fields) {
        columns_ += std::string(columns_.empty() ? "" : ", ") + sqlName(f.name);
        marks += marks.empty() ? "?" : ",?";
    }
    insertSql_ = "INSERT INTO " + sqlName(layout.label) + "(" + columns_ + ") VALUES(" + marks + ")";
}

DataFile::~DataFile() = default;

std::string DataFile::selectSql() const {
    return "SELECT " + std::string(dialect().rowId) + ", \"_ver\", " + columns_ + " FROM " + sqlName(layout_->label);
}

const Dialect& DataFile::dialect() const { return store_->connection().dialect(); }

std::string DataFile::quotedColumn(int field) const { return sqlName(layout_->fields[size_t(field)].name); }

void* DataFile::fieldPtr(int field) const { return layout_->fields[size_t(field)].at(record_); }

SqlValue DataFile::fieldValue(int field) const {
    const FieldDef& f = layout_->fields[size_t(field)];
    return f.codec().value(fieldPtr(field), f);
}

std::string DataFile::fieldText(int field) const {
    const FieldDef& f = layout_->fields[size_t(field)];
    return f.codec().text(fieldPtr(field), f);
}

bool DataFile::setFieldText(int field, const std::string& text) {
    const FieldDef& f = layout_->fields[size_t(field)];
    try {
        return f.codec().setText(fieldPtr(field), f, text);
    } catch (const std::exception&) {
        return false;
    }
}

std::vector<SqlValue> DataFile::keyValues(int key) const {
    std::vector<SqlValue> out;
    for (auto& c : layout_->keys[size_t(key)].components) out.push_back(fieldValue(c.field));
    return out;
}

void DataFile::bindField(Statement& st, int index, int field) const {
    const FieldDef& f = layout_->fields[size_t(field)];
    f.codec().bind(fieldPtr(field), f, st, index);
}

void DataFile::loadRow(Statement& st) {
    rowid_ = st.columnInt(0);
    version_ = st.columnInt(1);
    watched_ = watchNext_;
    watchNext_ = false;
    for (size_t i = 0; i < layout_->fields.size(); ++i) {
        const FieldDef& f = layout_->fields[i];
        f.codec().read(fieldPtr(int(i)), f, st, int(i) + 2);
    }
}

FileBuffer DataFile::blankBuffer() {
    FileBuffer b;
    const size_t n = layout_->fields.size();
    b.numbers.assign(n, 0);
    b.texts.assign(n, std::string());
    b.cursor = std::make_unique<Cursor>(*this, -1);
    return b;
}

void DataFile::swapBuffer(FileBuffer& other) {
    const size_t n = layout_->fields.size();
    if (other.numbers.size() != n) other = blankBuffer();
    for (size_t i = 0; i < n; ++i)
        layout_->fields[i].codec().swap(fieldPtr(int(i)), other.numbers[i], other.texts[i]);
    std::swap(cursor_, *other.cursor);
    std::swap(rowid_, other.rowid);
    std::swap(version_, other.version);
    std::swap(watchNext_, other.watchNext);
    std::swap(watched_, other.watched);
}

void DataFile::clear() {
    for (size_t i = 0; i < layout_->fields.size(); ++i) layout_->fields[i].codec().clear(fieldPtr(int(i)));
}

// ---- the file as a whole

int DataFile::injectedFailure() {
    setError(kStoreFailure, store_->connection().ioFailure(), "Injected write failure");
    return kStoreFailure;
}

int DataFile::checkUsable() {
    if (!store_->isOpen()) {
        int code = store_->damaged() ? kFileInvalid : kFileNotOpen;
        setError(code);
        return code;
    }
    return 0;
}

// The first column of what `sql` reads of this file's table (its label the
// one parameter) into `out`: 0, or the store's code of a failed read.
int DataFile::names(const char* sql, std::vector<std::string>& out) {
    Statement* st = store_->statement(sql);
    if (!st) return store_->failLast();
    st->bindText(1, layout_->label);
    StepResult r;
    while ((r = st->step()) == StepResult::Row) out.emplace_back(st->columnText(0));
    st->reset();
    return r == StepResult::Done ? 0 : store_->fail(st->result());
}

int DataFile::open() {
    if (int rc = checkUsable()) return rc;
    if (open_) {
        setError(kAlreadyOpen);
        return kAlreadyOpen;
    }
    Statement* st = store_->statement(dialect().schemaSql);
    if (!st) return store_->failLast();
    st->bindText(1, layout_->label);
    bool table = false;
    std::vector<std::pair<std::string, std::string>> indexes;
    StepResult r;
    while ((r = st->step()) == StepResult::Row) {
        const std::string_view type = st->columnText(0);
        if (type == "table") table = true;
        if (type == "index") indexes.emplace_back(st->columnText(1), st->columnText(2));
    }
    st->reset();
    if (r != StepResult::Done) return store_->fail(st->result());
    if (!table) {
        setError(kFileNotFound);
        return kFileNotFound;
    }
    // A table whose columns are not the layout's is not this file.
    std::vector<std::string> cols;
    if (int rc = names(dialect().columnsSql, cols)) return rc;
    for (auto& f : layout_->fields)
        if (std::find(cols.begin(), cols.end(), f.name) == cols.end()) {
            setError(kFileInvalid, 0, "Column " + std::string(f.name) + " missing");
            return kFileInvalid;
        }
    if (std::find(cols.begin(), cols.end(), "_ver") == cols.end()) {
        setError(kFileInvalid, 0, "Version column missing");
        return kFileInvalid;
    }
    for (const IndexSql& wanted : indexSqls(*layout_, dialect())) {
        auto it = std::find_if(indexes.begin(), indexes.end(), [&](auto& ix) { return ix.first == wanted.name; });
        if (it == indexes.end() || it->second != wanted.sql) {
            setError(kKeysInvalid);
            return kKeysInvalid;
        }
    }
    open_ = true;
    if (!readingCopy_) store_->noteOpen(layout_->label, 1);
    cursor_ = Cursor(*this, -1);
    rowid_ = 0;
    setError(0);
    return 0;
}

int DataFile::create() {
    if (int rc = checkUsable()) return rc;
    WriteTransaction tx(*store_, 2000, WriteTransaction::Join);
    if (!tx.ok()) return tx.error();
    int rc = makeTable(*store_, *layout_);
    if (rc != 0) {
        int code = store_->fail(rc);
        tx.rollback();
        store_->dropStatements();
        return code;
    }
    store_->dropStatements();
    return tx.commit();
}

void DataFile::close() {
    if (open_ && !readingCopy_) store_->noteOpen(layout_->label, -1);
    open_ = false;
    rowid_ = 0;
    setError(0);
}

int DataFile::remove() {
    if (int rc = checkUsable()) return rc;
    // A file in use by any window of this program stays.
    if (store_->openCount(layout_->label) > 0) {
        setError(kAlreadyOpen);
        return kAlreadyOpen;
    }
    bool found = false;
    if (int code = store_->findTable(layout_->label, found)) return code;
    if (!found) {
        setError(kFileNotFound);
        return kFileNotFound;
    }
    if (store_->writeFailureDue()) return injectedFailure();
    store_->dropStatements();
    int rc = store_->exec("DROP TABLE " + sqlName(layout_->label));
    if (rc != 0) return store_->fail(rc);
    setError(0);
    return 0;
}

int DataFile::build() {
    if (int rc = checkUsable()) return rc;
    WriteTransaction tx(*store_, 2000, WriteTransaction::Join);
    if (!tx.ok()) return tx.error();
    store_->dropStatements();
    // Drop whatever indexes the table has, then make the layout's anew.
    std::vector<std::string> indexes;
    if (int code = names(dialect().indexesSql, indexes)) return code;
    store_->dropStatements();
    int rc = 0;
    for (auto& n : indexes)
        if (rc == 0) rc = store_->exec("DROP INDEX " + sqlName(n));
    for (auto& ix : indexSqls(*layout_, dialect()))
        if (rc == 0) rc = store_->exec(ix.sql);
    if (rc != 0) {
        int code = store_->fail(rc);
        tx.rollback();
        return code;
    }
    return tx.commit();
}

int64_t DataFile::records() {
    if (!open_) {
        setError(kFileNotOpen);
        return 0;
    }
    Statement* st = store_->statement("SELECT count(*) FROM " + sqlName(layout_->label));
    if (!st) {
        store_->failLast();
        return 0;
    }
    int64_t n = 0;
    const StepResult r = st->step();
    if (r == StepResult::Row) n = st->columnInt(0);
    st->reset();
    if (r == StepResult::Row) setError(0);
    else store_->fail(st->result());
    return n;
}

int DataFile::send(const std::string&) {
    setError(0);
    return 0;
}

// ---- sequential reading

void DataFile::set() {
    cursor_ = Cursor(*this, -1);
    cursor_.toStart();
}

void DataFile::set(const Key& key) {
    cursor_ = Cursor(*this, key.index);
    cursor_.toStart();
}

void DataFile::setFrom(const Key& key) {
    cursor_ = Cursor(*this, key.index);
    cursor_.toBuffer();
}

// ---- single records

int DataFile::get(const Key& key) {
    if (!open_) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    const KeyDef& k = layout_->keys[size_t(key.index)];
    Statement* st = shapedStatement(shapeOf(kGet, key.index, 0, true), [&] {
        std::string sql = selectSql() + " WHERE ";
        for (size_t i = 0; i < k.components.size(); ++i)
            sql += (i ? " AND " : "") + dialect().same(quotedColumn(k.components[i].field));
        return sql + " ORDER BY " + dialect().rowId + " LIMIT 1";
    });
    if (!st) return store_->failLast();
    for (size_t i = 0; i < k.components.size(); ++i) bindField(*st, int(i) + 1, k.components[i].field);
    return readOne(*st, kRecordNotFound);
}

// Runs a query of one record and reads it into the buffer; `none` when
// there is no such record.
int DataFile::readOne(Statement& st, int none) {
    const StepResult r = st.step();
    if (r == StepResult::Row) {
        loadRow(st);
        st.reset();
        setError(0);
        return 0;
    }
    st.reset();
    if (r == StepResult::Done) {
        setError(none);
        return none;
    }
    return store_->fail(st.result());
}

int DataFile::getById(int64_t rowid) {
    if (!open_) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    // A list loads its highlighted record this way on every step.
    Statement* st = shapedStatement(shapeOf(kGet, -1, 0, true),
                                    [&] { return selectSql() + " WHERE " + dialect().rowId + " = ?"; });
    if (!st) return store_->failLast();
    st->bindInt(1, rowid);
    return readOne(*st, kRecordNotAvailable);
}

int DataFile::add() {
    if (!open_) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    const bool watch = watchNext_;
    watchNext_ = false;
    if (store_->writeFailureDue()) return injectedFailure();
    // Every field is bound anew: the kept statement needs no clearing.
    Statement* st = shapedStatement(kInsert, [&] { return insertSql_ + dialect().returningId; });
    if (!st) return store_->failLast();
    for (size_t i = 0; i < layout_->fields.size(); ++i) bindField(*st, int(i) + 1, int(i));
    const StepResult r = store_->asWrite([&] { return st->step(); });
    st->reset();
    if (r != StepResult::Done) return store_->fail(st->result());
    rowid_ = store_->connection().lastInsertId();
    version_ = 0;
    watched_ = watch;
    setError(0);
    return 0;
}

int DataFile::put() {
    if (int rc = checkWritable()) return rc;
    std::string sql = "UPDATE " + sqlName(layout_->label) + " SET ";
    for (size_t i = 0; i < layout_->fields.size(); ++i) sql += quotedColumn(int(i)) + " = ?, ";
    sql += "\"_ver\" = \"_ver\" + 1 WHERE " + std::string(dialect().rowId) + " = ?";
    if (watched_) sql += " AND \"_ver\" = ?";
    Statement* st = store_->statement(sql);
    if (!st) return store_->failLast();
    int n = int(layout_->fields.size());
    for (int i = 0; i < n; ++i) bindField(*st, i + 1, i);
    st->bindInt(n + 1, rowid_);
    if (watched_) st->bindInt(n + 2, version_);
    if (int rc = writeCurrent(*st)) return rc;
    ++version_;
    setError(0);
    return 0;
}

int DataFile::deleteRecord() {
    if (int rc = checkWritable()) return rc;
    Statement* st = store_->statement("DELETE FROM " + sqlName(layout_->label) + " WHERE " + dialect().rowId +
                                      " = ?" + (watched_ ? " AND \"_ver\" = ?" : ""));
    if (!st) return store_->failLast();
    st->bindInt(1, rowid_);
    if (watched_) st->bindInt(2, version_);
    if (int rc = writeCurrent(*st)) return rc;
    rowid_ = 0;
    setError(0);
    return 0;
}

// A put or delete needs the file open and a record read or added.
int DataFile::checkWritable() {
    if (!open_) {
        setError(kFileNotOpen);
        return kFileNotOpen;
    }
    if (rowid_ == 0) {
        setError(kRecordNotAvailable);
        return kRecordNotAvailable;
    }
    if (store_->writeFailureDue()) return injectedFailure();
    return 0;
}

// Runs the write of the current record; 0 when it wrote it.
int DataFile::writeCurrent(Statement& st) {
    const StepResult r = store_->asWrite([&] { return st.step(); });
    st.reset();
    if (r != StepResult::Done) return store_->fail(st.result());
    if (store_->connection().changes() == 0) {
        // Gone, or (when watched) written meanwhile by another station.
        int code = watched_ ? kChangedByOther : kRecordNotAvailable;
        setError(code);
        return code;
    }
    return 0;
}

bool DataFile::duplicate(const Key& key) {
    const KeyDef& k = layout_->keys[size_t(key.index)];
    if (!k.unique || !open_) return false;
    if (k.uniqueWhenNotBlank && std::all_of(k.components.begin(), k.components.end(), [&](const KeyComponent& c) {
            return fieldValue(c.field).s.empty();
        }))
        return false;
    std::string sql = "SELECT 1 FROM " + sqlName(layout_->label) + " WHERE ";
    for (size_t i = 0; i < k.components.size(); ++i) sql += dialect().same(quotedColumn(k.components[i].field)) + " AND ";
    sql += std::string(dialect().rowId) + " <> ? LIMIT 1";
    Statement* st = store_->statement(sql);
    if (!st) return false;
    for (size_t i = 0; i < k.components.size(); ++i) bindField(*st, int(i) + 1, k.components[i].field);
    st->bindInt(int(k.components.size()) + 1, rowid_);
    const bool dup = st->step() == StepResult::Row;
    st->reset();
    return dup;
}

int DataFile::firstDuplicateKey() {
    for (size_t k = 0; k < layout_->keys.size(); ++k)
        if (layout_->keys[k].unique && duplicate(Key{this, int(k)})) return int(k);
    return -1;
}

// ---- positions: "id" or "id|key|values..." with each value tagged n, i or t

namespace {
std::string hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string out;
    for (unsigned char c : s) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}
std::string unhex(std::string_view h) {
    std::string out;
    for (size_t i = 0; i + 1 < h.size(); i += 2) out += char(std::stoi(std::string(h.substr(i, 2)), nullptr, 16));
    return out;
}
struct ParsedPosition {
    int64_t rowid = 0;
    std::vector<SqlValue> values;
    bool ok = false;
};
ParsedPosition parsePosition(const std::string& text) {
    ParsedPosition p;
    try {
        size_t bar = text.find('|');
        p.rowid = std::stoll(text.substr(0, bar));
        if (bar != std::string::npos) {
            size_t pos = text.find('|', bar + 1);  // skip the key index
            while (pos != std::string::npos) {
                size_t end = text.find('|', pos + 1);
                std::string item = text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
                if (item.empty()) return p;
                if (item[0] == 'n') p.values.push_back({});
                else if (item[0] == 'i') p.values.push_back({SqlValue::Int, std::stoll(item.substr(1)), {}});
                else p.values.push_back({SqlValue::Text, 0, unhex(std::string_view(item).substr(1))});
                pos = end;
            }
        }
        p.ok = true;
    } catch (const std::exception&) {
    }
    return p;
}
}  // namespace

std::string DataFile::position() { return std::to_string(rowid_); }

std::string DataFile::position(const Key& key) {
    std::string out = std::to_string(rowid_) + "|" + std::to_string(key.index);
    for (auto& v : keyValues(key.index)) {
        if (v.kind == SqlValue::Null) out += "|n";
        else if (v.kind == SqlValue::Int) out += "|i" + std::to_string(v.i);
        else out += "|t" + hex(v.s);
    }
    return out;
}

int DataFile::reget(const std::string& pos) {
    ParsedPosition p = parsePosition(pos);
    if (!p.ok || p.rowid == 0) {
        setError(kRecordNotAvailable);
        return kRecordNotAvailable;
    }
    return getById(p.rowid);
}

int DataFile::reset(const std::string& pos) {
    ParsedPosition p = parsePosition(pos);
    if (!p.ok) {
        setError(kRecordNotAvailable);
        return kRecordNotAvailable;
    }
    cursor_ = Cursor(*this, -1);
    cursor_.toPosition({}, p.rowid, true);
    setError(0);
    return 0;
}

int DataFile::reset(const Key& key, const std::string& pos) {
    ParsedPosition p = parsePosition(pos);
    if (!p.ok || p.values.size() != layout_->keys[size_t(key.index)].components.size()) {
        setError(kRecordNotAvailable);
        return kRecordNotAvailable;
    }
    cursor_ = Cursor(*this, key.index);
    cursor_.toPosition(std::move(p.values), p.rowid, true);
    setError(0);
    return 0;
}

}  // namespace marel
