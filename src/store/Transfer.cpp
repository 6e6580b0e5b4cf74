#include "store/Transfer.h"

#include <algorithm>
#include <vector>

#include "store/Records.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace marel {

namespace {

// The reader's words first, the engine's after them for whoever helps.
std::string failure(Connection& connection, int code) {
    return errorTextOf(connection.storeCode(code)) + " (" + connection.errorText(code) + ")";
}

bool has(const std::vector<std::string>& columns, const std::string& name) {
    return std::find(columns.begin(), columns.end(), name) != columns.end();
}

// A table of the program's files as the source holds it.
struct Table {
    const Layout* layout;
    std::vector<std::string> columns;
    std::string name() const { return sqlName(layout->label); }
};

}  // namespace

std::vector<std::string> columnsOf(Connection& connection, const std::string& table, int& code) {
    std::vector<std::string> columns;
    Statement st = connection.prepare(connection.dialect().columnsSql, false);
    if (!st) code = connection.errorCode();
    if (!st) return columns;
    st.bindText(1, table);
    StepResult r;
    while ((r = st.step()) == StepResult::Row) columns.emplace_back(st.columnText(0));
    if (r == StepResult::Error) code = st.result();
    return columns;
}

int64_t highestIdGiven(Connection& connection, const std::string& table) {
    Statement given = connection.prepare(connection.dialect().lastIdSql, false);
    if (!given) return 0;
    given.bindText(1, table);
    return given.step() == StepResult::Row ? std::max<int64_t>(given.columnInt(0), 0) : 0;
}

namespace {

class Transfer {
public:
    Transfer(Connection& from, Store& to) : from_(from), to_(to), target_(to.connection()) {}

    std::string run(TransferMode mode, TransferCount* count) {
        if (std::string why = readTables(); !why.empty()) return why;
        WriteTransaction tx(to_);
        if (!tx.ok()) return "Odredište nije otvoreno za upis: " + errorTextOf(tx.error()) + " (" + storeErrorText() + ").";
        to_.dropStatements();
        std::string why = mode == TransferMode::IntoEmpty ? refuseData() : emptyTables();
        int64_t rows = 0;
        for (const Table& t : tables_)
            if (why.empty()) why = copyTable(t, rows);
        for (const Table& t : tables_)
            if (why.empty()) why = compare(t);
        if (why.empty() && tx.commit() != 0) why = "Prijenos nije zapisan: " + errorText() + " (" + storeErrorText() + ").";
        to_.dropStatements();
        if (!why.empty()) return why;
        if (count) *count = {int(tables_.size()), rows};
        return {};
    }

private:
    std::string readTables() {
        for (const Layout* layout : allLayouts()) {
            int code = 0;
            std::vector<std::string> columns = columnsOf(from_, layout->label, code);
            if (code) return "Izvor se ne može pročitati: " + failure(from_, code) + ".";
            if (!columns.empty()) tables_.push_back({layout, std::move(columns)});
        }
        return {};
    }

    bool inTarget(const std::string& table, std::string& why) {
        int code = 0;
        const bool there = !columnsOf(target_, table, code).empty();
        if (code) why = "Odredište se ne može pročitati: " + failure(target_, code) + ".";
        return there;
    }

    // Nothing is touched before every table was looked at.
    std::string refuseData() {
        std::string why;
        for (const Layout* layout : allLayouts()) {
            if (!inTarget(layout->label, why)) {
                if (!why.empty()) return why;
                continue;
            }
            Statement st = target_.prepare("SELECT 1 FROM " + sqlName(layout->label) + " LIMIT 1", false);
            const StepResult r = st ? st.step() : StepResult::Error;
            if (r == StepResult::Error) return "Odredište se ne može pročitati: " + failure(target_, target_.errorCode()) + ".";
            if (r == StepResult::Row)
                return "U odredištu već ima podataka (tablica " + layout->label +
                       "): podaci se prenose samo u odredište bez podataka.";
        }
        return {};
    }

    std::string emptyTables() {
        std::string why;
        std::vector<std::string> names{kOpenInsertsTable};
        for (const Layout* layout : allLayouts()) names.push_back(layout->label);
        for (const std::string& name : names) {
            if (!inTarget(name, why)) {
                if (!why.empty()) return why;
                continue;
            }
            if (int rc = to_.exec("DELETE FROM " + sqlName(name)))
                return "Prijenos je poništen: tablica " + name + ": " + failure(target_, rc) + ".";
        }
        return {};
    }

