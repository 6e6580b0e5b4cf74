#pragma once
// A small, realistic data folder for a first look at the program: a payer,
// ten recipients in three municipalities, two payments with their income lines
// calculated, and the JOPPD form of the first payment. Everything is entered
// through the same routines the screens call, so the folder holds exactly
// what a bookkeeper would have produced by hand.
#include <string>

namespace marel {

// Fills the data folder `folder` (created when missing) when it holds no data
// yet: a folder with a database that already has payers, recipients or
// payments is left as it is. Opens and closes the program's database itself,
// so it runs before programStart. Returns "" on success, else what went wrong.
std::string makeDemoData(const std::string& folder);

// The same on the database that is open now (Store::main()); "" on success.
std::string fillDemoData();

}  // namespace marel
