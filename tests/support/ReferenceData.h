#pragma once
// Reference records a test needs before it works a screen, added directly.
#include <gtest/gtest.h>

#include "store/Records.h"

namespace marel::test {

inline void addPlace(LONG number, const char* name, LONG municipality = 0) {
    MJESTA.clear();
    MJE.OZNAKA = number;
    MJE.NAZIV = name;
    MJE.OPCINA = municipality;
    ASSERT_EQ(MJESTA.add(), 0);
}

inline void addStreet(LONG number, const char* name) {
    ULICE.clear();
    ULI.OZNAKA = number;
    ULI.NAZIV = name;
    ASSERT_EQ(ULICE.add(), 0);
}

inline void addBank(USHORT number, const char* name, const char* leading) {
    BANKE.clear();
    BAN.OZNAKA = number;
    BAN.NAZIV = name;
    BAN.VODECIBROJ = leading;
    ASSERT_EQ(BANKE.add(), 0);
}

}  // namespace marel::test
