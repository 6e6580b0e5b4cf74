#pragma once
// The plain preview most reports show before printing: the pages zoomed or
// as thumbnails, and the user's answer whether to print them.
#include <QMainWindow>
#include <functional>
#include <memory>

#include "report/PreviewState.h"
#include "report/Report.h"

class QAction;
class QLabel;
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

    const PreviewState& state() const { return state_; }
    const std::vector<std::string>& pages() const { return report_->pages(); }
    PageView* view() const { return view_; }
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
    void closeWindow();

    std::unique_ptr<Report> report_;
    std::function<void(int, Report&)> done_;
    PreviewState state_;
    int zoom_ = 0;
    int response_ = 2;
    bool finished_ = false;

    PageView* view_;
    QMenu* viewMenu_ = nullptr;
    QAction* nextAction_ = nullptr;
    QAction* previousAction_ = nullptr;
    QList<QAction*> zoomActions_;
    QSpinBox* page_ = nullptr;
    QSpinBox* across_ = nullptr;
    QSpinBox* down_ = nullptr;
    QLabel* zoomStatus_;
    QLabel* pageStatus_;
};

}  // namespace marel
