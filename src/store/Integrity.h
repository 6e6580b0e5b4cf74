#pragma once
// Referential integrity between the data files: deleting a record together
// with what depends on it (or refusing), carrying a changed record number to
// the records that link to it (or refusing), and remembering a record's number
// before the user edits it. Everything runs in one transaction: a refusal or a
// failure leaves every file as it was.
#include <functional>
#include <string>
#include <vector>

#include "store/DataFile.h"

namespace marel {

enum class RiAction { Restrict, Cascade };

struct Relation {
    DataFile* parent;
    DataFile* child;
    const char* linkField;   // field of the child holding the parent's OZNAKA
    Key childKey;            // child key that starts with the link field
    RiAction onDelete;
    RiAction onUpdate;
};

// Every relation, in the order the rules of a parent are applied.
const std::vector<Relation>& relations();

// 0 deleted, 1 refused or failed, 2 changed or deleted by another station
// (when the record was watched; nothing is deleted, their version is shown).
// The record to delete is in the buffer.
int RIDELETE(DataFile& file);
// 0 written, 1 refused or failed, 2 changed by another station and re-read.
// `alsoWrite` runs in the same transaction after the record and its links
// were written; false from it undoes everything.
int RIUPDATE(DataFile& file, bool fromForm = false, const std::function<bool()>& alsoWrite = {});
// Remembers the record's OZNAKA as it is now (the form calls it when it loads a record).
void RISNAP(DataFile& file);

}  // namespace marel
