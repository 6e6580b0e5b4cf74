#include "preview/ShowReport.h"

#include "preview/KelReportViewer.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "store/Store.h"
#include "ui/Request.h"

namespace marel {

std::unique_ptr<Report> buildWithProgress(const ReportBuild& build, QWidget* caller) {
    ProgressWindow progress(caller);
    std::unique_ptr<Report> report;
    {
        // One moment of the data for the whole report, however long it takes
        // and whatever other stations write meanwhile.
        ReadTransaction snapshot;
        report = build(progress.callback());
    }
    if (report && report->pages().empty()) report.reset();
    return report;
}

bool previewToPrint(const ReportBuild& build, QWidget* caller) {
    std::unique_ptr<Report> report = buildWithProgress(build, caller);
    if (!report) return false;
    REPORTPREVIEW::open(std::move(report), [](int response, Report& r) {
        if (response == REQUESTCOMPLETED) printOnPrinter(r.pages(), r.title());
    });
    return true;
}

bool viewReport(const ReportBuild& build, const std::string& title, const std::string& zoom, QWidget* caller) {
    std::unique_ptr<Report> report = buildWithProgress(build, caller);
    if (!report) return false;
    const std::string shown = title.empty() ? report->title() : title;
    KELREPORTVIEWER::DISPLAY(std::move(report), shown, zoom, false);
    return true;
}

}  // namespace marel
