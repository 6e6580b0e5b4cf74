#pragma once
// The payer's yearly ID-1 report as the XML file for the tax authority: the
// income tax and surtax withheld from each recipient, split by the account
// code the tax is paid to, with the file's totals.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Decimal.h"
#include "store/Layout.h"
#include "store/Records.h"
#include "store/Values.h"

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
    Decimal UKNETO;       // net (after the crisis tax, where that counts)
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

// The slot of a tax-account code among the 14 of income tax and surtax; -1
// for a code that is none of them (a blank one included).
int id1Account(const std::string& code);

// One payer's year as the ID-1 reports sum it, recipient by recipient. Each
// payment, income type, place and municipality is read once.
class Id1Year {
public:
    Id1Year(LONG payer, std::string year) : payer_(payer), year_(std::move(year)) {}

    // The account slot a line of income type `type` (nullptr: not on file)
    // counts its tax under (-1: none), or nullopt to leave the line out.
    using AccountOf = std::function<std::optional<int>(const VRSTEDOH_REC* type)>;
    // Every recipient on file in surname order with what the payer paid him
    // in the year, handed to `each` (false: stop there). The crisis tax
    // counts when `crisis` (the paper form has no column for it): in its own
    // account, and taken from the net. nullptr, or the file a read failed in.
    using Each = std::function<bool(const OSOBE_REC& recipient, const Id1Sums& sums)>;
    const char* eachRecipient(const AccountOf& accountOf, bool crisis, const Each& each);

    // "oznGrOp": the first three characters of the code of the recipient's
    // municipality, blank when his place or its municipality is not on file.
    std::string municipality(const OSOBE_REC& recipient);

private:
    const char* sum(const OSOBE_REC& recipient, const AccountOf& accountOf, bool crisis, Id1Sums& sums);

    LONG payer_;
    std::string year_;
    ValueLookup<IsplateFile> payments_;
    ValueLookup<VrstedohFile> types_;
    ValueLookup<MjestaFile> places_;
    ValueLookup<OpcineFile> municipalities_;
};

// Name of the file of the payer: "ID-1_<OIB>_01.xml".
std::string id1FileName(const SUBJEKTI_REC& payer);

// What the file's structure would refuse in the form and its payer: the
// payer's OIB, the year, the contact person, the cancel flag. Empty when the
// form may be written. (The recipients are looked at as the file is written:
// only those it lists matter.)
std::vector<std::string> PROVJERAID1(const ID1_REC& form, const SUBJEKTI_REC& payer);

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
