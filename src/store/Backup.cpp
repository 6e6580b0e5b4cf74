#include "store/Backup.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <thread>
#include <unistd.h>

#include "store/Records.h"
#include "store/Sql.h"
#include "store/SqliteEngine.h"
#include "store/Store.h"
#include "store/Transfer.h"

namespace marel {

namespace fs = std::filesystem;

namespace {

// A connection of its own to a copy or a data folder. Its keys are in
// Croatian order: checking them needs the order.
std::string openCopy(Connection& connection, const std::string& path, bool readOnly) {
    const int rc = connection.open(path, readOnly);
    if (rc == 0 && connection.useCroatianOrder()) return {};
    return path + ": datoteka se ne može otvoriti (" + connection.errorText(rc) + ")";
}

// The engine's own check of every page and index: a copy is sound or it is
// not a copy.
bool sound(Connection& connection) {
    Statement check = connection.prepare("PRAGMA quick_check", false);
    return check && check.step() == StepResult::Row && check.columnText(0) == "ok";
}

// Copies the whole database `from` into `to`, page by page, as one read of
// `from` (other stations write before or after it, never into the middle).
// Another station's write lock is waited for as long as a report would.
std::string copyPages(sqlite3* from, sqlite3* to) {
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) return errorTextOf(SqliteConnection::storeCodeOf(sqlite3_errcode(to), sqlite3_extended_errcode(to))) + " (" +
                   sqlite3_errmsg(to) + ")";
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(Store::kReadWaitMs);
    int rc;
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (std::chrono::steady_clock::now() > giveUp) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    sqlite3_backup_finish(b);
    if (rc == SQLITE_DONE) return {};
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) return "podatke je zauzela druga stanica, pokušajte ponovo";
    // The reader's words first, the engine's after them for whoever helps.
    return errorTextOf(SqliteConnection::storeCodeOf(rc, rc)) + " (" + sqlite3_errstr(rc) + ")";
}

// A table of the copy that holds every column of the file's layout (older
// tables without their own ids included: the opening upgrades them). Another
// program's table of the same name would replace the file with what the
// program cannot read.
bool shapedAs(Connection& connection, const Layout& layout) {
    int code = 0;
    const std::vector<std::string> read = columnsOf(connection, layout.label, code);
    const std::set<std::string, std::less<>> columns(read.begin(), read.end());
    return code == 0 && columns.count("_ver") && std::all_of(layout.fields.begin(), layout.fields.end(),
                                                [&](const FieldDef& f) { return columns.count(f.name) > 0; });
}

// How many tables of a database are the program's (the tables of its files,
// its own bookkeeping) and how many are not.
struct TableCount {
    int ours = 0, foreign = 0;
};
TableCount tablesOf(Connection& connection) {
    std::map<std::string, const Layout*, std::less<>> known{{kOpenInsertsTable, nullptr}};
    for (const Layout* layout : allLayouts()) known.emplace(layout->label, layout);
    Statement tables =
        connection.prepare("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'", false);
    TableCount count;
    while (tables && tables.step() == StepResult::Row) {
        const auto it = known.find(tables.columnText(0));
        ++(it != known.end() && (!it->second || shapedAs(connection, *it->second)) ? count.ours : count.foreign);
    }
    return count;
}

// Writes the copy under a temporary name and renames it once it is whole
// and sound, so that `target` is either the complete copy or untouched.
// `fill` makes the copy as MAREL.DB in the temporary folder it is given.
// A copy asked for by name must hold the program's data: an empty or another
// program's database written over an earlier copy would take its place.
// (An automatic copy keeps whatever is there, tables or none.)
std::string copyToFile(const std::string& target, const std::string& live, bool ofData,
                       const std::function<std::string(const std::string& folder)>& fill) {
    const std::string fail = "Kopija nije zapisana u " + target + ": ";
    std::error_code ec;
    // Renamed over the data itself, the copy would take the data's place.
    if (fs::equivalent(target, live, ec)) return fail + "to su sami podaci, kopija mora biti druga datoteka";
    const fs::path parent = fs::path(target).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) return fail + "mapa ne postoji";
    const fs::path temporary = target + ".pisanje-" + std::to_string(getpid());
    fs::remove_all(temporary, ec);
    fs::create_directory(temporary, ec);
    const std::string written = (temporary / "MAREL.DB").string();
    std::string why = ec ? ec.message() : fill(temporary.string());
    if (why.empty()) {
        Connection check;
        why = openCopy(check, written, true);
        if (why.empty() && !sound(check)) why = "kopija nije ispravna";
        if (why.empty() && ofData && tablesOf(check).ours == 0) why = "u izvoru nema nijedne tablice podataka ovog programa";
    }
    if (why.empty()) {
        fs::rename(written, target, ec);
        if (ec) why = ec.message();
    }
    fs::remove_all(temporary, ec);
    return why.empty() ? why : fail + why;
}

