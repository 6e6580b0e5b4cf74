#include "ui/screens/CallerModal.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

namespace marel {

void CallerModal::show(QWidget* content, QWidget* caller, QObject* filter) {
    QMdiSubWindow* callerSub = nullptr;
    for (QWidget* w = caller; w && !callerSub; w = w->parentWidget()) callerSub = qobject_cast<QMdiSubWindow*>(w);
    if (callerSub && callerSub->mdiArea()) {
        QMdiArea* area = callerSub->mdiArea();
        callerWindow = callerSub;
        if (callerSub->widget()) callerSub->widget()->setEnabled(false);
        // The window keeps the size its resource gave it; the frame adds its border.
        const bool sized = content->testAttribute(Qt::WA_Resized);
        const QSize size = content->size();
        sub = area->addSubWindow(content);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->installEventFilter(filter);
        sub->show();
        if (sized) sub->resize(size + sub->size() - content->size());
        area->setActiveSubWindow(sub);
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
        if (sub && s->mdiArea()) s->mdiArea()->setActiveSubWindow(s);
    }
}

}  // namespace marel
