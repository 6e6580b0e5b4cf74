#include "preview/PreviewPages.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QStatusBar>

#include "preview/PageView.h"
#include "preview/Printing.h"

namespace marel {

PreviewPages::PreviewPages(QWidget* window, std::unique_ptr<Report> report)
    : window_(window), report_(std::move(report)), state_(int(report_->pages().size())) {}

PreviewPages::~PreviewPages() = default;

PageView* PreviewPages::addView(std::function<void(bool)> zoom) {
    view_ = new PageView(report_->pages(), state_, window_);
    QObject::connect(view_, &PageView::thumbnailClicked, window_, [this, zoom](int k) {
        state_.jump(state_.page + k - 1);
        zoom(true);
    });
    QObject::connect(view_, &PageView::pageClicked, window_, [zoom] { zoom(false); });
    return view_;
}

void PreviewPages::addStatus(QStatusBar* bar) {
    zoomStatus_ = new QLabel(bar);
    zoomStatus_->setObjectName(QStringLiteral("zoomStatus"));
    pageStatus_ = new QLabel(bar);
    pageStatus_->setObjectName(QStringLiteral("pageStatus"));
    bar->addWidget(zoomStatus_, 1);
    bar->addWidget(pageStatus_, 1);
    bar->setSizeGripEnabled(false);
}

void PreviewPages::display(double factor, const QString& zoomName) {
    state_.zoomed = factor != 0;
    view_->display(factor);
    zoomStatus_->setText(zoomName);
    pageStatus_->setText(QString::fromStdString(state_.pageText()));
}

void PreviewPages::addKeys(std::function<void()> previous, std::function<void()> next, std::function<void()> leave) {
    auto* up = new QShortcut(QKeySequence(Qt::Key_PageUp), window_, std::move(previous));
    auto* down = new QShortcut(QKeySequence(Qt::Key_PageDown), window_, std::move(next));
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), window_, std::move(leave));
    for (QShortcut* k : {up, down, esc}) k->setContext(Qt::WidgetWithChildrenShortcut);
}

std::optional<int> PreviewPages::askPage(const DialogTexts& texts) const {
    return marel::askPage(window_, texts, state_.page, state_.count());
}

bool PreviewPages::askGrid(const QString& title, const QString& group, const QString& acrossText,
                           const QString& downText, const QString& accept) {
    int across = state_.across, down = state_.down;
    if (!marel::askGrid(window_, title, group, acrossText, downText, accept, across, down)) return false;
    state_.across = across;
    state_.down = down;
    return true;
}

void PreviewPages::saveAsPdf(const std::string& title) const {
    marel::saveAsPdf(report_->pages(), title, report_->fileName());
}

void PreviewPages::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window_->parentWidget()))
        sub->close();
    else
        window_->close();
}

bool PreviewPages::closing() {
    if (closed_) return false;
    closed_ = true;
    return true;
}

}  // namespace marel
