#pragma once
// The window runtime's event dispatch. Every event passes through here before
// it reaches a window, which is where the runtime
// - makes the record buffers of the window's screen current (each screen
//   started from the frame has its own BufferSet; its forms, choosers and
//   previews run in the same set), and puts back the set that was current
//   before once the event is handled, so a nested event loop never leaves a
//   caller with another screen's buffers;
// - accepts the entry being edited before a click acts elsewhere in its
//   window or in the frame's menu and tool bar: a button, a lookup button or a
//   list never acts on a value the user typed but the program did not take.
#include <QApplication>

#include <memory>
#include <string>

#include "store/BufferSet.h"

namespace marel {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    // Also where an exception that escaped a handler ends: a write transaction
    // left open is rolled back, the user gets "Neočekivana greška: ..." and
    // the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    bool dispatch(QObject* receiver, QEvent* event);
    static void unexpected(const std::string& what);
};

// Gives a window (and everything inside it) a screen's buffer set.
void setBufferSet(QObject* window, std::shared_ptr<BufferSet> set);
// Gives a window the set that is current now: a form, chooser or preview runs
// in the set of the screen that opened it.
void inheritBufferSet(QObject* window);
// The set of an object: its own, or that of its nearest ancestor with one;
// nullptr when none has one.
std::shared_ptr<BufferSet> bufferSetOf(const QObject* object);

}  // namespace marel
