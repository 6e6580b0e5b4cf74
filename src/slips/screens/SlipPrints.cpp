#include "slips/screens/SlipPrints.h"

#include "payments/screens/PaymentPrints.h"
#include "preview/ShowReport.h"
#include "slips/Slips.h"

namespace marel {

void registerSlipPrints() {
    screens::registerPaymentPrint("hub3", [](const screens::PaymentPrintContext& c) {
        SlipRequest rq;
        rq.payment = c.payment;
        rq.form = SlipForm::Hub3;
        rq.printer = c.printer;
        rq.param = c.printerParam;
        previewToPrint([rq](const ProgressFn& p) { return slipsReport(rq, p); });
    });
    screens::registerPaymentPrint("hub3a", [](const screens::PaymentPrintContext& c) {
        SlipRequest rq;
        rq.payment = c.payment;
        rq.form = SlipForm::Hub3A;
        rq.printer = c.printer;
        rq.plainPaper = c.plainPaper;
        viewReport([rq](const ProgressFn& p) { return slipsReport(rq, p); }, "", "No Zoom");
    });
}

}  // namespace marel
