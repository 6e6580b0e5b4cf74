#pragma once
// Recipients (OSOBE): what the recipient list and form do besides showing
// fields, kept apart from their windows. Everything works on the record
// buffers: OSO for the recipient, MJE/OPC/ULI/BAN for what he points to.
#include <string>
#include <string_view>

#include "store/Layout.h"

namespace marel {

// A new recipient is a member of the second pension pillar and works in the
// municipality he lives in; everything else starts blank or zero.
void recipientDefaults();

// KONTROLA of the recipient form: OSO:RKONT = "HR" + the IBAN check digits of
// the account OSO:RACUN at the bank OSO:BANKA. When the bank is not found (or
// the account is not made of digits) nothing changes. True when OSO:RKONT
// was written.
bool KONTROLA_OSOBE();

// The records the form shows beside the recipient's fields, read afresh from
// the buffer's values: the bank, the street, the place and the place's
// municipality. A value not found leaves that buffer clear, so its displays
// go blank.
void readRecipientRelations();
// Where the recipient in the OSO buffer lives: his place into MJE and the
// place's municipality into OPC, which give the surtax and the municipality
// codes. A record not found leaves its buffer clear, and without a place the
// municipality is clear too. Says which record was missing.
enum class Residence { Found, NoPlace, NoMunicipality };
Residence readResidence();
// What a list row shows beside the recipient: his place and street.
void readPlaceAndStreet();

// The work-municipality code is entered only when the recipient works in
// another municipality than the one he lives in (OSO:FAX "DA").
bool worksInOtherMunicipality();

// The OIB as typed into a recipient's or payer's form: one that is not eleven
// digits with its check digit is kept only when the user insists (the default
// answer is No), since the forms store the OIB as typed and a mistyped one
// would otherwise surface only in the tax authority's refusal. A blank OIB is
// not asked about. True to save.
bool oibConfirmed(std::string_view oib);
// The recipient form's checks on OK: a municipality-of-work code, when one is
// asked for, must be four digits (refused with a message); then the OIB.
bool recipientFormOk();

// "Surname Name" of the recipient, each without its trailing blanks.
std::string PREZIMEIME();

}  // namespace marel
