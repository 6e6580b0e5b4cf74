#pragma once
// The JOPPD report of a payment as the XML file submitted to the tax authority.
#include <cstdint>
#include <functional>
#include <string>

#include "common/Date.h"
#include "store/Records.h"

namespace marel {

class XmlSchema;

// The moment a file states as its creation time.
struct Moment {
    Date date;
    int32_t centiseconds = 0;  // since midnight
};
// The clock the writer reads; tests fix it. An empty function is the system clock.
void setJoppdClock(std::function<Moment()> clock);

// Name of the file of form `form` of payment `payment`: "JOP_14036_3f2a.xml".
std::string joppdFileName(const JOPO_REC& form, const ISPLATE_REC& payment);

// Writes the XML file of the form record numbered `form` into the folder
// "XML" below the working folder (the working folder itself when there is no
// such folder), keeps its full path in JOPO.DATOTEKA and says
// "XML datoteka kreirana" with the path. A form that cannot be reported
// (missing payment, payer, author or identifier) is explained to the user;
// one whose data the tax authority would refuse gets the whole check list in
// one window ("Provjera prije kreiranja"). Either way nothing is written.
// True when the file was written and its path kept.
// With a `target` the file goes there instead, under that name, and the
// form is left as it was and nothing is said on success (the command line).
bool FORMIRAJ(LONG form, const std::string& target = {});

// The tax authority's schema of the file, as supplied with the program
// (data/schemas/joppd); every file is checked against it before it gets its name.
const XmlSchema& joppdSchema();

// Registers the JOPPD file with the command line's exports ("JOPPD").
void registerJoppdExports();

}  // namespace marel
