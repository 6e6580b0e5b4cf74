#pragma once
// The ID-1 form record: what a new one starts with and the contact person
// it hands on to the next one.
#include <string>

#include "store/Layout.h"
#include "store/Records.h"

namespace marel {

// A telephone as the ID-1 papers write it: "+385(1)4567890".
std::string id1Telephone(USHORT area, const std::string& number);

// The values of a new form, after its number: not a cancellation, last year
// (the report is made after the year's end), and the contact person of the
// form confirmed last.
void id1Defaults(ID1_REC& form);

// Keeps the contact person of the form for the next new form.
void rememberId1Contact(const ID1_REC& form);

}  // namespace marel
