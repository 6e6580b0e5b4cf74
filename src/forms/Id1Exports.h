#pragma once
// The ID-1 papers on the command line.

namespace marel {

// Registers "ID1" (the printed form of a payer and year),
// "ISPISPOPRATNOGDOPISA" (the cover letter of a form) and "ID1XML" (the
// form's XML file) with the command line's exports.
void registerId1Exports();

}  // namespace marel
