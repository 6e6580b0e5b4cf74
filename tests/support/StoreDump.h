#pragma once
// Every table of a database, record by record, as text: two dumps are equal
// when nothing in the database changed (hidden columns and ids included).
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/Records.h"
#include "store/Sql.h"
#include "store/Store.h"

namespace marel::test {

inline std::string dumpDatabase(sqlite3* db) {
    std::vector<std::string> tables;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    std::string out;
    for (const std::string& t : tables) {
        out += "[" + t + "]\n";
        sqlite3_prepare_v2(db, ("SELECT * FROM \"" + t + "\" ORDER BY rowid").c_str(), -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                auto v = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                out += std::string(v ? v : "NULL") + "\t";
            }
            out += "\n";
        }
        sqlite3_finalize(st);
    }
    return out;
}

// The tables of the program's files alone, through the engine's own
// connection, so on either engine: what a transfer carries from one to the
// other. A table that cannot be read says so.
inline std::string dumpTables(Connection& connection) {
    std::vector<std::string> labels;
    for (const Layout* layout : allLayouts()) labels.push_back(layout->label);
    std::sort(labels.begin(), labels.end());
    std::string out;
    for (const std::string& label : labels) {
        Statement there = connection.prepare(connection.dialect().tableExistsSql, false);
        there.bindText(1, label);
        if (there.step() != StepResult::Row) continue;
        out += "[" + label + "]\n";
        Statement st = connection.prepare("SELECT * FROM " + sqlName(label) + " ORDER BY \"_id\"", false);
        StepResult r = StepResult::Error;
        while (st && (r = st.step()) == StepResult::Row) {
            for (int c = 0; c < st.columnCount(); ++c) {
                const std::string_view v = st.columnText(c);
                out += (v.data() ? std::string(v) : "NULL") + "\t";
            }
            out += "\n";
        }
        if (!st || r == StepResult::Error) out += "(ne čita se)\n";
    }
    return out;
}

// The whole database of a data folder; on a server, its tables (see dumpTables).
inline std::string dumpDatabase(Store& store) {
    return store.db() ? dumpDatabase(store.db()) : dumpTables(store.connection());
}

// The same of a database file, read as it stands ("" when it cannot be read).
inline std::string dumpDatabaseFile(const std::string& path) {
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) out = dumpDatabase(db);
    sqlite3_close(db);
    return out;
}

// A copy's file dumped as the store's own data is: whole beside a data
// folder, its tables beside a server.
inline std::string dumpCopyLike(Store& store, const std::string& path) {
    if (store.db()) return dumpDatabaseFile(path);
    Connection copy;
    return copy.open(path, true) == 0 && copy.useCroatianOrder() ? dumpTables(copy) : "";
}

}  // namespace marel::test
