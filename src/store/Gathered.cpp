#include "store/Gathered.h"

namespace marel {

int fieldOf(const Layout& layout, void* record, const void* member) {
    for (size_t i = 0; i < layout.fields.size(); ++i)
        if (layout.fields[i].at(record) == member) return int(i);
    return -1;
}

GatheredQuery::GatheredQuery(DataFile& file, int key, const std::string& where, const std::vector<SqlValue>& values)
    : file_(file) {
    std::string sql = file.selectSql() + " WHERE " + where + " ORDER BY ";
    for (const KeyComponent& c : file.layout().keys[size_t(key)].components)
        sql += file.quotedColumn(c.field) + (c.desc ? file.dialect().descending : file.dialect().ascending) + ", ";
    sql += std::string(file.dialect().rowId) + " ASC";
    Store& store = file.store();
    st_ = store.connection().prepare(sql, false);
    if (!st_) {
        error_ = store.failLast();
        return;
    }
    for (size_t i = 0; i < values.size(); ++i) bindValue(st_, int(i) + 1, values[i]);
}

GatheredQuery::~GatheredQuery() = default;

int GatheredQuery::next() {
    if (error_) return error_;
    if (!st_) return kRecordNotAvailable;
    const StepResult r = st_.step();
    if (r == StepResult::Row) {
        file_.loadRow(st_);
        return 0;
    }
    const int rc = st_.result();
    st_.finalize();
    if (r == StepResult::Done) return kRecordNotAvailable;
    return error_ = file_.store().fail(rc);
}

}  // namespace marel
