#include "support/Desktop.h"

#include <QApplication>
#include <QDateTime>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include "demo/DemoData.h"
#include "frame/Screens.h"
#include "session/Globals.h"
#include "ui/screens/WindowHost.h"

namespace marel::test {

DesktopScript& DesktopScript::waitFor(std::string what, std::function<bool()> ready) {
    steps_.push_back({std::move(what), std::move(ready), nullptr, {}});
    return *this;
}

DesktopScript& DesktopScript::then(std::function<void()> act) {
    steps_.push_back({"", nullptr, std::move(act), {}});
    return *this;
}

namespace {

// Keys go where the X server has its focus: they wait until a window of the
// program has it, and a dialog that just opened has taken it from the frame.
bool keyboardReady() {
    QWidget* active = QApplication::activeWindow();
    QWidget* modal = QApplication::activeModalWidget();
    return active && (!modal || modal == active);
}

}  // namespace

DesktopScript& DesktopScript::key(std::string keys) {
    QStringList args{"key", "--clearmodifiers", "--delay", "30"};
    args += QString::fromStdString(keys).split(' ', Qt::SkipEmptyParts);
    steps_.push_back({"tipke " + keys, keyboardReady, nullptr, args});
    return *this;
}

DesktopScript& DesktopScript::type(std::string text) {
    steps_.push_back({"tipkanje " + text, keyboardReady, nullptr,
                      {"type", "--clearmodifiers", "--delay", "30", QString::fromStdString(text)}});
    return *this;
}

DesktopScript& DesktopScript::click(std::string what, std::function<QWidget*()> target) {
    auto shown = [target] {
        QWidget* w = target();
        return w && w->isVisible() && w->isEnabled() && w->window()->isActiveWindow();
    };
    waitFor(what + " se vidi", shown);
    // The position is taken when the step runs: the window may have moved.
    Step s{"klik na " + what, nullptr, nullptr, {}};
    s.act = [this, target] {
        QWidget* w = target();
        if (!w) return;
        const QPoint at = w->mapToGlobal(w->rect().center());
        steps_[next_ - 1].xdotool = {"mousemove", QString::number(at.x()), QString::number(at.y()),
                                     "click", "1"};
    };
    steps_.push_back(std::move(s));
    return *this;
}

DesktopScript& DesktopScript::pause(int ms) {
    auto until = std::make_shared<qint64>(0);
    steps_.push_back({"", nullptr, [until, ms] { *until = QDateTime::currentMSecsSinceEpoch() + ms; }, {}});
    steps_.push_back({"stanka", [until] { return QDateTime::currentMSecsSinceEpoch() >= *until; }, nullptr, {}});
    return *this;
}

namespace {

// A script that stopped half way leaves forms and choosers open, each waiting
// in its own event loop: they are closed, innermost first, until the test is
// back in its own loop.
void unwind(std::shared_ptr<bool> back) {
    if (*back) return;
    if (QWidget* w = QApplication::activePopupWidget()) w->close();
    else if (QWidget* w = QApplication::activeModalWidget()) w->close();
    else if (MAIN* f = MAIN::frame()) {
        if (QMdiSubWindow* s = f->area()->activeSubWindow()) s->close();
        else if (!f->area()->subWindowList().isEmpty()) f->area()->subWindowList().last()->close();
    }
    QTimer::singleShot(100, [back] { unwind(back); });
}

}  // namespace

void DesktopScript::poll() {
    if (done_) return;
    // The next turn is set before a step acts: an act may not return until
    // the window it opens closes, and the script goes on meanwhile.
    QTimer::singleShot(15, &context_, [this] { poll(); });
    if (waitingForX_) return;
    if (next_ >= steps_.size()) {
        done_ = true;
        unwind(back_);
        return;
    }
    Step& s = steps_[next_];
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (stepStarted_ == 0) stepStarted_ = now;
    if (s.ready && !s.ready()) {
        if (now - stepStarted_ > stepLimitMs_) {
            stop("korak " + std::to_string(next_ + 1) + ": nije se dogodilo: " + s.what);
        }
        return;
    }
    ++next_;
    stepStarted_ = 0;
    if (qEnvironmentVariableIsSet("DESKTOP_TRACE") && !s.what.empty())
        fprintf(stderr, "korak %zu: %s\n", next_, s.what.c_str());
    if (s.act) s.act();
    // An act may fill in the X input (a click takes its position late).
    const QStringList args = steps_[next_ - 1].xdotool;
    if (args.isEmpty()) return;
    waitingForX_ = true;
    auto* p = new QProcess;
    QObject::connect(p, &QProcess::finished, &context_, [this, p](int code) {
        if (code != 0) stop("xdotool: " + p->readAllStandardError().toStdString());
        waitingForX_ = false;
        p->deleteLater();
    });
    p->start(QStringLiteral("xdotool"), args);
}

bool DesktopScript::run(int timeoutMs) {
    done_ = false;
    next_ = 0;
    failure_.clear();
    back_ = std::make_shared<bool>(false);
    QTimer::singleShot(0, &context_, [this] { poll(); });
    // The limit is kept by a timer: a step that opens a window keeps this
    // loop waiting until that window closes.
    QTimer::singleShot(timeoutMs, &context_, [this] {
        if (done_) return;
        stop("skripta nije završila: stoji na koraku " + std::to_string(next_ + 1));
    });
    (void)QTest::qWaitFor([this] { return done_; }, 3600000);
    *back_ = true;
    // Let a last X event reach its window before the test looks.
    QTest::qWait(50);
    return failure_.empty();
}

void DesktopScript::stop(std::string why) {
    if (failure_.empty()) {
        // What the user had in front at that moment says most about why.
        QString front;
        if (MAIN* f = MAIN::frame(); f && f->area()->activeSubWindow()) front = f->area()->activeSubWindow()->windowTitle();
        failure_ = why + " (u prvom planu: \"" + front.toStdString() + "\")";
    }
    done_ = true;
    unwind(back_);
}

// ---------------------------------------------------------------- fixture

void DesktopFixture::TearDown() {
    // Whatever a failed script left open goes with the frame.
    if (frame) {
        for (QMdiSubWindow* s : frame->area()->subWindowList()) s->close();
        QTest::qWait(50);
    }
    DemoFrameFixture::TearDown();
}

void DesktopFixture::frameAt(int width, int height) {
    frame->showNormal();
    frame->setGeometry(0, 0, width, height);
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    (void)QTest::qWaitFor([this, width] { return frame->width() == width; }, 2000);
}

void DesktopFixture::frameMaximized() {
    frame->showMaximized();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    QTest::qWait(100);
}

QWidget* DesktopFixture::active() const {
    QMdiSubWindow* s = frame ? frame->area()->activeSubWindow() : nullptr;
    return s ? s->widget() : nullptr;
}

QString DesktopFixture::activeTitle() const {
    QMdiSubWindow* s = frame ? frame->area()->activeSubWindow() : nullptr;
    return s ? s->windowTitle() : QString();
}

WindowBuilder* DesktopFixture::activeBuilder() const {
    QWidget* w = active();
    return w ? w->findChild<WindowBuilder*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

std::vector<QMdiSubWindow*> DesktopFixture::windowsTitled(const QString& title) const {
    std::vector<QMdiSubWindow*> found;
    for (QMdiSubWindow* s : frame->area()->subWindowList())
        if (s->windowTitle() == title && s->isVisible()) found.push_back(s);
    return found;
}

std::function<QWidget*()> DesktopFixture::inActive(std::string id) const {
    return [this, id] {
        WindowBuilder* b = activeBuilder();
        return b ? b->control(id) : nullptr;
    };
}

}  // namespace marel::test
