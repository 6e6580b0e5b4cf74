#include "joppd/screens/JoppdPrints.h"

#include "common/Prompter.h"
#include "joppd/JoppdPages.h"
#include "payments/screens/PaymentPrints.h"
#include "preview/KelReportViewer.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "ui/Request.h"

namespace marel {

void JOPPDISPIS(LONG payment) {
    std::unique_ptr<Report> report;
    std::string error;
    {
        ProgressWindow progress;
        report = joppdPageA(payment, progress.callback(), &error);
    }
    if (!report) {
        if (!error.empty()) message(error);
        return;
    }
    REPORTPREVIEW::open(std::move(report), [](int response, Report& r) {
        if (response == REQUESTCOMPLETED) printOnPrinter(r.pages(), r.title());
    });
}

void JOPPBSTRANA(LONG payment, char printer) {
    std::unique_ptr<Report> report;
    std::string error;
    {
        ProgressWindow progress;
        report = joppdPageB(payment, printer, progress.callback(), &error);
    }
    if (!report) {
        if (!error.empty()) message(error);
        return;
    }
    KELREPORTVIEWER::DISPLAY(std::move(report), "JOPPD obrazac - stranica B", "Page Width", false);
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
