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
#include "preview/PreviewPages.h"

class QComboBox;
class QHBoxLayout;
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

    const PreviewState& state() const { return pages_.state(); }
    const std::vector<Page>& pages() const { return pages_.pages(); }
    PageView* view() const { return pages_.view(); }
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
    QHBoxLayout* buildButtons();
    QToolButton* addButton(const char* name, const char* text, int icon, std::function<void()> slot);
    QToolButton* button(const char* name) const;
    void setZoom(const QString& name);
    // Moves through the pages and shows where it went.
    void step(void (PreviewState::*move)());
    void updateButtons();
    // The given pages (1-based) into the work queue.
    void loadWorkQueue(const std::vector<int>& pages);
    void printCurrentPage();

    PreviewPages pages_;
    PreviewState& state_;
    std::string title_;
    std::function<void(bool)> done_;
    QString zoom_ = QStringLiteral("No Zoom");
    std::vector<Page> workQueue_;  // copies share the report's pages
    PageChoice printChoice_, saveChoice_;
    int copies_ = 1;
    bool collate_ = true;
    std::string saveFile_ = "Save.txt";
    bool printed_ = false;

    QComboBox* zoomList_;
    QLabel* markStatus_;
};

}  // namespace marel
