#include "session/Backups.h"

#include <filesystem>

#include "common/Prompter.h"
#include "session/Globals.h"
#include "store/Backup.h"
#include "store/Records.h"

namespace marel {

namespace {

const char* const BACKUP = "Sigurnosna kopija";
const char* const RESTORE = "Vrati iz kopije";
const char* const FILTER = "Kopija podataka|*.DB|Sve datoteke|*";

// The folder of copies (inside the data folder when there is one), made when
// missing so that the file dialog can open in it.
std::string copiesFolder() {
    const auto folder = std::filesystem::path(backupHome(Store::main())) / kBackupFolder;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder.string();
}

std::string proposedName() {
    return (std::filesystem::path(copiesFolder()) / ("MAREL-kopija-" + localTimeText("%Y-%m-%d") + ".DB")).string();
}

// Another window reading or changing records while every table is replaced
// would go on with records that are no longer there. The positions are the
// frame's own, held open for the whole run.
bool otherWindowsOpen() {
    for (const DataFile* f : allFiles())
        if (f != &POZICIJE && f->store().openCount(f->label()) > 0) return true;
    return false;
}

}  // namespace

void SIGURNOSNAKOPIJA() {
    const auto target = prompter().chooseFile({BACKUP, FILTER, proposedName(), true});
    if (!target) return;
    if (const std::string why = writeBackup(Store::main(), *target); !why.empty()) {
        message(why, BACKUP, Icon::Exclamation);
        return;
    }
    message("Kopija podataka je zapisana u " + *target + ".", BACKUP, Icon::Information);
}

void VRATIIZKOPIJE() {
    if (otherWindowsOpen()) {
        message("Prije vraćanja podataka iz kopije zatvorite sve ostale prozore programa.", RESTORE, Icon::Exclamation);
        return;
    }
    const auto source = prompter().chooseFile({RESTORE, FILTER, copiesFolder(), false});
    if (!source) return;
    // Both questions default to "NE", as for deleting every payment.
    if (askButtons("ŽELITE LI STVARNO ZAMIJENITI SVE PODATKE PODACIMA IZ KOPIJE?\n"
                   "Na ostalim računalima program za to vrijeme mora biti zatvoren.",
                   RESTORE, "DA|NE", Icon::Question, 2) != 1 ||
        askButtons("JESTE LI SIGURNI?", "Potvrda vraćanja", "DA|NE", Icon::Question, 2) != 1) {
        message("PODACI NISU VRAĆENI", RESTORE, Icon::Information);
        return;
    }
    std::string kept;
    if (const std::string why = restoreBackup(Store::main(), *source, &kept); !why.empty()) {
        message(why, RESTORE, Icon::Exclamation);
        return;
    }
    // The session's own values (the payer, the contact) come from the data.
    PUNIGLOBALE();
    upgradePositions();
    message("Podaci su vraćeni iz kopije " + *source + ".\nZamijenjeni podaci sačuvani su u " + kept + ".", RESTORE,
            Icon::Information);
}

}  // namespace marel
