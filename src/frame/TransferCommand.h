#pragma once
// `marel prenesi --from IZVOR --to ODREDISTE`: the data of one location
// (a data folder, or a server's address, directly or through the folder's
// MAREL.conf) carried whole into another that holds none yet, for moving an
// office onto a server or back into a folder.
#include <iosfwd>
#include <string>
#include <vector>

namespace marel {

// `args` are the words after "prenesi". Returns 0 when everything was carried
// (what was carried on `out`), 1 when nothing was (the reason on `err`), 2
// for a wrong call (the usage on `err`).
int runTransferCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace marel
