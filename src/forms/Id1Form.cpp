#include "forms/Id1Form.h"

#include <tuple>

#include "common/Date.h"
#include "session/Globals.h"

namespace marel {

namespace {

// The contact person's fields, which the form and the globals both hold.
template <class Record>
auto contact(Record& r) {
    return std::tie(r.KONIME, r.KONPREZIME, r.KONPOZ1, r.KONTEL1, r.KONPOZ2, r.KONTEL2, r.KONEMAIL);
}

}  // namespace

std::string id1Telephone(USHORT area, const std::string& number) {
    return "+385(" + std::to_string(area) + ")" + number;
}

void id1Defaults(ID1_REC& form) {
    form.STORNO = "false";
    form.GODINA = std::to_string(Date::today().year() - 1);
    contact(form) = contact(GLO);
}

void rememberId1Contact(const ID1_REC& form) { contact(GLO) = contact(form); }

}  // namespace marel
