#include "certificates/screens/CertificatePrints.h"

#include "certificates/Certificates.h"
#include "certificates/CrisisTax.h"
#include "common/Prompter.h"
#include "preview/KelReportViewer.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "report/Export.h"
#include "ui/Request.h"

namespace marel::screens {

void showCertificate(LONG recipient, LONG payer, const std::string& year) {
    std::unique_ptr<Report> report;
    {
        ProgressWindow progress;
        report = certificateReport(recipient, payer, year, crisisYear(year), progress.callback());
    }
    if (!report) return;
    KELREPORTVIEWER::DISPLAY(std::move(report), "Report", "Page Width", false);
}

void showAllCertificates(LONG payer, const std::string& year) {
    if (recipientsPaid(payer, year).empty()) {
        message(NOTHING_TO_PRINT);
        return;
    }
    std::unique_ptr<Report> report;
    {
        ProgressWindow progress;
        report = allCertificatesReport(payer, year, progress.callback());
    }
    if (!report) return;
    KELREPORTVIEWER::DISPLAY(std::move(report), "Report", "Page Width", false);
}

void showCrisisForm(LONG kriporez) {
    std::unique_ptr<Report> report;
    {
        ProgressWindow progress;
        report = ISPISKRIPOREZ(kriporez, progress.callback());
    }
    if (!report) return;
    REPORTPREVIEW::open(std::move(report), [](int response, Report& r) {
        if (response == REQUESTCOMPLETED) printOnPrinter(r.pages(), r.title());
    });
}

}  // namespace marel::screens
