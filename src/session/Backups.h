#pragma once
// "Sigurnosna kopija" and "Vrati iz kopije" of the frame: a copy of the
// data a bookkeeper keeps where they choose, and the way back to it.

namespace marel {

// Asks where the copy goes (the data folder's "kopije" proposed) and writes it.
void SIGURNOSNAKOPIJA();

// Asks which copy, then twice whether every record is to be replaced by the
// copy's; the data it replaces is kept as an automatic copy first. Refused
// while another window of the program has data open.
void VRATIIZKOPIJE();

}  // namespace marel
