#include "forms/Id1Form.h"

#include "common/Date.h"
#include "session/Globals.h"
#include "store/Records.h"

namespace marel {

std::string id1Telephone(USHORT area, const std::string& number) {
    return "+385(" + std::to_string(area) + ")" + number;
}

void id1Defaults() {
    ID1.STORNO = "false";
    ID1.GODINA = std::to_string(Date::today().year() - 1);
    ID1.KONIME = GLO.KONIME;
    ID1.KONPREZIME = GLO.KONPREZIME;
    ID1.KONPOZ1 = GLO.KONPOZ1;
    ID1.KONTEL1 = GLO.KONTEL1;
    ID1.KONPOZ2 = GLO.KONPOZ2;
    ID1.KONTEL2 = GLO.KONTEL2;
    ID1.KONEMAIL = GLO.KONEMAIL;
}

void rememberId1Contact() {
    GLO.KONIME = ID1.KONIME;
    GLO.KONPREZIME = ID1.KONPREZIME;
    GLO.KONPOZ1 = ID1.KONPOZ1;
    GLO.KONTEL1 = ID1.KONTEL1;
    GLO.KONPOZ2 = ID1.KONPOZ2;
    GLO.KONTEL2 = ID1.KONTEL2;
    GLO.KONEMAIL = ID1.KONEMAIL;
}

}  // namespace marel
