#pragma once
// Printing and PDF saving from the previews, with the messages the user
// sees when they fail.
#include <string>
#include <vector>

namespace marel {

// Prints the pages on the printer chosen in the printer set-up.
bool printOnPrinter(const std::vector<std::string>& pages, const std::string& title);
// Asks for a file name and writes the pages there as one PDF file; false
// when cancelled or not written.
bool saveAsPdf(const std::vector<std::string>& pages, const std::string& title);

}  // namespace marel
