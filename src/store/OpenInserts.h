#pragma once
// The insert forms open right now. An insert form adds its record the moment
// it opens (lines can be entered under a new payment before its OK), so a
// form that never ends (a crash, a killed process) leaves that record behind,
// blank, with whatever was entered under it. Each such record is noted with
// the station (computer and process) whose form added it; the note goes in
// the same transaction as the form's OK, or with the record when the form is
// cancelled. At start-up, a station removes the records its own dead
// processes left: a process of another computer cannot be asked whether it
// still runs, so those wait until that computer starts the program again.
#include <cstdint>
#include <string>

#include "store/DataFile.h"

namespace marel {

// This station's name in the notes: the computer's name.
std::string stationHost();

// 0, or the store's error code. The table of notes is made by the first
// note; a database where it cannot be made (read-only) simply keeps none.
int noteOpenInsert(DataFile& file, int64_t id);
int endOpenInsert(DataFile& file, int64_t id);

// Removes, through the program's own files on the main store, every noted
// record of a process of this computer that no longer runs, together with
// what depends on it. Returns how many were removed.
int removeAbandonedInserts();

}  // namespace marel
