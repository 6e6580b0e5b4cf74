#include "joppd/screens/JoppdPrints.h"

#include "common/Prompter.h"
#include "joppd/JoppdPages.h"
#include "payments/screens/PaymentPrints.h"
#include "preview/ShowReport.h"

namespace marel {

void JOPPDISPIS(LONG payment) {
    std::string error;
    if (!previewToPrint([&](const ProgressFn& p) { return joppdPageA(payment, p, &error); }) && !error.empty())
        message(error);
}

void JOPPBSTRANA(LONG payment, char printer) {
    std::string error;
    if (!viewReport([&](const ProgressFn& p) { return joppdPageB(payment, printer, p, &error); },
                    "JOPPD obrazac - stranica B") &&
        !error.empty())
        message(error);
}

void registerJoppdPrints() {
    screens::registerPaymentPrint("jopa", [](const screens::PaymentPrintContext& c) {
        if (c.payment) JOPPDISPIS(c.payment);
    });
    screens::registerPaymentPrint("jopb", [](const screens::PaymentPrintContext& c) {
        if (c.payment) JOPPBSTRANA(c.payment, c.printer);
    });
}

}  // namespace marel
