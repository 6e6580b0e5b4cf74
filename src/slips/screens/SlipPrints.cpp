#include "slips/screens/SlipPrints.h"

#include "payments/screens/PaymentPrints.h"
#include "preview/KelReportViewer.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "slips/Slips.h"
#include "ui/Request.h"

namespace marel {

namespace {

std::unique_ptr<Report> build(const SlipRequest& rq) {
    ProgressWindow progress;
    return slipsReport(rq, progress.callback());
}

}  // namespace

void registerSlipPrints() {
    screens::registerPaymentPrint("hub3", [](const screens::PaymentPrintContext& c) {
        SlipRequest rq;
        rq.payment = c.payment;
        rq.form = SlipForm::Hub3;
        rq.printer = c.printer;
        rq.param = c.printerParam;
        std::unique_ptr<Report> report = build(rq);
        if (!report) return;
        REPORTPREVIEW::open(std::move(report), [](int response, Report& r) {
            if (response == REQUESTCOMPLETED) printOnPrinter(r.pages(), r.title());
        });
    });
    screens::registerPaymentPrint("hub3a", [](const screens::PaymentPrintContext& c) {
        SlipRequest rq;
        rq.payment = c.payment;
        rq.form = SlipForm::Hub3A;
        rq.printer = c.printer;
        rq.plainPaper = c.plainPaper;
        std::unique_ptr<Report> report = build(rq);
        if (!report) return;
        const std::string title = report->title();
        KELREPORTVIEWER::DISPLAY(std::move(report), title, "No Zoom", false);
    });
}

}  // namespace marel
