#pragma once
// Working the program on a real desktop: the frame on the xcb platform under a
// window manager, and input that goes through the X server as a user's does
// (xdotool), so activation, focus and maximize come from the window manager.
//
// A step that opens a form or a chooser returns only when that window closes,
// so a test is a script of steps run by a timer: each step waits until its
// condition holds, then acts. The script runs to its end or stops at the first
// condition that does not come, naming it. Forms and lists still open at the
// end are closed (they wait in event loops of their own, inside run()), so a
// script looks at what it needs in its last steps.
#include <gtest/gtest.h>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/Main.h"
#include "support/FrameFixture.h"
#include "ui/screens/WindowBuilder.h"

class QMdiSubWindow;

namespace marel::test {

class DesktopScript {
public:
    // Waits until `ready` holds; `what` names it when it never does.
    DesktopScript& waitFor(std::string what, std::function<bool()> ready);
    // Runs `act` (which may open a window and not return until it closes).
    DesktopScript& then(std::function<void()> act);
    // Keys as the keyboard sends them to the focused window: "alt+s", "Return", "7 7".
    DesktopScript& key(std::string keys);
    DesktopScript& type(std::string text);
    // A left click in the middle of a widget, once it is shown and enabled.
    DesktopScript& click(std::string what, std::function<QWidget*()> target);
    // Lets the window manager and the program finish what they are doing.
    DesktopScript& pause(int ms);

    // Runs the steps; false (see failure()) when one did not come in time.
    bool run(int timeoutMs = 30000);
    const std::string& failure() const { return failure_; }

private:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
        QStringList xdotool;  // arguments of an X input step
    };
    void poll();
    void stop(std::string why);

    std::vector<Step> steps_;
    size_t next_ = 0;
    bool waitingForX_ = false;
    bool done_ = false;
    std::string failure_;
    std::string waitingOn_;
    qint64 stepStarted_ = 0;
    int stepLimitMs_ = 20000;  // a loaded machine is slow, not wrong
    std::shared_ptr<bool> back_;  // the test is back in its own loop
    QObject context_;             // timers end with the script
};

// The program's frame on a fresh demo data folder, on the real desktop.
class DesktopFixture : public DemoFrameFixture {
protected:
    void TearDown() override;
    // The frame at a size (not maximized), or maximized on the screen.
    void frameAt(int width, int height);
    void frameMaximized();

    // The frame's active window (its content), its title and builder.
    QWidget* active() const;
    QString activeTitle() const;
    WindowBuilder* activeBuilder() const;
    // Every window of the frame whose title is `title`.
    std::vector<QMdiSubWindow*> windowsTitled(const QString& title) const;
    // A control of the active window, for a script's click.
    std::function<QWidget*()> inActive(std::string id) const;
};

}  // namespace marel::test
