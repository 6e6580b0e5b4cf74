#pragma once
// The SQL shape of a layout: its table and one index per key (two for a key
// unique only when not blank).
#include <string>
#include <vector>

#include "store/EngineKinds.h"
#include "store/Layout.h"

namespace marel {
class Store;
// In the dialect of the engine that is to make them.
std::string tableSql(const Layout& layout, const Dialect& dialect);
std::string indexName(const Layout& layout, int key);
struct IndexSql {
    std::string name;
    std::string sql;
};
std::vector<IndexSql> indexSqls(const Layout& layout, const Dialect& dialect);
std::string sqlName(const std::string& identifier);
// Makes the layout's table and its indexes; the engine's code.
int makeTable(Store& store, const Layout& layout);
// The insert forms open right now, each with the station that opened it, so
// that a record left by a form that never ended can be told from one whose
// form is still in use.
inline constexpr const char* kOpenInsertsTable = "_INSERTS";
}  // namespace marel
