#include "ui/screens/Runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

namespace marel {

namespace {
const char* const kEnded = "marelEnded";
}

void markEnded(QObject* window) { window->setProperty(kEnded, true); }

bool windowEnded(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent())
        if (o->property(kEnded).toBool()) return true;
    return false;
}

void later(QObject* context, std::function<void()> f) {
    QMetaObject::invokeMethod(
        context,
        [context, f = std::move(f)] {
            if (!windowEnded(context)) f();
        },
        Qt::QueuedConnection);
}

void setClipboardText(const std::string& text) { QApplication::clipboard()->setText(QString::fromStdString(text)); }

std::string clipboardText() { return QApplication::clipboard()->text().toStdString(); }

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

int padStep(const QKeyEvent* e) {
    if (!(e->modifiers() & Qt::KeypadModifier)) return 0;
    return e->key() == Qt::Key_Plus ? 1 : e->key() == Qt::Key_Minus ? -1 : 0;
}

}  // namespace marel
