#include "payments/screens/RecapitulationScreens.h"

#include "common/Prompter.h"
#include "payments/Recapitulation.h"
#include "payments/screens/PaymentPrints.h"
#include "preview/ShowReport.h"

namespace marel {

namespace {

// A line or payment gone meanwhile is said; a cancelled build says nothing.
template <class Build>
void preview(Build build) {
    std::string error;
    if (!previewToPrint([&](const ProgressFn& p) { return build(p, error); }) && !error.empty()) message(error);
}

}  // namespace

void OBRACUNISP(LONG incomeLine) {
    preview([incomeLine](const ProgressFn& p, std::string& e) { return obracunReport(incomeLine, p, &e); });
}

void OBRISPLATEISP(LONG payment) {
    preview([payment](const ProgressFn& p, std::string& e) { return obrIsplateReport(payment, p, &e); });
}

void registerPaymentsPrints() {
    screens::registerPaymentPrint("obracun", [](const screens::PaymentPrintContext& c) {
        if (c.payment) OBRISPLATEISP(c.payment);
    });
    screens::registerPaymentPrint("obracundoh", [](const screens::PaymentPrintContext& c) {
        if (c.incomeLine) OBRACUNISP(c.incomeLine);
    });
}

}  // namespace marel
