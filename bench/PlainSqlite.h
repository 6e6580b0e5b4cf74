#pragma once
// A connection of a plain SQLite program, the baseline some benchmarks are
// measured against: the raw API on a database file, with the Croatian text
// order the program's text columns are declared with, and nothing else.
#include <sqlite3.h>
#include <unicode/ucol.h>

#include <string>

namespace marel {

class PlainSqlite {
public:
    PlainSqlite(const std::string& path, int flags) {
        ok_ = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK;
        UErrorCode status = U_ZERO_ERROR;
        UCollator* coll = ucol_open("hr", &status);
        ok_ = ok_ && U_SUCCESS(status);
        if (!ok_) return;
        ucol_setStrength(coll, UCOL_SECONDARY);
        sqlite3_create_collation_v2(db_, "HR", SQLITE_UTF8, coll, compare,
                                    [](void* c) { ucol_close(static_cast<UCollator*>(c)); });
    }
    ~PlainSqlite() { sqlite3_close_v2(db_); }
    PlainSqlite(const PlainSqlite&) = delete;
    PlainSqlite& operator=(const PlainSqlite&) = delete;

    bool ok() const { return ok_; }
    sqlite3* db() const { return db_; }
    bool exec(const std::string& sql) { return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK; }
    // A statement the caller finalizes; nullptr when it does not prepare.
    sqlite3_stmt* prepare(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &st, nullptr);
        return st;
    }
    static std::string text(sqlite3_stmt* st, int col) {
        auto t = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return t ? std::string(t, size_t(sqlite3_column_bytes(st, col))) : std::string();
    }

private:
    static int compare(void* coll, int n1, const void* s1, int n2, const void* s2) {
        UErrorCode status = U_ZERO_ERROR;
        auto r = ucol_strcollUTF8(static_cast<UCollator*>(coll), static_cast<const char*>(s1), n1,
                                  static_cast<const char*>(s2), n2, &status);
        return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
    }

    sqlite3* db_ = nullptr;
    bool ok_ = false;
};

}  // namespace marel
