#include "codelists/screens/OpcineIspisScreen.h"

#include "codelists/OpcineIspis.h"
#include "preview/ShowReport.h"

namespace marel {

void OPCINEISPIS() {
    previewToPrint([](const ProgressFn& p) { return opcineReport(p); });
}

}  // namespace marel
