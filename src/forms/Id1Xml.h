#pragma once
// The payer's yearly ID-1 report as the XML file for the tax authority: the
// income tax and surtax withheld from each recipient, split by the account
// code the tax is paid to, with the file's totals.
#include <array>
#include <string>
#include <vector>

#include "common/Decimal.h"
#include "store/Layout.h"

namespace marel {

class XmlSchema;

// The tax-account codes of the report, in the order the file lists them.
// The first 14 take income tax and surtax by the income type's code
// (VRS.RNPOREZ); the last one takes the crisis tax.
inline constexpr std::array<const char*, 15> ID1_RACUNI = {"1422", "1805", "1457", "1465", "1473",
                                                         "1546", "1570", "1589", "1597", "1600",
                                                         "1813", "1821", "1830", "1848", "1902"};
inline constexpr size_t ID1_KRIPOREZ = 14;  // slot of the crisis tax

// What one recipient received from one payer in one year.
struct Id1Sums {
    Decimal UKBRUTO;      // gross
    Decimal UKIZDACI;     // non-taxable part and recognised expenses
    Decimal UKDOPRINOSI;  // pension contributions, both pillars
    Decimal UKPOREZ;      // income tax and surtax (no crisis tax)
    Decimal UKKRIPOREZ;   // crisis tax
    Decimal UKNETO;       // net after the crisis tax
    std::array<Decimal, ID1_RACUNI.size()> RACUN{};  // per tax-account code
};

// What a run has to tell the user, kept to be told once the data is no
// longer held: a message box must not hold another station's writes back.
struct Id1Notes {
    std::vector<std::string> messages;
    std::string failedFile;  // a read failed in this file: the run is void
    // Tells everything kept, in order; false when a read failed.
    bool tell();
};

// Sums the income lines of the recipient in the OSO buffer that the payer
// paid in `year`, and leaves the recipient's place and municipality in the
// MJE and OPC buffers (blank when missing). An income type without a tax
// code is noted for every line of it; its tax still counts in UKPOREZ.
// False when a read failed (noted too).
bool PUNI(Id1Sums& sums, LONG payer, const std::string& year, Id1Notes& notes);

// Name of the file of a payer whose OIB is in the SUB buffer: "ID-1_<OIB>_01.xml".
std::string id1FileName();

// What the file's structure would refuse in the form in the ID1 buffer and
// its payer in SUB: the payer's OIB, the year, the contact person, the
// cancel flag. Empty when the form may be written. (The recipients are
// looked at as the file is written: only those it lists matter.)
std::vector<std::string> PROVJERAID1();

// The structure of the file (data/schemas/id1); every file is checked
// against it before it gets its name.
const XmlSchema& id1Schema();

// Writes the XML file of the ID-1 form numbered `form` into the working
// folder (replacing the payer's earlier one), or to `target` when given.
// Data the file's structure would refuse is listed in one window
// ("Provjera prije kreiranja") and nothing is written. Nothing of a failed
// run is left behind; why it failed is told to the user. True when the file
// was written.
bool FORMIRAJDATOTEKU(LONG form, const std::string& target = {});

}  // namespace marel
