// The record model as the database sees it: every file's fields and the SQL
// made from them must stay as they are, or a database written earlier would
// no longer open; and each kind of field must come back from its column as it
// went in.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/Records.h"
#include "store/Sql.h"
#include "support/StoreFixture.h"

using namespace marel;
namespace fs = std::filesystem;

namespace {

std::string schemaOfEveryFile() {
    std::ostringstream out;
    for (const Layout* l : allLayouts()) {
        out << l->label << ' ' << l->prefix << ' ' << l->recordBytes << (l->autoNumber ? " auto" : "") << '\n';
        for (const FieldDef& f : l->fields)
            out << "  " << f.name << ' ' << int(f.type) << ' ' << f.size << ' ' << f.places << '\n';
        out << tableSql(*l) << '\n';
        for (const IndexSql& ix : indexSqls(*l)) out << ix.name << ": " << ix.sql << '\n';
        for (size_t k = 0; k < l->keys.size(); ++k) out << l->keyDisplayName(int(k)) << '\n';
    }
    return out.str();
}

}  // namespace

TEST(RecordModel, EveryFileKeepsItsFieldsTableAndIndexes) {
    const fs::path golden = fs::path(__FILE__).parent_path() / "golden" / "schema.txt";
    const std::string now = schemaOfEveryFile();
    if (std::getenv("MAREL_UPDATE_GOLDEN")) std::ofstream(golden, std::ios::binary) << now;
    std::ifstream in(golden, std::ios::binary);
    EXPECT_EQ(now, std::string(std::istreambuf_iterator<char>(in), {})) << golden;
}
