#pragma once
// Opening files with their use counters, the saved error of a failed store
// operation, and the program's numbered standard warnings.
#include <boost/core/noncopyable.hpp>
#include <string>

#include "common/Prompter.h"
#include "store/DataFile.h"

namespace marel {

// The saved error (code and text of the failed operation, and the store's own).
struct SavedError {
    int SAVEERRORCODE = 0;
    std::string SAVEERROR;
    int SAVEFILEERRORCODE = 0;
    std::string SAVEFILEERROR;
};
extern SavedError SAVED;

// Opens a file, creating a missing one without a word, rebuilding its keys
// when the user agrees, and ending the program when it cannot be opened.
// Returns 0 when the file is open afterwards.
int CHECKOPEN(DataFile& file, bool createAllowed = true);

// Use-counted opening: the first user opens the file, the last one closes it.
int useFile(DataFile& file);
void releaseFile(DataFile& file);

// Holds files open for the life of a procedure.
class FileUse : private boost::noncopyable {
public:
    FileUse() = default;
    explicit FileUse(std::initializer_list<DataFile*> files) {
        for (auto* f : files) add(*f);
    }
    ~FileUse() { release(); }
    void add(DataFile& f) {
        useFile(f);
        files_.push_back(&f);
    }
    void release() {
        for (auto it = files_.rbegin(); it != files_.rend(); ++it) releaseFile(**it);
        files_.clear();
    }

private:
    std::vector<DataFile*> files_;
};

// Keeps the error of the operation that just failed for the next warning.
void RISAVEERROR();
// The same, and rolls back the transaction the failed operation ran in, on
// the connection it was begun on, before the warning waits for the user: a
// message box must not hold another station's writes back.
void RISAVEERROR(WriteTransaction& tx);

// What the user is told when another station holds the data longer than a
// statement waits for it: nothing was written, and trying again will do.
inline constexpr const char* DATA_LOCKED_TEXT = "Podatke upravo mijenja druga radna stanica. Pokušajte ponovo.";

// Shows warning `id` and returns the button pressed. A file that cannot be
// opened (30) because another station holds the data says so (31) and the
// program goes on: the lock passes, the program need not end for it. The one-text form names a
// file or key; in the two-text form text1 is the file and text2 the operation.
int STANDARDWARNING(int id, const std::string& text1 = "", const std::string& text2 = "");

// "Datoteka nije pronađena (2)": the error text for the warnings, from the saved error
// when there is one, else from the last store operation.
std::string warningErrorText();

}  // namespace marel
