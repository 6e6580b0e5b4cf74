#pragma once
// The positions of an income line's calculation lines (OBR:POZICIJA, the
// numbers of the POZICIJE table). The calculation fills 1 to 12; 13 and 14
// hold the crisis tax and the net after it.
#include "store/Layout.h"

namespace marel {

enum Pozicija : USHORT {
    POZ_BRUTO = 1,
    POZ_NEOPOREZIVIDIO = 2,
    POZ_PRIZNATITROSKOVI = 3,
    POZ_OSNOVICA = 4,            // the base of the contributions
    POZ_MIROVINSKOISTUP = 5,
    POZ_MIROVINSKOIISTUP = 6,
    POZ_DOHODAK = 7,
    POZ_POREZ = 8,
    POZ_PRIREZ = 9,
    POZ_NETO = 10,
    POZ_ZDRAVSTVENO = 11,
    POZ_OSOBNIODBITAK = 12,
    POZ_KRIPOREZ = 13,
    POZ_POSLIJEKRIPOREZ = 14,
};

// The last position the calculation itself writes.
inline constexpr Pozicija POZ_ZADNJA_OBRACUNA = POZ_OSOBNIODBITAK;

}  // namespace marel
