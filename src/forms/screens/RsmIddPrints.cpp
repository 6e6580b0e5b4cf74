#include "forms/screens/RsmIddPrints.h"

#include <string>

#include "common/Prompter.h"
#include "forms/Idd.h"
#include "forms/Rsm.h"
#include "payments/screens/PaymentPrints.h"
#include "preview/ShowReport.h"

namespace marel::screens {

void registerRsmIddPrints() {
    registerPaymentPrint("rsma", [](const PaymentPrintContext& c) {
        if (c.payment == 0) return prompter().beep();
        const char printer = c.printer;
        const LONG payment = c.payment;
        viewReport([=](const ProgressFn& p) { return RSMA(payment, printer, p); }, "Obrazac R-Sm - stranica A", "Page Width", c.window);
    });
    registerPaymentPrint("rsmb", [](const PaymentPrintContext& c) {
        if (c.payment == 0) return prompter().beep();
        const LONG payment = c.payment;
        viewReport([=](const ProgressFn& p) { return RSMB(payment, p); }, "Obrazac R-Sm - stranica B", "Page Width", c.window);
    });
    // The payer whose payments the window lists, for the month and year typed there.
    registerPaymentPrint("idd", [](const PaymentPrintContext& c) {
        // A year the window refused never reaches the form.
        if (c.payer == 0 || c.year < 1000 || c.year > 9999 || c.month < 1 || c.month > 12) return prompter().beep();
        const LONG payer = c.payer;
        const std::string year = std::to_string(c.year), month = std::to_string(c.month);
        viewReport([=](const ProgressFn& p) { return IDD(payer, year, month, p); }, "Obrazac IDD", "Page Width", c.window);
    });
}

}  // namespace marel::screens
