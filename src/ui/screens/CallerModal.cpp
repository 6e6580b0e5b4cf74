#include "ui/screens/CallerModal.h"

#include <QEvent>
#include <QEventLoop>
#include <QMdiArea>
#include <QPointer>
#include <QMdiSubWindow>
#include <QWidget>

#include <algorithm>

#include "common/Prompter.h"
#include "ui/screens/Application.h"
#include "ui/screens/Runtime.h"

namespace marel {

void CallerModal::show(QWidget* content, QWidget* caller, QObject* filter) {
    // The called window works in its caller's record buffers.
    inheritBufferSet(content);
    noteUserTurn();
    QMdiSubWindow* callerSub = nullptr;
    for (QWidget* w = caller; w && !callerSub; w = w->parentWidget()) callerSub = qobject_cast<QMdiSubWindow*>(w);
    if (callerSub && callerSub->mdiArea()) {
        QMdiArea* area = callerSub->mdiArea();
        callerWindow = callerSub;
        // A maximized caller would take its window's place and leave it blank:
        // the two stand side by side while the window is open.
        callerWasMaximized = callerSub->isMaximized();
        if (callerWasMaximized) callerSub->showNormal();
        if (callerSub->widget()) callerSub->widget()->setEnabled(false);
        const QPoint beside = callerSub->pos() + QPoint(24, 24);
        sub = showInArea(area, content, &beside);
        sub->installEventFilter(filter);
    } else {
        callerWindow = caller ? caller->window() : nullptr;
        content->setParent(callerWindow, Qt::Window);
        if (callerWindow) content->setWindowModality(Qt::WindowModal);
        content->installEventFilter(filter);
        content->show();
        content->activateWindow();
    }
    if (callerWindow) callerWindow->installEventFilter(filter);
}

QWidget* CallerModal::window(QWidget* content) const {
    return sub ? static_cast<QWidget*>(sub.data()) : content;
}

void CallerModal::release(QObject* filter) {
    if (!callerWindow) return;
    callerWindow->removeEventFilter(filter);
    if (auto* s = qobject_cast<QMdiSubWindow*>(callerWindow.data())) {
        if (s->widget()) s->widget()->setEnabled(true);
        if (callerWasMaximized) s->showMaximized();
        if (sub && s->mdiArea()) s->mdiArea()->setActiveSubWindow(s);
    }
}

namespace {

void fitInArea(QMdiSubWindow* sub, QPoint preferred) {
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (!area || sub->isMaximized()) return;
    const QSize room = area->viewport()->size();
    if (room.isEmpty()) return;
    const QSize size = sub->size().boundedTo(room);
    if (size != sub->size()) sub->resize(size);
    preferred.setX(std::clamp(preferred.x(), 0, std::max(0, room.width() - size.width())));
    preferred.setY(std::clamp(preferred.y(), 0, std::max(0, room.height() - size.height())));
    sub->move(preferred);
}

}  // namespace

QMdiSubWindow* showInArea(QMdiArea* area, QWidget* content, const QPoint* preferred) {
    // The content's own size (a form's resource) is what the window shows;
    // without it the window would shrink to its title bar.
    const bool sized = content->testAttribute(Qt::WA_Resized);
    const QSize size = content->size();
    QMdiSubWindow* sub = area->addSubWindow(content);
    if (!bufferSetOf(content)) inheritBufferSet(content);
    setBufferSet(sub, bufferSetOf(content));
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    if (sized) {
        // Over a maximized window the new one shows maximized too; its frame
        // (and the size it takes back when restored) is that of a normal one.
        const bool maximized = sub->isMaximized();
        if (maximized) sub->showNormal();
        sub->resize(size + sub->size() - content->size());
        if (maximized) sub->showMaximized();
    }
    fitInArea(sub, preferred ? *preferred : sub->pos());
    // The window's frame takes its final size once it is laid out.
    later(sub, [s = QPointer<QMdiSubWindow>(sub)] {
        if (s) fitInArea(s, s->pos());
    });
    area->setActiveSubWindow(sub);
    return sub;
}

namespace {

class Waiter : public QObject {
public:
    QEventLoop loop;
    CallerModal placement;
    QPointer<QWidget> content;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            if (watched == placement.callerWindow) {
                event->ignore();
                return true;
            }
            if (content && watched == placement.window(content)) loop.quit();
        }
        return false;
    }
};

}  // namespace

void waitBesideCaller(QWidget* content, QWidget* caller) {
    Waiter waiter;
    waiter.content = content;
    QPointer<QWidget> window;
    waiter.placement.show(content, caller, &waiter);
    window = waiter.placement.window(content);
    if (window) waiter.loop.exec();
    waiter.placement.release(&waiter);
}

}  // namespace marel