// The pages of the database `from` as a new database file in `folder`.
std::string copyPagesInto(sqlite3* from, const std::string& folder) {
    Connection to;
    std::string why = openCopy(to, (fs::path(folder) / "MAREL.DB").string(), false);
    return why.empty() ? copyPages(from, to.handle()) : why;
}

// A server's tables, made in a database file of the same shape as a data
// folder's, so that a copy restores into either.
std::string copyTablesInto(Store& from, const std::string& folder) {
    Store to;
    if (to.open(folder, "") != 0) return "kopija se ne može otvoriti (" + storeErrorText() + ")";
    return transferData(from, to);
}

// Where copies are kept for a server named directly: the user's own folder.
std::string userDataFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return (fs::path(xdg) / "MAREL").string();
    const char* home = std::getenv("HOME");
    return home && *home ? (fs::path(home) / ".local" / "share" / "MAREL").string() : std::string();
}

// Automatic copies: MAREL-2026-12-10-130501-001-inicijalizacija.DB (the
// counter tells copies of one second apart and keeps them in order). Copies the
// user saves under names of their own are never counted or removed.
const std::regex& automaticName() {
    static const std::regex name(R"(MAREL-\d{4}-\d{2}-\d{2}-\d{6}-\d{3}-[a-z-]+\.DB)");
    return name;
}

std::string timeStamp() { return localTimeText("%Y-%m-%d-%H%M%S"); }

// `spared`, the copy being restored from, stays even when its turn to go
// has come: were the restore to fail after it went, its data would be lost.
void pruneAutomatic(const std::string& folder, const std::string& spared) {
    std::vector<std::string> copies = automaticBackups(folder);
    std::error_code ec;
    for (size_t i = 0; i + kKeptBackups < copies.size(); ++i)
        if (spared.empty() || !fs::equivalent(copies[i], spared, ec)) fs::remove(copies[i], ec);
}

// What a copy of this program's data holds: the tables of its files and its
// own bookkeeping, nothing else, and at least one of its files.
std::string checkSource(Connection& connection, const std::string& source) {
    if (!sound(connection)) return "Kopija " + source + " je oštećena ili nije baza podataka.";
    const auto [ours, foreign] = tablesOf(connection);
    if (ours == 0 || foreign > 0) return "Datoteka " + source + " nije kopija podataka ovog programa.";
    return {};
}

// The highest id each table of the program's files has given. A folder's
// restore brings the copy's own, lower ones; ids of records made after the
// copy must not come back to meet a stale watch. (A server's restore keeps
// them itself, see store/Transfer.h.)
using IdsGiven = std::vector<std::pair<std::string, int64_t>>;
IdsGiven idsGivenIn(Connection& connection) {
    IdsGiven given;
    for (const Layout* layout : allLayouts())
        if (const int64_t highest = highestIdGiven(connection, layout->label)) given.emplace_back(layout->label, highest);
    return given;
}

int keepIdsGiven(Store& store, const IdsGiven& given) {
    WriteTransaction tx(store);
    for (const auto& [table, highest] : given)
        if (int rc = tx.ok() ? store.connection().idsGiven(table, highest) : 0) return store.fail(rc);
    return tx.commit();
}

std::string copyOfStore(Store& store, const std::string& target, bool ofData) {
    if (!store.isOpen()) return "Kopija nije zapisana: podaci nisu otvoreni.";
    if (store.inTransaction()) return "Kopija nije zapisana: upis podataka je u tijeku.";
    if (store.onServer())
        return copyToFile(target, "", ofData, [&](const std::string& folder) { return copyTablesInto(store, folder); });
    return copyToFile(target, store.path(), ofData,
                      [&](const std::string& folder) { return copyPagesInto(store.db(), folder); });
}

}  // namespace

std::string writeBackup(Store& store, const std::string& target) { return copyOfStore(store, target, true); }

