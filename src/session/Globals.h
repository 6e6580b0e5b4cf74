#pragma once
// Process-wide state shared by every window, and what runs between the start
// of the program and the appearance of the main frame.
#include "common/Date.h"
#include "common/Text.h"
#include "store/Layout.h"
#include "store/Store.h"

namespace marel {

struct Globals {
    String<128> KORIJEN;     // working folder in short form, kept by the JOPPD writer
    String<20> AKCIJA;       // "UnesiMjesto" after a municipality was inserted
    BYTE VRSTADOH = 0;       // income type proposed for a new income line
    Date DATUMIZVJ;          // date printed on certificates
    String<20> KONIME;       // contact proposed for a new ID-1 form ...
    String<25> KONPREZIME;
    USHORT KONPOZ1 = 0;
    String<10> KONTEL1;
    USHORT KONPOZ2 = 0;
    String<10> KONTEL2;
    String<40> KONEMAIL;
};
extern Globals GLO;

// Start values for every global and every record buffer.
void initGlobals();
// Fills the globals from the data: the last income type used, today's date,
// the contact of the ID-1 form added last.
void PUNIGLOBALE();
// Adds positions 13 "Kriporez" and 14 "Poslije Kriporez" to a table ending at 12.
void upgradePositions();

// The start of the program on a data folder, up to the frame: opens the
// database (a damaged one ends the program with its warning), initialises
// the globals, fills them and upgrades the positions. POZICIJE stays in use
// until programEnd.
void programStart(const std::string& folder, const std::string& dataDir = suppliedDataDir());
void programEnd();

}  // namespace marel
