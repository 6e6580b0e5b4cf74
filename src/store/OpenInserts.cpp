#include "store/OpenInserts.h"

#include <sqlite3.h>

#include <cerrno>
#include <ctime>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <unistd.h>
#endif

#include "store/Integrity.h"
#include "store/Records.h"
#include "store/Sql.h"
#include "store/Warnings.h"

namespace marel {

namespace {

int64_t processId() {
#ifndef _WIN32
    return int64_t(getpid());
#else
    return 0;
#endif
}

// Only a process that surely ended counts as gone; any doubt keeps the record.
bool processGone(int64_t pid) {
#ifndef _WIN32
    if (pid <= 0 || pid == processId()) return false;
    return kill(pid_t(pid), 0) != 0 && errno == ESRCH;
#else
    (void)pid;
    return false;
#endif
}

std::string nowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// The statement, or nullptr when the table of notes is missing (and, when
// asked, could not be made: a database only read).
sqlite3_stmt* noteStatement(Store& store, const std::string& sql, bool make = false) {
    sqlite3_stmt* st = store.statement(sql);
    if (st || !make) return st;
    // Made by the first insert form, in its transaction: opening a database
    // writes nothing.
    if (store.exec(std::string("CREATE TABLE IF NOT EXISTS ") + kOpenInsertsTable +
                   "(label TEXT NOT NULL, id INTEGER NOT NULL, host TEXT NOT NULL, pid INTEGER NOT NULL, "
                   "opened TEXT NOT NULL, PRIMARY KEY(label, id))") != SQLITE_OK)
        return nullptr;
    store.dropStatements();
    return store.statement(sql);
}

}  // namespace

std::string stationHost() {
#ifndef _WIN32
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0) return name;
#endif
    return "?";
}

int noteOpenInsert(DataFile& file, int64_t id) {
    Store& store = file.store();
    sqlite3_stmt* st = noteStatement(store, std::string("INSERT OR REPLACE INTO ") + kOpenInsertsTable +
                                                "(label, id, host, pid, opened) VALUES(?, ?, ?, ?, ?)",
                                     true);
    if (!st) return 0;
    const std::string host = stationHost();
    const std::string opened = nowText();
    sqlite3_bind_text(st, 1, file.label().c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(st, 2, id);
    sqlite3_bind_text(st, 3, host.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(st, 4, processId());
    sqlite3_bind_text(st, 5, opened.c_str(), -1, SQLITE_TRANSIENT);
    const int rc = store.asWrite([&] { return sqlite3_step(st); });
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? 0 : store.fail(rc);
}

int endOpenInsert(DataFile& file, int64_t id) {
    Store& store = file.store();
    sqlite3_stmt* st =
        noteStatement(store, std::string("DELETE FROM ") + kOpenInsertsTable + " WHERE label = ? AND id = ?");
    if (!st) return 0;
    sqlite3_bind_text(st, 1, file.label().c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(st, 2, id);
    const int rc = store.asWrite([&] { return sqlite3_step(st); });
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? 0 : store.fail(rc);
}

int removeAbandonedInserts() {
    Store& store = Store::main();
    struct Note {
        std::string label;
        int64_t id;
        int64_t pid;
    };
    std::vector<Note> notes;
    sqlite3_stmt* st =
        noteStatement(store, std::string("SELECT label, id, pid FROM ") + kOpenInsertsTable + " WHERE host = ?");
    if (!st) return 0;
    const std::string host = stationHost();
    sqlite3_bind_text(st, 1, host.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW)
        notes.push_back({reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), sqlite3_column_int64(st, 1),
                         sqlite3_column_int64(st, 2)});
    sqlite3_reset(st);

    int removed = 0;
    for (const Note& note : notes) {
        if (!processGone(note.pid)) continue;
        DataFile* file = nullptr;
        for (DataFile* f : allFiles())
            if (f->label() == note.label) file = f;
        if (!file) continue;
        FileUse use;
        use.add(*file);
        if (!file->isOpen()) continue;
        file->watch();
        if (file->getById(note.id) == 0) {
            // Written since it was added (by another station, or another
            // window): no longer a blank left behind, and it stays. Refused
            // (something that may not go depends on it): the record and its
            // note stay, and the next start tries again.
            if (file->version() == 0) {
                const int rc = RIDELETE(*file);
                if (rc == 1) continue;
                if (rc == 0) ++removed;
            }
        }
        endOpenInsert(*file, note.id);
    }
    setError(0);
    return removed;
}

}  // namespace marel
