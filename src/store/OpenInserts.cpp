#include "store/OpenInserts.h"


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

std::string nowText() { return localTimeText("%Y-%m-%d %H:%M:%S"); }

int makeNotes(Store& store) {
    const std::string whole = store.connection().dialect().integerType;
    return store.exec("CREATE TABLE IF NOT EXISTS " + sqlName(kOpenInsertsTable) + "(label TEXT NOT NULL, id " + whole +
                      " NOT NULL, host TEXT NOT NULL, pid " + whole + " NOT NULL, opened TEXT NOT NULL, PRIMARY KEY(label, id))");
}

// The statement, or nullptr when the table of notes is missing (and, when
// asked, could not be made: a database only read).
Statement* noteStatement(Store& store, const std::string& sql, bool make = false) {
    bool found = false;
    if (store.findTable(kOpenInsertsTable, found) != 0) return nullptr;
    if (!found) {
        // Made by the first insert form, in its transaction: opening a
        // database writes nothing.
        if (!make || makeNotes(store) != 0) return nullptr;
        store.dropStatements();
    }
    return store.statement(sql);
}

// Runs the write of a note: 0, or the store's code.
int writeNote(Store& store, Statement& st) {
    const StepResult r = store.asWrite([&] { return st.step(); });
    st.reset();
    return r == StepResult::Done ? 0 : store.fail(st.result());
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
    Statement* st = noteStatement(
        store, store.connection().dialect().replacingInsert(sqlName(kOpenInsertsTable), {"label", "id", "host", "pid", "opened"}, 2),
        true);
    if (!st) return 0;
    st->bindText(1, file.label());
    st->bindInt(2, id);
    st->bindText(3, stationHost());
    st->bindInt(4, processId());
    st->bindText(5, nowText());
    return writeNote(store, *st);
}

int endOpenInsert(DataFile& file, int64_t id) {
    Store& store = file.store();
    Statement* st =
        noteStatement(store, "DELETE FROM " + sqlName(kOpenInsertsTable) + " WHERE label = ? AND id = ?");
    if (!st) return 0;
    st->bindText(1, file.label());
    st->bindInt(2, id);
    return writeNote(store, *st);
}

int removeAbandonedInserts() {
    Store& store = Store::main();
    struct Note {
        std::string label;
        int64_t id;
        int64_t pid;
    };
    std::vector<Note> notes;
    Statement* st =
        noteStatement(store, "SELECT label, id, pid FROM " + sqlName(kOpenInsertsTable) + " WHERE host = ?");
    if (!st) return 0;
    st->bindText(1, stationHost());
    while (st->step() == StepResult::Row)
        notes.push_back({std::string(st->columnText(0)), st->columnInt(1), st->columnInt(2)});
    st->reset();

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
