#include "slips/screens/SlipPrints.h"

#include "payments/screens/PaymentPrints.h"
#include "preview/ShowReport.h"
#include "slips/Slips.h"

namespace marel {

namespace {

SlipRequest requestOf(const screens::PaymentPrintContext& c, SlipForm form) {
    SlipRequest rq;
    rq.payment = c.payment;
    rq.form = form;
    rq.printer = c.printer;
    return rq;
}

}  // namespace

void registerSlipPrints() {
    screens::registerPaymentPrint("hub3", [](const screens::PaymentPrintContext& c) {
        SlipRequest rq = requestOf(c, SlipForm::Hub3);
        rq.param = c.printerParam;
        previewToPrint([rq](const ProgressFn& p) { return slipsReport(rq, p); });
    });
    screens::registerPaymentPrint("hub3a", [](const screens::PaymentPrintContext& c) {
        SlipRequest rq = requestOf(c, SlipForm::Hub3A);
        rq.plainPaper = c.plainPaper;
        viewReport([rq](const ProgressFn& p) { return slipsReport(rq, p); }, "", "No Zoom");
    });
}

}  // namespace marel
