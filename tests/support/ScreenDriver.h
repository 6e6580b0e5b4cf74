#pragma once
// Working a screen as a user does: a form or chooser opened by a key press
// waits in its own event loop, so the steps inside it are queued before the
// key that opens it (`whenOpen`), and they find their controls by id.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>

#include "frame/Main.h"
#include "ui/screens/WindowBuilder.h"

namespace marel::test {

// The window the user works in now: the frame's active window, else the
// application's active window.
inline QWidget* activeContent() {
    if (MAIN* f = MAIN::frame())
        if (QMdiSubWindow* s = f->area()->activeSubWindow()) return s->widget();
    return QApplication::activeWindow();
}

inline WindowBuilder* builderOf(QWidget* window) {
    return window ? window->findChild<WindowBuilder*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

// Runs `step` on the window that is active once the next event loop turns,
// i.e. inside the form or chooser the next key press opens.
inline void whenOpen(std::function<void(WindowBuilder&)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        WindowBuilder* b = builderOf(activeContent());
        if (!b) {
            ADD_FAILURE() << "no window opened";
            return;
        }
        step(*b);
    });
}

// Types text key by key; letters beyond ASCII ("š", "Đ") arrive as the
// keyboard sends them, as text without a key code of their own.
inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 128) QTest::keyClick(w, char(c.unicode()));
        else QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Types into an entry as a user does: focus, select what is there, type.
inline void type(WindowBuilder& w, const std::string& id, const QString& text) {
    auto* e = w.control<QLineEdit>(id);
    ASSERT_NE(e, nullptr) << id;
    e->setFocus();
    e->selectAll();
    typeText(e, text);
}

// Leaves the entry with Tab, so it is accepted and the next control gets the focus.
inline void tab(WindowBuilder& w, const std::string& id) { QTest::keyClick(w.control(id), Qt::Key_Tab); }

inline void click(WindowBuilder& w, const std::string& id) {
    auto* b = w.control<QAbstractButton>(id);
    ASSERT_NE(b, nullptr) << id;
    QTest::mouseClick(b, Qt::LeftButton);
}

// Opens a screen through the frame's command, as the menu does, and lets its
// lists fill; nullptr (and a failure) when the screen does not open as a W.
template <class W = QWidget>
W* openScreen(MAIN& frame, const std::string& screen) {
    QMdiSubWindow* sub = frame.openScreen(screen);
    EXPECT_NE(sub, nullptr) << screen;
    QApplication::processEvents();
    return sub ? qobject_cast<W*>(sub->widget()) : nullptr;
}

inline QString title(WindowBuilder& w) { return w.root()->windowTitle(); }

}  // namespace marel::test
