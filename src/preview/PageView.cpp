#include "preview/PageView.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

#include "preview/WmfPlayer.h"

namespace marel {

PageView::PageView(const std::vector<Page>& pages, PreviewState& state, QWidget* parent)
    : QWidget(parent), pages_(pages), state_(state) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(p);
    setFocusPolicy(Qt::StrongFocus);
    // The first page gives the shape of every page.
    auto first = pages.empty() ? std::nullopt : pages.front().metafile();
    if (first && first->width() > 0 && first->height() > 0) {
        natural_ = naturalSize(*first);
        aspect_ = double(first->height()) / first->width();
    } else {
        natural_ = QSize(794, 1123);
    }
}

QLabel* PageView::place(int k) const { return k >= 1 && k <= placeCount() ? places_[size_t(k - 1)] : nullptr; }

void PageView::display(double zoom) {
    zoom_ = zoom;
    if (zoom != 0) {
        destroyThumbnails();
        if (!scroll_) createZoom();
        fillZoom();
    } else {
        destroyZoom();
        if (across_ != state_.across || down_ != state_.down) {
            destroyThumbnails();
            createThumbnails();
        }
        positionThumbnails();
        fillThumbnails();
    }
}

QPixmap PageView::pixmap(int page, QSize size) const {
    if (page < 1 || page > int(pages_.size())) return {};
    qreal ratio = devicePixelRatioF();
    QImage image = renderPage(pages_[size_t(page - 1)], size * ratio);
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(image);
}

void PageView::createThumbnails() {
    across_ = state_.across;
    down_ = state_.down;
    for (int k = 0; k < across_ * down_; ++k) {
        auto* l = new QLabel(this);
        l->setObjectName(QStringLiteral("thumbnail%1").arg(k + 1));
        l->setFrameShape(QFrame::Box);
        l->setLineWidth(1);
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, Qt::white);
        p.setColor(QPalette::WindowText, Qt::black);
        l->setPalette(p);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
        places_.push_back(l);
    }
}

void PageView::destroyThumbnails() {
    // Later: a click on a place may be what replaces it.
    for (QLabel* l : places_) {
        l->hide();
        l->deleteLater();
    }
    places_.clear();
    across_ = down_ = 0;
}

void PageView::positionThumbnails() {
    auto cells = thumbnailCells(width(), height(), across_, down_, aspect_);
    for (size_t k = 0; k < places_.size(); ++k) places_[k]->setGeometry(cells[k].x, cells[k].y, cells[k].width, cells[k].height);
}

void PageView::fillThumbnails() {
    for (int k = 1; k <= placeCount(); ++k) {
        QLabel* l = place(k);
        int page = state_.pageAt(k);
        l->setVisible(page != 0);
        if (page) l->setPixmap(pixmap(page, l->size() - QSize(2, 2)));
    }
}

void PageView::createZoom() {
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("zoomArea"));
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->horizontalScrollBar()->setSingleStep(52);
    scroll_->verticalScrollBar()->setSingleStep(51);
    image_ = new QLabel;
    image_->setObjectName(QStringLiteral("zoomImage"));
    image_->setCursor(Qt::PointingHandCursor);
    image_->installEventFilter(this);
    scroll_->setWidget(image_);
    scroll_->setGeometry(rect());
    scroll_->show();
    scroll_->setFocus();
}

void PageView::destroyZoom() {
    if (scroll_) {
        scroll_->hide();
        scroll_->deleteLater();
    }
    scroll_ = nullptr;
    image_ = nullptr;
}

void PageView::fillZoom() {
    double factor = zoom_;
    if (factor == PAGE_WIDTH) {
        int room = scroll_->width() - 2 * scroll_->frameWidth() - scroll_->verticalScrollBar()->sizeHint().width();
        factor = double(std::max(room, 50)) / natural_.width();
    }
    QSize size(std::max(1, int(natural_.width() * factor)), std::max(1, int(natural_.height() * factor)));
    int h = scroll_->horizontalScrollBar()->value(), v = scroll_->verticalScrollBar()->value();
    image_->setPixmap(pixmap(state_.page, size));
    image_->resize(size);
    scroll_->horizontalScrollBar()->setValue(h);
    scroll_->verticalScrollBar()->setValue(v);
}

void PageView::resizeEvent(QResizeEvent*) {
    if (scroll_) {
        scroll_->setGeometry(rect());
        if (zoom_ == PAGE_WIDTH) fillZoom();
    } else if (!places_.empty()) {
        positionThumbnails();
        fillThumbnails();
    }
}

bool PageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == image_) {
            emit pageClicked();
            return true;
        }
        for (int k = 1; k <= placeCount(); ++k)
            if (watched == place(k)) {
                emit thumbnailClicked(k);
                return true;
            }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace marel
