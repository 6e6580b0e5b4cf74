#pragma once
// A window that another window waits for (a form, a chooser): it opens beside
// its caller in the frame and blocks only that caller; every other window
// stays usable. Without a frame (screen tests) it is a window of its own,
// modal to the caller's window.
#include <QPointer>

class QMdiSubWindow;
class QPoint;
class QObject;
class QWidget;

namespace marel {

struct CallerModal {
    QPointer<QWidget> callerWindow;  // the window that waits
    QPointer<QMdiSubWindow> sub;     // the new window in the frame, if any
    bool callerWasMaximized = false;  // shown normal while its window is open

    // Shows `content` beside `caller`; `filter` watches the caller (it must not
    // close first) and the new window.
    void show(QWidget* content, QWidget* caller, QObject* filter);
    // The window that holds the content (the MDI window or the content itself).
    QWidget* window(QWidget* content) const;
    // Gives the caller back its input and the focus.
    void release(QObject* filter);
};

// Puts a window of the frame wholly inside the frame's working area, as near
// `preferred` as it fits, shrinking it only when it is larger than the area.
void fitInArea(QMdiSubWindow* sub, QPoint preferred);

// Shows `content` beside `caller` and returns when its window has closed.
// Meanwhile the caller cannot close, and every other window stays usable.
void waitBesideCaller(QWidget* content, QWidget* caller);

}  // namespace marel
