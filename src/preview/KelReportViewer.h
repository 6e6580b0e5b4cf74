#pragma once
// The report previewer: shows the pages of a report zoomed or as thumbnails,
// lets the user mark, delete and save pages, and prints all, marked,
// unmarked or a range of pages with copies and collation.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "preview/PreviewDialogs.h"
#include "report/PreviewState.h"
#include "report/Report.h"

class QComboBox;
class QLabel;
class QToolButton;

namespace marel {

class PageView;

class KELREPORTVIEWER : public QWidget {
    Q_OBJECT
public:
    // Opens the preview of the report's pages in a window of its own and
    // returns at once. The window keeps the report and discards its pages
    // when it closes; `done` is then told whether the user printed. Zoom is
    // one of the zoom names ("No Zoom", "Page Width", "Zoom (50%)" ...).
    // Nothing is opened for a report without pages.
    static KELREPORTVIEWER* DISPLAY(std::unique_ptr<Report> report, const std::string& title,
                                    const std::string& zoom, bool maximise,
                                    std::function<void(bool printed)> done = {});
    ~KELREPORTVIEWER() override;

    const PreviewState& state() const { return state_; }
    const std::vector<std::string>& pages() const { return report_->pages(); }
    PageView* view() const { return view_; }
    QString zoomName() const { return zoom_; }
    bool printed() const { return printed_; }

    void CHANGEDISPLAY();
    void GETNEXTPAGE();
    void GETPREVPAGE();
    int JUMPTOPAGE(int current, int count);
    void SELECTDISPLAY();
    void MARKQUEUEMARKPAGE();
    void MARKQUEUECHECK();
    void DELETEPAGE();
    bool PRINTREPORT();
    bool PRINTOTHER();
    void SAVESINGLEPAGE();
    void SAVEALLPAGES();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    KELREPORTVIEWER(std::unique_ptr<Report> report, const std::string& title, std::function<void(bool)> done);
    QToolButton* addButton(const char* name, const char* text, int icon, void (KELREPORTVIEWER::*slot)());
    void setZoom(const QString& name);
    void updateButtons();
    // The files of the given pages (1-based) into the work queue.
    void loadWorkQueue(const std::vector<int>& pages);
    void printCurrentPage();
    void leave();
    void closeWindow();

    std::unique_ptr<Report> report_;
    std::string title_;
    std::function<void(bool)> done_;
    PreviewState state_;
    QString zoom_ = QStringLiteral("No Zoom");
    std::vector<std::string> workQueue_;
    PageChoice printChoice_, saveChoice_;
    int copies_ = 1;
    bool collate_ = true;
    std::string saveFile_ = "Save.txt";
    bool printed_ = false;
    bool finished_ = false;

    PageView* view_;
    QComboBox* zoomList_;
    QLabel* zoomStatus_;
    QLabel* pageStatus_;
    QLabel* markStatus_;
};

}  // namespace marel