std::string writeBackupOfFolder(const std::string& folder, const std::string& target) {
    const std::string path = (fs::path(folder) / "MAREL.DB").string();
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return "Kopija nije zapisana: u mapi " + folder + " nema podataka (MAREL.DB).";
    Connection from;
    if (std::string why = openCopy(from, path, true); !why.empty()) return "Kopija nije zapisana: " + why;
    sqlite3_busy_timeout(from.handle(), Store::kReadWaitMs);
    return copyToFile(target, path, true, [&](const std::string& folder) { return copyPagesInto(from.handle(), folder); });
}

std::string backupHome(const Store& store) { return store.folder().empty() ? userDataFolder() : store.folder(); }

namespace {

std::string automaticBackupSparing(Store& store, const std::string& reason, std::string* written,
                                   const std::string& spared) {
    const std::string home = backupHome(store);
    if (home.empty()) return "Kopija nije zapisana: nema mape za kopije (HOME nije zadan).";
    const fs::path folder = fs::path(home) / kBackupFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return "Kopija nije zapisana: mapa " + folder.string() + ": " + ec.message();
    // Numbered after the last copy of the same second, even one pruned meanwhile.
    const std::string stamp = "MAREL-" + timeStamp() + "-";
    int last = 0;
    for (const std::string& copy : automaticBackups(home)) {
        const std::string name = fs::path(copy).filename().string();
        if (name.compare(0, stamp.size(), stamp) == 0) last = std::max(last, std::stoi(name.substr(stamp.size(), 3)));
    }
    char counter[16];
    std::snprintf(counter, sizeof counter, "%03d", std::min(last + 1, 999));
    const fs::path target = folder / (stamp + counter + "-" + reason + ".DB");
    if (std::string why = copyOfStore(store, target.string(), false); !why.empty()) return why;
    if (written) *written = target.string();
    pruneAutomatic(home, spared);
    return {};
}

}  // namespace

std::string automaticBackup(Store& store, const std::string& reason, std::string* written) {
    return automaticBackupSparing(store, reason, written, "");
}

std::vector<std::string> automaticBackups(const std::string& folder) {
    std::vector<std::string> copies;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(folder) / kBackupFolder, ec))
        if (entry.is_regular_file(ec) && std::regex_match(entry.path().filename().string(), automaticName()))
            copies.push_back(entry.path().string());
    // The names begin with the time, so their order is the order of making.
    std::sort(copies.begin(), copies.end());
    return copies;
}

std::string restoreBackup(Store& store, const std::string& source, std::string* keptCopy) {
    if (!store.isOpen()) return "Podaci nisu vraćeni: podaci nisu otvoreni.";
    // The copy goes into this very connection: nothing of ours may be reading
    // or writing through it meanwhile.
    if (store.inTransaction() || store.inReadTransaction())
        return "Podaci nisu vraćeni: upis ili čitanje podataka je u tijeku.";
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return "Podaci nisu vraćeni: datoteka " + source + " ne postoji.";
    Connection from;
    if (std::string why = openCopy(from, source, true); !why.empty()) return "Podaci nisu vraćeni: " + why;
    if (std::string why = checkSource(from, source); !why.empty()) return "Podaci nisu vraćeni. " + why;
    if (std::string why = automaticBackupSparing(store, "prije-vracanja", keptCopy, source); !why.empty())
        return "Podaci nisu vraćeni: podaci koje bi vraćanje zamijenilo nisu sačuvani. " + why;
    // The pages, or on a server the tables, go into the live database in one
    // write transaction: another station sees the data before or after,
    // never a mixture.
    store.dropStatements();
    const IdsGiven given = store.onServer() ? IdsGiven{} : idsGivenIn(store.connection());
    if (store.onServer()) {
        if (std::string why = transferData(from, store, TransferMode::Replacing); !why.empty())
            return "Podaci nisu vraćeni. " + why;
    } else if (std::string why = copyPages(from.handle(), store.db()); !why.empty()) {
        return "Podaci nisu vraćeni: " + why;
    }
    if (store.reopened() != 0) return "Podaci su vraćeni, ali ih program ne može otvoriti: " + storeErrorText();
    if (keepIdsGiven(store, given) != 0)
        return "Podaci su vraćeni, ali novi slogovi mogli bi dobiti brojeve zamijenjenih: " + storeErrorText();
    return {};
}

}  // namespace marel
