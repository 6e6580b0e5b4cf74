#pragma once
// The plain preview most reports show before printing: the pages zoomed or
// as thumbnails, and the user's answer whether to print them.
#include <QMainWindow>
#include <functional>
#include <memory>

#include "preview/PreviewPages.h"

class QAction;
class QMenu;
class QSpinBox;

namespace marel {

class PageView;

class REPORTPREVIEW : public QMainWindow {
    Q_OBJECT
public:
    // Opens the preview of the report's pages and returns at once. When the
    // window closes, `done` gets the answer, 1 if the user chose to print and
    // 2 if he left without printing, while the report is still there to be
    // printed; then the report is discarded. Nothing is opened for a report
    // without pages.
    static REPORTPREVIEW* open(std::unique_ptr<Report> report,
                               std::function<void(int response, Report& report)> done = {});
    ~REPORTPREVIEW() override;

    const PreviewState& state() const { return pages_.state(); }
    const std::vector<Page>& pages() const { return pages_.pages(); }
    PageView* view() const { return pages_.view(); }
    int zoom() const { return zoom_; }  // 0 thumbnails, 1 page width, 2.. 50% to 300%

    void print();
    void leave();
    void next();
    void previous();
    void jump();
    void changeDisplay();
    void zoomPopup();
    void setZoom(int zoom);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    REPORTPREVIEW(std::unique_ptr<Report> report, std::function<void(int, Report&)> done);
    void buildMenus();
    void buildToolBar();
    void refresh();

    PreviewPages pages_;
    PreviewState& state_;
    std::function<void(int, Report&)> done_;
    int zoom_ = 0;
    int response_ = 2;

    QMenu* viewMenu_ = nullptr;
    QAction* nextAction_ = nullptr;
    QAction* previousAction_ = nullptr;
    QList<QAction*> zoomActions_;
    QSpinBox* page_ = nullptr;
    QSpinBox* across_ = nullptr;
    QSpinBox* down_ = nullptr;
};

}  // namespace marel
