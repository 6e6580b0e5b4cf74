#include "ui/screens/UpdateFormView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>

#include "ui/screens/Runtime.h"

namespace marel {

UpdateFormView::UpdateFormView(UpdateForm& form, WindowResource resource, QWidget* caller)
    : form_(form), resource_(std::move(resource)), caller_(caller) {
    form_.busy = [](bool on) {
        if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    };
}

UpdateFormView::~UpdateFormView() {
    done_ = nullptr;
    if (!finished_ && builder_) cancelPressed();
}

QWidget* UpdateFormView::window() const { return sub_ ? static_cast<QWidget*>(sub_) : content_.data(); }

int UpdateFormView::exec(LONG request) {
    QEventLoop loop;
    int answer = REQUESTCANCELLED;
    start(request, [&](int response) {
        answer = response;
        loop.quit();
    });
    if (!finished_) loop.exec();
    return answer;
}

void UpdateFormView::start(LONG request, std::function<void(int)> done) {
    done_ = std::move(done);
    const bool window = form_.open(request);
    if (window) {
        show();
        return;
    }
    finished_ = true;
    if (done_) std::exchange(done_, nullptr)(form_.response());
}

void UpdateFormView::show() {
    content_ = new QWidget;
    content_->setAttribute(Qt::WA_DeleteOnClose);
    builder_ = new WindowBuilder(resource_, content_);
    content_->setWindowTitle(QString::fromStdString(form_.title()));
    builder_->setHistory([this](const FieldRef& field) { return form_.history(field); });
    if (builder_->control("ok")) builder_->onAccepted("ok", [this] { okPressed(); return true; });
    if (builder_->control("cancel")) builder_->onAccepted("cancel", [this] { cancelPressed(); return true; });
    if (onOpen) onOpen(*builder_);
    // Esc is Cancel, with Cancel's handling.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), content_);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { cancelPressed(); });

    placement_.show(content_, caller_, this);
    callerWindow_ = placement_.callerWindow;
    sub_ = placement_.sub;
    if (sub_) {
        connect(sub_->mdiArea(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
            if (finished_ || !sub_) return;
            // The caller waits for its form: choosing it brings the form forward.
            if (w && w == callerWindow_)
                later(this, [this] {
                    if (!finished_ && sub_) sub_->mdiArea()->setActiveSubWindow(sub_);
                });
        });
    }
    builder_->selectFirst();
}

void UpdateFormView::okPressed() {
    if (finished_ || !builder_->acceptAll()) return;
    const UpdateForm::Outcome outcome = form_.ok();
    switch (outcome) {
        case UpdateForm::Outcome::Close: finish(); break;
        case UpdateForm::Outcome::Stay:
            if (onRefresh) onRefresh();
            builder_->display();
            break;
        case UpdateForm::Outcome::FirstField:
            if (onRefresh) onRefresh();
            builder_->display();
            builder_->selectFirst();
            break;
    }
}

void UpdateFormView::cancelPressed() {
    if (finished_) return;
    form_.cancel();
    finish();
}

void UpdateFormView::finish() {
    if (finished_) return;
    finished_ = true;
    const int answer = form_.close();
    // The screen's handlers belong to the form that just ended; the window
    // goes later, and nothing it still has queued may reach them.
    if (builder_) builder_->detach();
    builder_ = nullptr;
    placement_.release(this);
    if (QWidget* w = window()) {
        w->removeEventFilter(this);
        w->close();
    }
    if (done_) std::exchange(done_, nullptr)(answer);
}

bool UpdateFormView::eventFilter(QObject* watched, QEvent* event) {
    if (finished_) return false;
    if (event->type() == QEvent::Close) {
        if (watched == callerWindow_) {
            // The caller waits for the answer: it cannot go before its form.
            event->ignore();
            return true;
        }
        if (watched == window()) {
            cancelPressed();
            return false;
        }
    }
    return false;
}

}  // namespace marel
