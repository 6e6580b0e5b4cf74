#include "store/Gathered.h"

#include <sqlite3.h>

namespace marel {

int fieldOf(const Layout& layout, void* record, const void* member) {
    for (size_t i = 0; i < layout.fields.size(); ++i)
        if (layout.fields[i].at(record) == member) return int(i);
    return -1;
}

GatheredQuery::GatheredQuery(DataFile& file, int key, const std::string& where, const std::vector<SqlValue>& values)
    : file_(file) {
    std::string sql = "SELECT rowid, \"_ver\", " + file.columnList() + " FROM \"" + file.layout().label +
                      "\" WHERE " + where + " ORDER BY ";
    for (const KeyComponent& c : file.layout().keys[size_t(key)].components)
        sql += file.quotedColumn(c.field) + (c.desc ? " DESC, " : " ASC, ");
    sql += "rowid ASC";
    Store& store = file.store();
    int rc = sqlite3_prepare_v2(store.db(), sql.c_str(), int(sql.size()), &st_, nullptr);
    for (size_t i = 0; rc == SQLITE_OK && i < values.size(); ++i) bindValue(st_, int(i) + 1, values[i]);
    if (rc != SQLITE_OK) error_ = store.fail(rc);
}

GatheredQuery::~GatheredQuery() { sqlite3_finalize(st_); }

int GatheredQuery::next() {
    if (error_) return error_;
    if (!st_) return kRecordNotAvailable;
    const int rc = sqlite3_step(st_);
    if (rc == SQLITE_ROW) {
        file_.loadRow(st_);
        return 0;
    }
    sqlite3_finalize(st_);
    st_ = nullptr;
    if (rc == SQLITE_DONE) return kRecordNotAvailable;
    return error_ = file_.store().fail(rc);
}

}  // namespace marel
