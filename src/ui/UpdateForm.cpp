#include "ui/UpdateForm.h"

#include <map>

#include "store/Integrity.h"
#include "store/OpenInserts.h"

namespace marel {

namespace {

// The record each form saved last, kept for as long as the program runs.
std::map<std::string, std::vector<std::string>>& histories() {
    static std::map<std::string, std::vector<std::string>> records;
    return records;
}

}  // namespace

UpdateForm::UpdateForm(DataFile& file, std::string name) : file_(file), name_(std::move(name)) {}

UpdateForm::~UpdateForm() { close(); }

UpdateForm::Copy UpdateForm::copy() const {
    Copy c;
    for (size_t i = 0; i < file_.layout().fields.size(); ++i) c.push_back(file_.fieldText(int(i)));
    return c;
}

void UpdateForm::restore(const Copy& c) {
    for (size_t i = 0; i < c.size(); ++i) file_.setFieldText(int(i), c[i]);
}

bool UpdateForm::open(LONG request) {
    request_ = request;
    response_ = REQUESTCANCELLED;
    opened_ = true;
    files_.add(file_);
    for (DataFile* f : otherFiles) files_.add(*f);
    RISNAP(file_);
    saved_ = copy();
    id_ = file_.currentId();
    switch (request_) {
        case INSERTRECORD:
            id_ = 0;
            if (file_.layout().autoNumber && !number()) {
                close();
                return false;
            }
            if (defaults) defaults();
            return true;
        case CHANGERECORD: return true;
        case DELETERECORD:
            remove();
            close();
            return false;
        default: close(); return false;
    }
}

// Highest number + 1, added at once; three attempts, then the user decides.
bool UpdateForm::number() {
    const Layout& layout = file_.layout();
    const int field = layout.fieldIndex("OZNAKA");
    const Key byNumber{&file_, layout.keyIndex("KEYOZNAKA")};
    const Copy kept = copy();  // the caller may have put link fields in the buffer
    for (;;) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            file_.set(byNumber);
            const int rc = file_.previous();
            if (rc != 0 && rc != kRecordNotAvailable) {
                STANDARDWARNING(35, lower(file_.label()));
                restore(kept);
                return false;
            }
            const int64_t next = rc == 0 ? file_.fieldValue(field).i + 1 : 1;
            restore(kept);
            // A number past the field's range is no free number either.
            if (!file_.setFieldText(field, std::to_string(next))) {
                setError(kDuplicateKey);
                continue;
            }
            // Watched from the start: OK writes over it only as this form
            // left it. Noted as an open insert in the same transaction, so
            // that a form that never ends leaves nothing that is not removed.
            WriteTransaction tx(file_.store(), Store::kWriteWaitMs, WriteTransaction::Join);
            file_.watch();
            if (tx.ok() && file_.add() == 0 && noteOpenInsert(file_, file_.currentId()) == 0 && tx.commit() == 0) {
                added_ = true;
                id_ = file_.currentId();
                addedVersion_ = file_.version();
                RISNAP(file_);
                return true;
            }
        }
        if (STANDARDWARNING(25) != BUTTON_RETRY) {
            restore(kept);
            return false;
        }
    }
}

void UpdateForm::remove() {
    if (STANDARDWARNING(32) != BUTTON_OK) return;
    for (;;) {
        switch (underBusy([&] { return RIDELETE(file_); })) {
            case 0: response_ = REQUESTCOMPLETED; return;
            case 2: return;  // not the record the user chose to delete any more
        }
        if (STANDARDWARNING(18) != BUTTON_YES) return;
    }
}

UpdateForm::Outcome UpdateForm::ok() {
    if (validate && !validate()) return Outcome::Stay;
    histories()[name_] = copy();
    // The buffer must still be the form's record, or a write would land on another one.
    if (id_ != 0 && file_.currentId() != id_) {
        setError(kRecordNotAvailable);
        STANDARDWARNING(14);
        return Outcome::Stay;
    }

    if (request_ == INSERTRECORD && !added_) {
        const int rc = file_.add();
        if (rc == 0) {
            response_ = REQUESTCOMPLETED;
            return Outcome::Close;
        }
        if (const int key = rc == kDuplicateKey ? file_.firstDuplicateKey() : -1; key >= 0)
            STANDARDWARNING(24, file_.layout().keyDisplayName(key));
        else
            STANDARDWARNING(14);
        return Outcome::FirstField;
    }

    // A record the form added is written as a change of it, watched, and
    // its note as an open insert goes in the same transaction.
    const bool inserting = request_ == INSERTRECORD;
    if (!inserting && copy() == saved_) {
        response_ = REQUESTCOMPLETED;
        return Outcome::Close;
    }
    if (const int key = file_.firstDuplicateKey(); key >= 0) {
        STANDARDWARNING(24, file_.layout().keyDisplayName(key));
        return Outcome::FirstField;
    }
    std::function<bool()> endNote;
    if (inserting) endNote = [&] { return endOpenInsert(file_, id_) == 0; };
    for (;;) {
        switch (underBusy([&] { return RIUPDATE(file_, true, endNote); })) {
            case 0: response_ = REQUESTCOMPLETED; return Outcome::Close;
            case 2: return Outcome::Stay;  // another station's version is now shown
            default:
                switch (STANDARDWARNING(16)) {
                    case BUTTON_YES: continue;
                    case BUTTON_NO: response_ = REQUESTCANCELLED; return Outcome::Close;
                    default: return Outcome::Stay;
                }
        }
    }
}

// A new record that is not kept goes with everything entered under it
// meanwhile (the income lines of a new payment), as a delete would take it,
// but only as this form added it: once another station (or another window)
// has written to it, it is theirs, and it stays. Watched, so that a write
// between the look and the delete is caught as well.
void UpdateForm::removeAdded() {
    file_.watch();
    if (file_.getById(id_) == 0) {
        int rc = file_.version() == addedVersion_ ? 0 : kChangedByOther;
        if (rc == 0) {
            bool parent = false;
            for (const Relation& r : relations()) parent = parent || r.parent == &file_;
            if (!parent) rc = file_.deleteRecord();
            else if (const int r = RIDELETE(file_); r != 0) rc = r == 2 ? kChangedByOther : kStoreFailure;
        }
        if (rc != 0 && rc != kChangedByOther) return;  // the note stays with it, for the next start
        if (rc == kChangedByOther)
            message("Ovaj slog je u međuvremenu promijenila druga radna stanica, pa nije obrisan.", title(),
                    Icon::Exclamation);
    }
    // Removed, or kept as someone else's: no longer an unfinished insert.
    endOpenInsert(file_, id_);
}

int UpdateForm::close() {
    if (!opened_ || closed_) return response_;
    closed_ = true;
    if (added_ && response_ != REQUESTCOMPLETED) removeAdded();
    files_.release();
    return response_;
}

std::optional<std::string> UpdateForm::history(const FieldRef& field) const {
    if (field.file() != &file_) return std::nullopt;
    auto it = histories().find(name_);
    if (it == histories().end()) return std::nullopt;
    return it->second[size_t(field.fieldIndex())];
}

}  // namespace marel
