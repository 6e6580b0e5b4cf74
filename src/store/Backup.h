#pragma once
// Copies of the program's data that a bookkeeper can keep and restore. A
// copy is one database file of the same shape as MAREL.DB, whether the data
// is in a folder or on a server: it opens as a data folder of its own and
// restores anywhere.
//
// Every function returns an empty string when it succeeded, or the reason it
// did not, in Croatian, to be shown as it stands. A copy is written under a
// temporary name beside its target, checked, and only then given its name:
// a copy that failed half-way never passes for one.
#include <string>
#include <vector>

namespace marel {

class Store;

// The folder of the automatic copies inside a data folder.
inline constexpr const char* kBackupFolder = "kopije";
// How many automatic copies are kept; older ones go as new ones are made.
inline constexpr int kKeptBackups = 10;

// A consistent copy of the open store's database into `target`, taken while
// other stations go on working (a server's tables are copied into a new
// database file, see store/Transfer.h). Not inside a write transaction of ours: what
// it has written and not committed must not pass into a copy. Data without
// a single table of the program's files is no copy and is refused.
std::string writeBackup(Store& store, const std::string& target);

// The same for the database of a data folder that this process has not
// opened, read as it stands (nothing created, nothing upgraded).
std::string writeBackupOfFolder(const std::string& folder, const std::string& target);

// The folder whose kopije holds the store's automatic copies: its data
// folder, or for a server named directly the user's own data folder
// ($XDG_DATA_HOME/MAREL, else ~/.local/share/MAREL); empty when there is none.
std::string backupHome(const Store& store);

// An automatic copy of the open store into <backupHome>/kopije, named by the time
// and `reason` (lower-case letters and '-'), keeping the last kKeptBackups
// automatic copies. `written`, when given, receives the copy's path.
std::string automaticBackup(Store& store, const std::string& reason, std::string* written = nullptr);

// The automatic copies of a data folder, oldest first.
std::vector<std::string> automaticBackups(const std::string& folder);

// Replaces every table of the open store's database with those of the copy
// `source`, in one step that other stations see whole. The data it replaces
// is kept first as an automatic copy ("prije-vracanja"); a source that is not
// a sound copy of this program's data, or a copy that cannot be kept, leaves
// everything as it was.
std::string restoreBackup(Store& store, const std::string& source, std::string* keptCopy = nullptr);

}  // namespace marel
