#pragma once
// `marel export`: the pages of any report as a PDF file or as page files,
// and the program's XML files, from the command line without a display and
// without a question to anyone.
#include <iosfwd>
#include <string>
#include <vector>

namespace marel {

// Registers every report and file of the program with the exports.
void registerAllExports();

// Runs the command; `args` are the words after "export". Returns the exit
// code: 0 when the output was written, otherwise a one-line message on `err`
// and no output left behind.
int runExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace marel
