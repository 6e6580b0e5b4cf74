#pragma once
// The SQL shape of a layout: its table and one index per key.
#include <string>
#include <vector>

#include "store/Layout.h"

namespace marel {
std::string tableSql(const Layout& layout);
std::string indexName(const Layout& layout, int key);
std::vector<std::string> indexSqls(const Layout& layout);
std::string sqlName(const std::string& identifier);
}  // namespace marel
