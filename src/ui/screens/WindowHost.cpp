#include "ui/screens/WindowHost.h"

#include <QWidget>

namespace marel {

namespace {
WindowHost* theHost = nullptr;
}

void setWindowHost(WindowHost* host) { theHost = host; }

WindowHost* windowHost() { return theHost; }

QWidget* openWindow(QWidget* widget) {
    if (theHost) return theHost->openWindow(widget);
    widget->setAttribute(Qt::WA_DeleteOnClose);
    widget->show();
    return widget;
}

}  // namespace marel
