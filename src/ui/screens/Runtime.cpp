#include "ui/screens/Runtime.h"

#include <QApplication>
#include <QClipboard>

namespace marel {

void later(QObject* context, std::function<void()> f) {
    QMetaObject::invokeMethod(context, std::move(f), Qt::QueuedConnection);
}

void setClipboardText(const std::string& text) { QApplication::clipboard()->setText(QString::fromStdString(text)); }

std::string clipboardText() { return QApplication::clipboard()->text().toStdString(); }

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

}  // namespace marel
