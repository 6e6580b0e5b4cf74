#include "payments/screens/RecapitulationScreens.h"

#include "common/Prompter.h"
#include "payments/Recapitulation.h"
#include "payments/screens/PaymentPrints.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "ui/Request.h"

namespace marel {

namespace {

template <class Build>
void preview(Build build) {
    std::unique_ptr<Report> report;
    std::string error;
    {
        ProgressWindow progress;
        report = build(progress.callback(), error);
    }
    if (!report) {
        // Cancelled says nothing; a line or payment gone meanwhile does.
        if (!error.empty()) message(error);
        return;
    }
    REPORTPREVIEW::open(std::move(report), [](int response, Report& r) {
        if (response == REQUESTCOMPLETED) printOnPrinter(r.pages(), r.title());
    });
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
