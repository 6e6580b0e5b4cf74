#include "store/Integrity.h"

#include <algorithm>
#include <map>

#include "store/Records.h"
#include "store/Warnings.h"

namespace marel {

const std::vector<Relation>& relations() {
    using enum RiAction;
    static const std::vector<Relation> all = {
        {&VRSTEDOH, &DOHOCI, "VRSTADOHOTKA", DOHOCI.KEYVRSTADOHOTKA, Restrict, Restrict},
        {&ULICE, &OSOBE, "ULICA", OSOBE.KEYULICA, Restrict, Restrict},
        {&ULICE, &SUBJEKTI, "ULICA", SUBJEKTI.KEYULICA, Restrict, Restrict},
        {&BANKE, &OSOBE, "BANKA", OSOBE.KEYBANKA, Restrict, Restrict},
        {&BANKE, &SUBJEKTI, "BANKA", SUBJEKTI.KEYBANKA, Restrict, Restrict},
        {&MJESTA, &OSOBE, "MJESTO", OSOBE.KEYMJESTO, Restrict, Restrict},
        {&MJESTA, &SUBJEKTI, "MJESTO", SUBJEKTI.KEYMJESTO, Restrict, Restrict},
        {&OPCINE, &MJESTA, "OPCINA", MJESTA.KEYOPCINA, Restrict, Restrict},
        {&OPCINE, &UPLATNIRN, "OPCINA", UPLATNIRN.KEYOPCINA, Cascade, Cascade},
        {&OSOBE, &DOHOCI, "DJELATNIK", DOHOCI.KEYDJELATNIK, Restrict, Restrict},
        {&SUBJEKTI, &ID1, "ISPLATITELJ", ID1.KEYISPLATITELJ, Cascade, Cascade},
        {&SUBJEKTI, &ISPLATE, "ISPLATITELJ", ISPLATE.KEYISPLATITELJ, Restrict, Restrict},
        {&SUBJEKTI, &KRIPOREZ, "ISPLATITELJ", KRIPOREZ.KEYISPLATITELJ, Cascade, Cascade},
        {&KRIPOREZ, &DETKRIP, "KRIPOREZ", DETKRIP.KEYKRIPOREZ, Cascade, Cascade},
        {&ISPLATE, &DOHOCI, "ISPLATA", DOHOCI.KEYISPLATA, Cascade, Cascade},
        {&ISPLATE, &JOPO, "ISPLATA", JOPO.KEYISPLATA, Cascade, Cascade},
        {&DOHOCI, &OBRACUN, "DOHODAK", OBRACUN.KEYDOHODAK, Cascade, Cascade},
        {&DOHOCI, &SVASTA, "DOHODAK", SVASTA.KEYDOHODAK, Cascade, Cascade},
    };
    return all;
}

namespace {

std::map<const DataFile*, int64_t> snapshots;

std::string nameOf(const DataFile& f) { return lower(f.label()); }

int64_t intField(const DataFile& f, const char* field) {
    int i = f.layout().fieldIndex(field);
    return i < 0 ? 0 : f.fieldValue(i).i;
}

void setIntField(DataFile& f, const char* field, int64_t v) {
    int i = f.layout().fieldIndex(field);
    if (i >= 0) f.setFieldText(i, std::to_string(v));
}

bool hasNumber(const DataFile& f) { return f.layout().fieldIndex("OZNAKA") >= 0; }

// A write given up: the transaction rolled back and warning `warning` shown
// for the file. Returns `result`, what the caller answers.
template <class Result>
Result givenUp(WriteTransaction& tx, int warning, const DataFile& file, Result result) {
    RISAVEERROR(tx);
    STANDARDWARNING(warning, nameOf(file));
    return result;
}

// The files a delete (deep) or a key change (direct children) has to touch.
void collectTree(DataFile& parent, bool deep, std::vector<DataFile*>& out) {
    for (auto& r : relations()) {
        if (r.parent != &parent) continue;
        if (std::find(out.begin(), out.end(), r.child) == out.end()) out.push_back(r.child);
        if (deep && r.onDelete == RiAction::Cascade) collectTree(*r.child, true, out);
    }
}

// Positions the child on the first record linking to `value`; next() then reads them.
void seekChildren(const Relation& r, int64_t value) {
    r.child->clear();
    setIntField(*r.child, r.linkField, value);
    r.child->setFrom(r.childKey);
}

// Deletes (or refuses for) every record depending on the parent numbered `value`.
bool deleteDependants(DataFile& parent, int64_t value, WriteTransaction& tx) {
    for (auto& r : relations()) {
        if (r.parent != &parent) continue;
        DataFile& child = *r.child;
        seekChildren(r, value);
        for (;;) {
            int rc = child.next();
            if (rc == kRecordNotAvailable) break;
            if (rc != 0) return givenUp(tx, 35, child, false);
            if (intField(child, r.linkField) != value) break;
            if (r.onDelete == RiAction::Restrict) return givenUp(tx, 13, child, false);
            if (hasNumber(child) && !deleteDependants(child, intField(child, "OZNAKA"), tx)) return false;
            if (child.deleteRecord() != 0) return givenUp(tx, 17, child, false);
        }
    }
    return true;
}

}  // namespace

void RISNAP(DataFile& file) {
    if (hasNumber(file)) snapshots[&file] = intField(file, "OZNAKA");
}

int RIDELETE(DataFile& file) {
    const bool numbered = hasNumber(file);
    const Key byNumber{&file, numbered ? file.layout().keyIndex("KEYOZNAKA") : -1};
    const std::string pos = byNumber.index >= 0 ? file.position(byNumber) : file.position();

    std::vector<DataFile*> tree;
    collectTree(file, true, tree);
    FileUse uses;
    for (DataFile* f : tree) uses.add(*f);

    // A watched record is deleted only as it was read: one another station
    // changed, or deleted (its id never returns), is not ours to delete.
    const bool watched = file.watched();
    const int64_t version = file.version();

    WriteTransaction tx(file.store());
    if (!tx.ok()) {
        RISAVEERROR(tx);
        STANDARDWARNING(34, nameOf(file), "Delete");
        return 1;
    }
    const int found = file.reget(pos);
    if (watched && (found == kRecordNotAvailable || (found == 0 && file.version() != version))) {
        setError(kChangedByOther);
        RISAVEERROR(tx);
        STANDARDWARNING(17, nameOf(file));
        return 2;
    }
    if (found != 0) return givenUp(tx, 35, file, 1);
    if (numbered && !deleteDependants(file, intField(file, "OZNAKA"), tx)) return 1;
    if (file.deleteRecord() != 0) return givenUp(tx, 17, file, 1);
    if (tx.commit() != 0) return givenUp(tx, 17, file, 1);
    return 0;
}

int RIUPDATE(DataFile& file, bool fromForm, const std::function<bool()>& alsoWrite) {
    std::vector<DataFile*> children;
    collectTree(file, false, children);
    FileUse uses;
    for (DataFile* f : children) uses.add(*f);

    WriteTransaction tx(file.store());
    if (!tx.ok()) {
        RISAVEERROR(tx);
        STANDARDWARNING(34, nameOf(file), "Update");
        return 1;
    }
    const std::string pos = file.position();
    int rc = file.put();
    if (rc == kChangedByOther) {
        RISAVEERROR(tx);
        if (fromForm) STANDARDWARNING(38);
        else STANDARDWARNING(15, "Record Changed by Another Station");
        // Show the other station's values, and watch them for the next attempt.
        file.watch();
        file.reget(pos);
        return 2;
    }
    if (rc != 0) return givenUp(tx, 15, file, 1);
    if (hasNumber(file)) {
        const int64_t now = intField(file, "OZNAKA");
        auto snap = snapshots.find(&file);
        const int64_t before = snap == snapshots.end() ? now : snap->second;
        if (now != before) {
            for (auto& r : relations()) {
                if (r.parent != &file) continue;
                DataFile& child = *r.child;
                seekChildren(r, before);
                while (child.next() == 0 && intField(child, r.linkField) == before) {
                    if (r.onUpdate == RiAction::Restrict) {
                        RISAVEERROR(tx);
                        STANDARDWARNING(12, nameOf(child));
                        setIntField(file, "OZNAKA", before);
                        return 1;
                    }
                    RISNAP(child);
                    setIntField(child, r.linkField, now);
                    if (child.put() != 0) return givenUp(tx, 15, child, 1);
                }
            }
            snapshots[&file] = now;
        }
    }
    if (alsoWrite && !alsoWrite()) return givenUp(tx, 15, file, 1);
    if (tx.commit() != 0) return givenUp(tx, 15, file, 1);
    return 0;
}

}  // namespace marel
