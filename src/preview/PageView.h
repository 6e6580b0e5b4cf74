#pragma once
// The page area both previews share: the current page zoomed in a scrolling
// view, or a grid of thumbnails laid out to keep the page's shape.
#include <QWidget>
#include <string>
#include <vector>

#include "report/Page.h"
#include "report/PreviewState.h"

class QLabel;
class QScrollArea;

namespace marel {

class PageView : public QWidget {
    Q_OBJECT
public:
    // Zoom factor that fits the page to the width of the view.
    static constexpr double PAGE_WIDTH = -1;

    PageView(const std::vector<Page>& pages, PreviewState& state, QWidget* parent = nullptr);

    // Shows the state's view: thumbnails, or the current page at `zoom`.
    void display(double zoom);
    // Page height / width of the first page, and its size on the screen.
    double aspect() const { return aspect_; }
    QSize natural() const { return natural_; }
    // The thumbnail places (k from 1) and the zoomed image, for tests.
    QLabel* place(int k) const;
    int placeCount() const { return int(places_.size()); }
    QLabel* zoomImage() const { return image_; }
    QScrollArea* zoomArea() const { return scroll_; }

signals:
    void thumbnailClicked(int k);
    void pageClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createThumbnails();
    void destroyThumbnails();
    void positionThumbnails();
    void fillThumbnails();
    void createZoom();
    void destroyZoom();
    void fillZoom();
    QPixmap pixmap(int page, QSize size) const;

    const std::vector<Page>& pages_;
    PreviewState& state_;
    QSize natural_;
    double aspect_ = 1.414;
    double zoom_ = 0;
    std::vector<QLabel*> places_;
    int across_ = 0, down_ = 0;
    QScrollArea* scroll_ = nullptr;
    QLabel* image_ = nullptr;
};

}  // namespace marel
