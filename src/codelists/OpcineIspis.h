#pragma once
// The printed list of municipalities with their tax accounts and surtax rates.
#include <memory>

#include "report/Report.h"

namespace marel {

// Builds the pages of the list, every municipality in name order, telling
// `progress` the share of the file read. Nothing when the file is empty or
// the user cancelled: then there is nothing to preview or print.
std::unique_ptr<Report> opcineReport(const ProgressFn& progress = {});

// Registers the list with the command line's exports ("OPCINEISPIS").
void registerCodelistsExports();

}  // namespace marel
