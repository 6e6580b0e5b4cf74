#pragma once
// "Inicijalizacija" of the frame: deleting every payment so that a data
// folder can start afresh (payments, their income lines and calculations).

namespace marel {

// Asks twice, then removes the payment files, with the payment methods and
// JOPPD forms that belonged to them, in one transaction: files in use in an
// open window are named and nothing is removed; so it is when another
// station holds the data or a write fails.
void INICIJALIZACIJA();

}  // namespace marel
