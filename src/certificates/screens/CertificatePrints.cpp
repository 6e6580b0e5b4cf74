#include "certificates/screens/CertificatePrints.h"

#include "certificates/Certificates.h"
#include "certificates/CrisisTax.h"
#include "common/Prompter.h"
#include "preview/ShowReport.h"
#include "report/Export.h"

namespace marel::screens {

void showCertificate(LONG recipient, LONG payer, const std::string& year) {
    viewReport([&](const ProgressFn& p) { return certificateReport(recipient, payer, year, crisisYear(year), p); },
               "Report");
}

void showAllCertificates(LONG payer, const std::string& year) {
    if (recipientsPaid(payer, year).empty()) {
        message(NOTHING_TO_PRINT);
        return;
    }
    viewReport([&](const ProgressFn& p) { return allCertificatesReport(payer, year, p); }, "Report");
}

void showCrisisForm(LONG kriporez) {
    previewToPrint([&](const ProgressFn& p) { return ISPISKRIPOREZ(kriporez, p); });
}

}  // namespace marel::screens
