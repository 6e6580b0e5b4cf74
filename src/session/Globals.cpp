#include "session/Globals.h"

#include "store/OpenInserts.h"
#include "store/Records.h"
#include "store/Warnings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace marel {

Globals GLO;
// The system's full-window dragging setting as found, and the one in force.
LONG LCURRENTFDSETTING = 0;
LONG LADJFDSETTING = 0;

void initGlobals() {
    GLO = Globals{};
    SAVED = {};
    for (DataFile* f : allFiles()) f->clear();
}

void PUNIGLOBALE() {
    FileUse uses{&DOHOCI, &ID1};
    DOHOCI.set(DOHOCI.KEYOZNAKA);
    // The type of the newest income line is what the next one most likely is.
    GLO.VRSTADOH = DOHOCI.previous() == 0 ? DOH.VRSTADOHOTKA : BYTE(21);
    GLO.DATUMIZVJ = Date::today();
    // The contact of the ID-1 form added last, whatever its year or payer.
    ID1.set();
    if (ID1.previous() == 0) {
        GLO.KONIME = ID1.KONIME.str();
        GLO.KONPREZIME = ID1.KONPREZIME.str();
        GLO.KONPOZ1 = ID1.KONPOZ1;
        GLO.KONTEL1 = ID1.KONTEL1.str();
        GLO.KONPOZ2 = ID1.KONPOZ2;
        GLO.KONTEL2 = ID1.KONTEL2.str();
        GLO.KONEMAIL = ID1.KONEMAIL.str();
    }
}

void upgradePositions() {
    FileUse uses{&POZICIJE};
    POZICIJE.set(POZICIJE.KEYOZNAKA);
    if (POZICIJE.previous() != 0 || POZ.OZNAKA != 12) return;
    // A failed add is not reported: the next start tries again.
    POZICIJE.clear();
    POZ.OZNAKA = 13;
    POZ.NAZIV = "Kriporez";
    if (POZICIJE.add() != 0) return;
    POZICIJE.clear();
    POZ.OZNAKA = 14;
    POZ.NAZIV = "Poslije Kriporez";
    POZICIJE.add();
}

void programStart(const std::string& folder, const std::string& dataDir) {
    initGlobals();
#ifdef _WIN32
    // Dragging whole windows is slow with many list windows open: switch it
    // off for the life of the program, and back on at the end.
    BOOL full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    LCURRENTFDSETTING = full ? 1 : 0;
    if (full) {
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        LADJFDSETTING = 1;
    }
#endif
    int rc = Store::main().open(folder, dataDir);
    // Without its database the program cannot start; held by another
    // station, it says so rather than "Disk Error". A server that cannot be
    // reached or refuses the station ends the start with why, nothing touched.
    if (rc != 0 && Store::main().namesServer()) haltProgram("PODACI NA POSLUŽITELJU NISU DOSTUPNI\n\n" + storeErrorText());
    if (rc == kFileLocked) haltProgram(DATA_LOCKED_TEXT);
    else if (rc == kFileInvalid) STANDARDWARNING(1, "MAREL.DB");
    else if (rc != 0) STANDARDWARNING(30, "MAREL.DB");
    // Blank records of insert forms this computer's crashed or killed
    // processes never ended go before anything reads the files.
    removeAbandonedInserts();
    {
        // The session's values are read under one lock of the data rather
        // than one per statement.
        ReadTransaction reading;
        PUNIGLOBALE();
    }
    // The frame keeps the positions open from here to the end.
    useFile(POZICIJE);
    upgradePositions();
}

void programEnd() {
    releaseFile(POZICIJE);
#ifdef _WIN32
    if (LADJFDSETTING)
        SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, 1, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
#endif
    Store::main().close();
}

}  // namespace marel
