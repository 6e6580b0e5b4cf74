#include "forms/Id1Form.h"

#include "common/Date.h"
#include "session/Globals.h"

namespace marel {

namespace {

// The contact person's fields, which the form and the globals both hold.
template <class From, class To>
void copyContact(const From& from, To& to) {
    to.KONIME = from.KONIME;
    to.KONPREZIME = from.KONPREZIME;
    to.KONPOZ1 = from.KONPOZ1;
    to.KONTEL1 = from.KONTEL1;
    to.KONPOZ2 = from.KONPOZ2;
    to.KONTEL2 = from.KONTEL2;
    to.KONEMAIL = from.KONEMAIL;
}

}  // namespace

std::string id1Telephone(USHORT area, const std::string& number) {
    return "+385(" + std::to_string(area) + ")" + number;
}

void id1Defaults(ID1_REC& form) {
    form.STORNO = "false";
    form.GODINA = std::to_string(Date::today().year() - 1);
    copyContact(GLO, form);
}

void rememberId1Contact(const ID1_REC& form) { copyContact(form, GLO); }

}  // namespace marel
