#pragma once
// Where the windows of screens, choosers and previews go. The frame of the
// running program registers itself as the host at start-up and puts them in
// its working area; without a host (a screen tried on its own) each one is a
// top-level window. Lower layers open windows only through here, never
// through the frame itself.
class QWidget;

namespace marel {

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Shows `widget` as a window of the program; the widget is deleted when
    // its window closes. Returns the window that holds it.
    virtual QWidget* openWindow(QWidget* widget) = 0;
    // The width a window can have without being squeezed, frame included.
    virtual int roomWidth() const = 0;
};

// The host of every window opened from now on; nullptr goes back to
// top-level windows. The host must withdraw itself before it goes.
void setWindowHost(WindowHost* host);
WindowHost* windowHost();

// Opens `widget` through the host, or as a top-level window when there is none.
QWidget* openWindow(QWidget* widget);
// The width of the room windows open in: the host's working area, or the
// screen's when there is no host.
int windowRoomWidth();

}  // namespace marel
