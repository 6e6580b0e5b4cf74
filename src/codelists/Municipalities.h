#pragma once
// The rules of the municipality and place forms, apart from their windows:
// the tax account built from a municipality's code, the surtax rate stepped
// by the arrows, and the municipality a place must belong to. They work on the
// OPC and MJE record buffers, as the forms do, and tell the user through the
// prompter.
#include <string>

#include "common/CheckDigits.h"
#include "store/Layout.h"

namespace marel {

// The account rule on OPC:SHIFRA. A refused code is told to the user and
// cleared, and the account is left as it was; an accepted one writes
// OPC:RACUNPOREZ and, with the IBAN, OPC:RKONT. True when accepted.
bool municipalityAccountRule(MunicipalityAccountRule rule);

// OK of the municipality form with the IBAN: the account is built again from
// the code, then the name is checked (a blank name is only pointed out). True
// when the rule accepted the code; when it refused, it has said why.
bool municipalityFormOk();
// A municipality is saved only with a code of exactly four digits: the JOPPD
// file has no place for any other. Says so and refuses otherwise.
bool municipalityCodeOk();

// The up and down arrows of the surtax rate: one percentage point more
// (direction 1) or less (-1). A surtax rate is never negative, so stepping
// down stops at 0; a rate the field cannot hold is not reached.
void stepSurtaxRate(int direction);

// The place's municipality (MJE:OPCINA) must be chosen: 0 is refused with
// the form's message, and so is a number no municipality has, which would
// leave the place's people without a surtax rate. Reads the OPC buffer.
bool placeMunicipalityChosen();

// The name of municipality `number`, read into the OPC buffer; "" (and a
// cleared buffer) when there is no such municipality.
std::string municipalityName(LONG number);

}  // namespace marel
