#include "codelists/screens/OpcineIspisScreen.h"

#include "codelists/OpcineIspis.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "ui/Request.h"

namespace marel {

void OPCINEISPIS() {
    std::unique_ptr<Report> report;
    {
        ProgressWindow progress;
        report = opcineReport(progress.callback());
    }
    if (!report) return;
    REPORTPREVIEW::open(std::move(report), [](int response, Report& r) {
        if (response == REQUESTCOMPLETED) printOnPrinter(r.pages(), r.title());
    });
}

}  // namespace marel
