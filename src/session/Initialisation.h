#pragma once
// "Inicijalizacija" of the frame: deleting every payment so that a data
// folder can start afresh (payments, their income lines and calculations).

namespace marel {

// Asks twice, then removes the payment files one by one; a file that cannot
// be removed (in use in an open window) is reported and the others still go.
void INICIJALIZACIJA();

}  // namespace marel
