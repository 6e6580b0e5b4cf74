#include "session/Initialisation.h"

#include "common/Prompter.h"
#include "store/Records.h"

namespace marel {

namespace {
const char* const CAPTION = "Inicijalizacija podataka";

// A file that was never created has nothing to remove.
bool removeFile(DataFile& file) {
    int rc = file.remove();
    if (rc == 0 || rc == kFileNotFound) return true;
    message("GREŠKA KOD BRISANJA FILE-A " + file.label() + " " + errorText(), CAPTION, Icon::Exclamation);
    return false;
}
}  // namespace

void INICIJALIZACIJA() {
    // Both questions default to "NE": two presses of Enter must not wipe a year's work.
    if (askButtons("ŽELITE LI STVARNO IZBRISATI SVE ISPLATE?", CAPTION, "DA|NE", Icon::Question, 2) != 1 ||
        askButtons("JESTE LI SIGURNI?", "Potvrda brisanja", "DA|NE", Icon::Question, 2) != 1) {
        message("PODACI NISU BRISANI", CAPTION, Icon::Information);
        return;
    }
    // Payment methods of income lines and JOPPD form records of payments go
    // with their parents: numbering restarts at 1, and stale rows would
    // otherwise attach themselves to the new payments and income lines.
    // A child file is removed only when its parent was, so a parent kept
    // because it is in use keeps its children too.
    removeFile(OBRACUN);
    if (removeFile(DOHOCI)) removeFile(SVASTA);
    if (removeFile(ISPLATE)) removeFile(JOPO);
    message("ISPLATE SU IZBRISANE", CAPTION, Icon::Information);
}

}  // namespace marel
