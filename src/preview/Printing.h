#pragma once
// Printing and PDF saving from the previews, with the messages the user
// sees when they fail.
#include <string>
#include <vector>

#include "report/Page.h"

namespace marel {

// Prints the pages on the printer chosen in the printer set-up.
bool printOnPrinter(const std::vector<Page>& pages, const std::string& title);
// Asks for a file name (offering `fileName`, the report's, with ".pdf") and
// writes the pages there as one PDF file under `title`; false when cancelled
// or not written.
bool saveAsPdf(const std::vector<Page>& pages, const std::string& title, const std::string& fileName);
// "JOPPD-B 14105.pdf" for the file name "JOPPD-B 14105": what no file system
// takes in a name is replaced.
std::string pdfFileName(const std::string& name);

}  // namespace marel
