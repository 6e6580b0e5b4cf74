#pragma once
// Every table of a database, record by record, as text: two dumps are equal
// when nothing in the database changed (hidden columns and ids included).
#include <sqlite3.h>

#include <string>
#include <vector>

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

inline std::string dumpDatabase(Store& store) { return dumpDatabase(store.db()); }

// The same of a database file, read as it stands ("" when it cannot be read).
inline std::string dumpDatabaseFile(const std::string& path) {
    sqlite3* db = nullptr;
    std::string out;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) out = dumpDatabase(db);
    sqlite3_close(db);
    return out;
}

}  // namespace marel::test
