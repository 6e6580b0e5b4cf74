#pragma once
// A window that another window waits for (a form, a chooser): it opens beside
// its caller in the frame and blocks only that caller; every other window
// stays usable. Without a frame (screen tests) it is a window of its own,
// modal to the caller's window.
#include <QPointer>

class QMdiArea;
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

// Shows `content` as a window of the frame's working area, at the content's
// own size when it has one, wholly inside the area (as near `preferred` as it
// fits, where the area put it when there is none; shrunk only when larger
// than the area), in the record buffers of its screen, and makes it active.
QMdiSubWindow* showInArea(QMdiArea* area, QWidget* content, const QPoint* preferred = nullptr);

// A procedure a window calls (`UPISBANKE(this).run(request)`): the form or
// window it opens waits beside that caller only. Each states its own run().
class FormProcedure {
public:
    explicit FormProcedure(QWidget* caller) : caller_(caller) {}

protected:
    QWidget* caller_;
};

// Shows `content` beside `caller` and returns when its window has closed.
// Meanwhile the caller cannot close, and every other window stays usable.
void waitBesideCaller(QWidget* content, QWidget* caller);

}  // namespace marel
