#pragma once
// The monthly summary and the contribution specification from the command line.

namespace marel {

// Registers "IDD", "RSMA" and "RSMB" with the command line's exports.
void registerRsmIddExports();

}  // namespace marel
