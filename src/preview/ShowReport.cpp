#include "preview/ShowReport.h"

#include <QApplication>
#include <QPointer>

#include "preview/KelReportViewer.h"
#include "preview/PreviewDialogs.h"
#include "preview/Printing.h"
#include "preview/ReportPreview.h"
#include "store/Store.h"
#include "ui/Request.h"

namespace marel {

std::unique_ptr<Report> buildWithProgress(const ReportBuild& build, QWidget* caller) {
    const QPointer<QWidget> front = QApplication::activeWindow();
    std::unique_ptr<Report> report;
    {
        ProgressWindow progress(caller);
        // One moment of the data for the whole report, however long it takes
        // and whatever other stations write meanwhile.
        ReadTransaction snapshot;
        report = build(progress.callback());
    }
    // A progress window that comes and goes within moments may leave the
    // window manager with nobody to hand the keyboard back to: the window
    // that had it takes it back, and the preview opens in front there.
    if (front && front != QApplication::activeWindow()) front->activateWindow();
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
