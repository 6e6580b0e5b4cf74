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
        out << tableSql(*l, sqliteDialect()) << '\n';
        for (const IndexSql& ix : indexSqls(*l, sqliteDialect())) out << ix.name << ": " << ix.sql << '\n';
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

// Each kind of field, through its text, its column and back; the value a
// supplied table's cell gives is the value the same text gives a record.
struct FieldCase {
    DataFile* file;
    const char* field;
    const char* text;
    const char* back;  // nullptr: the text is refused
};

class FieldRoundTrip : public marel::test::StoreFixture, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(FieldRoundTrip, TextColumnAndTextAgree) {
    const FieldCase& c = GetParam();
    DataFile& file = *c.file;
    openFiles({&file});
    const int field = file.layout().fieldIndex(c.field);
    const FieldDef& f = file.layout().fields[size_t(field)];
    file.clear();
    bool parsed = false;
    const SqlValue cell = f.codec().parse(f, c.text, parsed);
    ASSERT_EQ(file.setFieldText(field, c.text), c.back != nullptr);
    ASSERT_EQ(parsed, c.back != nullptr);
    if (!c.back) return;
    EXPECT_EQ(cell, file.fieldValue(field));
    ASSERT_EQ(file.add(), 0);
    const int64_t id = file.currentId();
    file.clear();
    ASSERT_EQ(file.getById(id), 0);
    EXPECT_EQ(file.fieldText(field), c.back);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, FieldRoundTrip,
    ::testing::Values(FieldCase{&ISPLATE, "OZNAKA", " 2147483647", "2147483647"},
                      FieldCase{&ISPLATE, "OZNAKA", "2147483648", nullptr},
                      FieldCase{&SVASTA, "VRISHORT", "-32768", "-32768"},
                      FieldCase{&OSOBE, "BANKA", "65535", "65535"},
                      FieldCase{&DOHOCI, "VRSTADOHOTKA", "255", "255"},
                      FieldCase{&DOHOCI, "VRSTADOHOTKA", "7x", nullptr},
                      FieldCase{&ISPLATE, "DATUM", "2024-02-29", "2024-02-29"},
                      FieldCase{&ISPLATE, "DATUM", "", ""},
                      FieldCase{&ISPLATE, "DATUM", "2023-02-29", nullptr},
                      FieldCase{&OSOBE, "PREZIME", "Šimić Đurđević  ", "Šimić Đurđević"},
                      FieldCase{&OSOBE, "PREZIME", "Šimić\tĐurđević", nullptr},
                      FieldCase{&DOHOCI, "NETO", "1234.5", "1234.50"},
                      FieldCase{&ISPLATE, "BILJESKE", "prvi red\ndrugi red", "prvi red\ndrugi red"}));

// A supplied table's cell that its field cannot hold stops the loading: read
// on, it would be stored cut or dropped (a number beyond the field, a number
// with letters after it).
TEST(SuppliedTables, ACellTheFieldCannotHoldIsRefused) {
    for (const char* cell : {"70000", "12abc", "-1"}) {
        marel::test::TempFolder folder, data;
        std::ofstream(data.path() / "POZICIJE.tsv") << "OZNAKA\tNAZIV\n1\tBruto\n" << cell << "\tKriva\n";
        Store s;
        ASSERT_EQ(s.open(folder.str(), ""), 0);
        EXPECT_EQ(s.loadTable("POZICIJE", data.str()), kFileInvalid) << cell;
    }
}
