#pragma once
// `marel kopija --data MAPA --out DATOTEKA`: a consistent copy of a data
// folder's database, or of a server's data (MAPA holding its MAREL.conf, or
// its address itself), while other stations go on working, for scheduled
// backups as well as by hand.
#include <iosfwd>
#include <string>
#include <vector>

namespace marel {

// `args` are the words after "kopija". Returns 0 when the copy was written
// (its name on `out`), 1 when it was not, 2 for a wrong call (a one-line
// message on `err` either way, no file left behind).
int runBackupCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace marel
