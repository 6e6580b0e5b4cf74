#include "store/Warnings.h"

#include <cstdlib>

namespace marel {

SavedError SAVED;

namespace {
bool savedExists = false;

struct Warning {
    int id;
    const char* caption;
    int buttons;
    int defaultButton;
    Icon icon;
    const char* closing;  // the program ends with this text after the message
};

// Captions, buttons, icons and endings of the standard warnings; the texts
// themselves are built in STANDARDWARNING because most of them embed values.
const Warning kWarnings[] = {
    {1, "Datoteka ne valja", BUTTON_OK, BUTTON_OK, Icon::Exclamation, "Datoteka ne valja!"},
    {2, "Invalid Key", BUTTON_YES | BUTTON_NO, BUTTON_YES, Icon::Question, nullptr},
    {3, "Key Rebuild Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, "Error Rebuilding Key!"},
    {4, "File Creation Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, "File Creation Error!"},
    {5, "File Creation Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, "File Creation Error!"},
    {12, "Referential Integrity Update Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {13, "Referential Integrity Delete Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {14, "Record Insert Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {15, "Greška prilikom ažuriranja", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {16, "Record Update Error", BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, BUTTON_CANCEL, Icon::Exclamation, nullptr},
    {17, "Delete Operation Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {18, "Record Update Error", BUTTON_YES | BUTTON_NO | BUTTON_CANCEL, BUTTON_CANCEL, Icon::Exclamation, nullptr},
    {24, "Greška dupliciranja", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {25, "Auto Increment Error", BUTTON_RETRY | BUTTON_CANCEL, BUTTON_CANCEL, Icon::Exclamation, nullptr},
    {30, "Greška pri otvaranju datoteke", BUTTON_OK, BUTTON_OK, Icon::Exclamation, "Disk Error"},
    {31, "Podaci su zauzeti", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {32, "Potvrda brisanja", BUTTON_OK | BUTTON_CANCEL, BUTTON_CANCEL, Icon::Question, nullptr},
    {34, "Transaction Framing Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {35, "Record Retrieval Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {36, "View Open Error", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
    {38, "Record Was Not Updated", BUTTON_OK, BUTTON_OK, Icon::Exclamation, nullptr},
};

int currentCode() { return savedExists ? SAVED.SAVEERRORCODE : errorCode(); }

}  // namespace

std::string warningErrorText() {
    int code = savedExists ? SAVED.SAVEERRORCODE : errorCode();
    std::string text = savedExists ? SAVED.SAVEERROR : errorText();
    if (code == kStoreFailure) {
        code = savedExists ? SAVED.SAVEFILEERRORCODE : storeErrorCode();
        text = savedExists ? SAVED.SAVEFILEERROR : storeErrorText();
    }
    return rtrim(text) + " (" + std::to_string(code) + ")";
}

void RISAVEERROR() {
    SAVED = {errorCode(), errorText(), storeErrorCode(), storeErrorText()};
    savedExists = true;
}

void RISAVEERROR(WriteTransaction& tx) {
    RISAVEERROR();
    tx.rollback();
}

int STANDARDWARNING(int id, const std::string& text1, const std::string& text2) {
    const std::string err = warningErrorText();
    const int code = currentCode();
    savedExists = false;
    SAVED = {};
    if (id == 30 && code == kFileLocked) id = 31;

    const Warning* w = nullptr;
    for (auto& x : kWarnings)
        if (x.id == id) w = &x;
    if (!w) return BUTTON_OK;

    const std::string& name = text1;
    std::string caption = w->caption;
    std::string text;
    switch (id) {
        case 1: text = "Greška: (" + err + ") otvaram " + name + ".  Pritisni OK da zatvoriš aplikaciju."; break;
        case 2: text = name + " key file is invalid.  Do you want to rebuild the key?"; break;
        case 3: text = "Error: (" + err + ") repairing key for " + name + ".  Press OK to end this application."; break;
        case 4: text = "Error: (" + err + ") creating " + name + ".  Press OK to end this application."; break;
        case 5: text = "Error: (" + err + ") opening created file:" + name + ".  Press OK to end this application."; break;
        case 12:
            text = "This record is referenced from the file " + name +
                   ".  Linking field(s) have been restricted from change and have been reset to original values.";
            break;
        case 13:
            text = "This record is referenced from the file " + name +
                   ".  This record cannot be deleted while these references exist.";
            break;
        case 14: text = "An error was experienced during the update of record.  Error: " + err + "."; break;
        case 15:
            if (code != 0 && code != kChangedByOther) {
                text = "Greška(" + err + ") se pojavila prilikom ažuriranja sloga.  Vjerojatan razlog: " + name + ".";
            } else {
                text = "This record was changed by another station.";
                caption = "Update Operation Error";
            }
            break;
        case 16: text = "An error was experienced changing this record.  Do you want to try to save again?"; break;
        case 17:
            text = "An error (" + err + ") was experienced when attempting to delete a record from the file " + name + ".";
            break;
        case 18: text = "An error was experienced deleting this record.  Do you want to try to save again?"; break;
        case 24: text = "Već postoji slog sa ovom vrijednosti za ključ:" + name; break;
        case 25: text = "Attempts to automatically number this record have failed.  Error: " + err + "."; break;
        case 30: text = "Datoteka (" + name + ") se ne može otvoriti.  Greška: " + err + "."; break;
        case 31: text = DATA_LOCKED_TEXT; break;
        case 32: text = "Brisati ću odabrani slog.  Pritisnite OK za potvrdu brisanja."; break;
        case 34:
            text = "Error: (" + err + ") attempting to frame the " + lower(text2) + " transaction on " + name + ".  " +
                   text2 + " transaction cancelled.";
            break;
        case 35:
            text = "Error: (" + err + ") attempting to access a record from the " + name +
                   " file.  Returning to previous window.";
            break;
        case 36:
            text = "Error: (" + err + ") attempting to open the current VIEW. Filter and Range Limits ignored.";
            break;
        case 38:
            text = "This record was changed by another station. Those changes will now be displayed. Use the Ditto "
                   "Button or Ctrl+' to recall your changes.";
            break;
    }
    int answer = prompter().message({text, caption, w->icon, w->buttons, w->defaultButton, {}});
    if (w->closing) haltProgram(w->closing);
    if (id == 2 && answer == BUTTON_NO) haltProgram("Invalid Key!");
    return answer;
}

int CHECKOPEN(DataFile& file, bool createAllowed) {
    const std::string& name = file.label();
    int rc = file.open();
    if (rc == kFileLocked) {
        file.send("Recover=10");
        rc = file.open();
    }
    switch (rc) {
        case kNoError:
        case kAlreadyOpen:
            setError(0);
            return 0;
        case kFileNotFound:
            if (!createAllowed) {
                STANDARDWARNING(4, name);
                break;
            }
            if (file.create() != 0) {
                STANDARDWARNING(4, name);
                break;
            }
            if (file.open() != 0) STANDARDWARNING(5, name);
            break;
        case kKeysInvalid:
            STANDARDWARNING(2, name);  // No ends the program there
            if (file.build() != 0) STANDARDWARNING(3, name);
            file.open();
            break;
        case kFileInvalid:
            STANDARDWARNING(1, name);
            break;
    }
    if (!file.isOpen()) {
        STANDARDWARNING(30, name);
        return errorCode() ? errorCode() : rc;
    }
    setError(0);
    return 0;
}

int useFile(DataFile& file) {
    int rc = 0;
    if (file.USED == 0) rc = CHECKOPEN(file);
    ++file.USED;
    return rc;
}

void releaseFile(DataFile& file) {
    if (file.USED <= 0) return;
    if (file.USED == 1) file.close();
    --file.USED;
}

// ---- ending the program after a fatal warning

namespace {
std::function<void(const std::string&)>& haltHandlerRef() {
    static std::function<void(const std::string&)> handler;
    return handler;
}
}  // namespace

void setHaltHandler(std::function<void(const std::string&)> handler) { haltHandlerRef() = std::move(handler); }

void haltProgram(const std::string& closingText) {
    // Nothing half-done stays behind: what is pending is undone, then the
    // database is closed before anybody sees the closing text.
    Store::main().rollback();
    Store::main().close();
    if (haltHandlerRef()) haltHandlerRef()(closingText);
    else message(closingText, "MAREL", Icon::Hand);
    std::exit(1);
}

}  // namespace marel
