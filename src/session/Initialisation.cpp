#include "session/Initialisation.h"

#include "common/Prompter.h"
#include "store/Backup.h"
#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

namespace {
const char* const CAPTION = "Inicijalizacija podataka";

void cannotRemove(const DataFile& file) {
    message("GREŠKA KOD BRISANJA FILE-A " + file.label() + " " + errorText(), CAPTION, Icon::Exclamation);
}

// Deletes the records of `file` that link to a payment or an income line
// (`link` not 0). A file never created has none.
int removeLinked(DataFile& file, const char* link) {
    int rc = file.open();
    if (rc == kFileNotFound) return 0;
    if (rc != 0) return rc;
    const int field = file.layout().fieldIndex(link);
    file.set();
    while ((rc = file.next()) == 0)
        if (file.fieldValue(field).i != 0 && (rc = file.deleteRecord()) != 0) break;
    file.close();
    return rc == kRecordNotAvailable ? 0 : rc;
}

// A file that was never created has nothing to remove.
int removeWhole(DataFile& file) {
    const int rc = file.remove();
    return rc == kFileNotFound ? 0 : rc;
}
}  // namespace

void INICIJALIZACIJA() {
    // Both questions default to "NE": two presses of Enter must not wipe a year's work.
    if (askButtons("ŽELITE LI STVARNO IZBRISATI SVE ISPLATE?", CAPTION, "DA|NE", Icon::Question, 2) != 1 ||
        askButtons("JESTE LI SIGURNI?", "Potvrda brisanja", "DA|NE", Icon::Question, 2) != 1) {
        message("PODACI NISU BRISANI", CAPTION, Icon::Information);
        return;
    }
    // All or nothing: income lines left without their payment would attach
    // themselves to the next payment numbered 1. A file another window has
    // open is named, and nothing is removed.
    DataFile* const files[] = {&OBRACUN, &DOHOCI, &ISPLATE, &SVASTA, &JOPO};
    bool inUse = false;
    for (DataFile* f : files)
        if (f->store().openCount(f->label()) > 0) {
            setError(kAlreadyOpen);
            cannotRemove(*f);
            inUse = true;
        }
    if (inUse) {
        message("PODACI NISU BRISANI", CAPTION, Icon::Information);
        return;
    }
    // Every payment goes: the data as it was is kept as a copy first, and
    // without one nothing is deleted.
    if (const std::string why = automaticBackup(Store::main(), "inicijalizacija"); !why.empty()) {
        message(why, CAPTION, Icon::Exclamation);
        message("PODACI NISU BRISANI", CAPTION, Icon::Information);
        return;
    }
    // The payment methods of income lines and the JOPPD forms of payments go
    // with them: numbering restarts at 1, and they would otherwise belong to
    // the new payments and lines of the same numbers. Rows linked to nothing
    // stay. One transaction: a failure, or another station holding the
    // data, leaves every file as it was.
    WriteTransaction tx;
    int code = tx.error();
    const DataFile* failed = &OBRACUN;
    if (code == 0) {
        struct Step {
            DataFile* file;
            const char* link;  // nullptr: the whole file goes
        };
        for (const Step& s : {Step{&SVASTA, "DOHODAK"}, Step{&JOPO, "ISPLATA"}, Step{&OBRACUN, nullptr},
                              Step{&DOHOCI, nullptr}, Step{&ISPLATE, nullptr}}) {
            failed = s.file;
            if ((code = s.link ? removeLinked(*s.file, s.link) : removeWhole(*s.file)) != 0) break;
        }
        if (code == 0) code = tx.commit();
    }
    if (code != 0) {
        const ErrorState why = lastErrorState();
        tx.rollback();
        lastErrorState() = why;
        if (code == kFileLocked) message(DATA_LOCKED_TEXT, CAPTION, Icon::Exclamation);
        else cannotRemove(*failed);
        message("PODACI NISU BRISANI", CAPTION, Icon::Information);
        return;
    }
    message("ISPLATE SU IZBRISANE", CAPTION, Icon::Information);
}

}  // namespace marel