    static void bindAsRead(Statement& read, Statement& write, int column) {
        const int at = column + 1;
        switch (read.columnKind(column)) {
            case ColumnKind::Null: write.bindNull(at); break;
            case ColumnKind::Integer: write.bindInt(at, read.columnInt(column)); break;
            case ColumnKind::Blob: write.bindBlobInPlace(at, read.columnBlob(column)); break;
            default: write.bindTextInPlace(at, read.columnText(column)); break;
        }
    }

    std::string copyTable(const Table& t, int64_t& rows) {
        const std::string broken = "Prijenos je poništen: tablica " + t.layout->label + ": ";
        std::string why;
        if (!inTarget(t.layout->label, why) && why.empty())
            if (int rc = makeTable(to_, *t.layout)) return broken + failure(target_, rc) + ".";
        if (!why.empty()) return why;
        std::string list, marks;
        for (const std::string& column : t.columns) {
            list += (list.empty() ? "" : ", ") + sqlName(column);
            marks += marks.empty() ? "?" : ", ?";
        }
        const std::string order = has(t.columns, "_id") ? "\"_id\"" : from_.dialect().rowId;
        // Ids of records deleted in the source are not given again in the copy.
        const int64_t highest = highestIdGiven(from_, t.layout->label);
        Statement read = from_.prepare("SELECT " + list + " FROM " + t.name() + " ORDER BY " + order, false);
        if (!read) return "Izvor se ne može pročitati: tablica " + t.layout->label + ": " + failure(from_, from_.errorCode()) + ".";
        Statement write = target_.prepare("INSERT INTO " + t.name() + "(" + list + ") VALUES (" + marks + ")", false);
        if (!write) return broken + failure(target_, target_.errorCode()) + ".";
        const int columns = int(t.columns.size());
        StepResult r;
        while ((r = read.step()) == StepResult::Row) {
            for (int c = 0; c < columns; ++c) bindAsRead(read, write, c);
            if (write.step() == StepResult::Error) return broken + failure(target_, write.result()) + ".";
            write.reset();
            ++rows;
        }
        if (r == StepResult::Error) return broken + failure(from_, read.result()) + ".";
        if (int rc = target_.idsGiven(t.layout->label, highest)) return broken + failure(target_, rc) + ".";
        return {};
    }

    // The records and the sum of every amount column, as the engine writes them.
    static std::vector<std::string> totals(Connection& connection, const std::string& sql, int& code) {
        std::vector<std::string> values;
        Statement st = connection.prepare(sql, false);
        if (!st || st.step() != StepResult::Row) {
            code = st ? st.result() : connection.errorCode();
            return values;
        }
        for (int c = 0; c < st.columnCount(); ++c) {
            const std::string_view v = st.columnText(c);
            values.emplace_back(v.data() ? std::string(v) : "0");
        }
        return values;
    }

    std::string compare(const Table& t) {
        std::string sql = "SELECT count(*)";
        std::vector<std::string> what{"broj slogova"};
        for (const FieldDef& f : t.layout->fields) {
            if (f.type != FieldType::Decimal || !has(t.columns, f.name)) continue;
            sql += ", sum(" + sqlName(f.name) + ")";
            what.push_back(std::string("zbroj stupca ") + f.name);
        }
        sql += " FROM " + t.name();
        int code = 0;
        const std::vector<std::string> source = totals(from_, sql, code);
        if (code) return "Izvor se ne može pročitati: tablica " + t.layout->label + ": " + failure(from_, code) + ".";
        const std::vector<std::string> target = totals(target_, sql, code);
        if (code) return "Prijenos je poništen: tablica " + t.layout->label + ": " + failure(target_, code) + ".";
        for (size_t i = 0; i < what.size(); ++i)
            if (source[i] != target[i])
                return "Prijenos je poništen: u tablici " + t.layout->label + " " + what[i] + " nije isti (izvor " +
                       source[i] + ", odredište " + target[i] + ").";
        return {};
    }

    Connection& from_;
    Store& to_;
    Connection& target_;
    std::vector<Table> tables_;
};

}  // namespace

std::string transferData(Store& from, Store& to, TransferCount* count) {
    if (!from.isOpen() || !to.isOpen()) return "Podaci nisu preneseni: izvor ili odredište nije otvoreno.";
    ReadTransaction reading(from);
    return transferData(from.connection(), to, TransferMode::IntoEmpty, count);
}

std::string transferData(Connection& from, Store& to, TransferMode mode, TransferCount* count) {
    // One state of the source for the copy and its comparison alike.
    const bool own = !from.inTransaction();
    if (own)
        if (int rc = from.exec(from.dialect().beginRead)) return "Izvor se ne može pročitati: " + failure(from, rc) + ".";
    std::string why = Transfer(from, to).run(mode, count);
    if (own) from.exec("COMMIT");
    return why;
}

}  // namespace marel
