#pragma once
// The monthly summary and the R-Sm form from the command line.

namespace marel {

// Registers "IDD", "RSMA" and "RSMB" with the command line's exports.
void registerRsmIddExports();

}  // namespace marel
