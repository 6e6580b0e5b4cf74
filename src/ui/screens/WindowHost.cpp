#include "ui/screens/WindowHost.h"

#include <QGuiApplication>
#include <QScreen>

#include <QWidget>

#include "ui/screens/Application.h"

namespace marel {

namespace {
WindowHost* theHost = nullptr;
}

void setWindowHost(WindowHost* host) { theHost = host; }

WindowHost* windowHost() { return theHost; }

int windowRoomWidth() {
    if (theHost) return theHost->roomWidth();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().width() : 1024;
}

QWidget* openWindow(QWidget* widget) {
    if (theHost) return theHost->openWindow(widget);
    widget->setAttribute(Qt::WA_DeleteOnClose);
    // A window opened from a screen works in that screen's buffers.
    if (!bufferSetOf(widget)) inheritBufferSet(widget);
    widget->show();
    return widget;
}

}  // namespace marel
