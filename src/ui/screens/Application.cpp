#include "ui/screens/Application.h"

#include <QHash>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>

#include "common/Prompter.h"
#include "store/Store.h"
#include "ui/screens/Runtime.h"
#include "ui/screens/WindowBuilder.h"

namespace marel {

namespace {

QHash<const QObject*, std::shared_ptr<BufferSet>>& sets() {
    static QHash<const QObject*, std::shared_ptr<BufferSet>> map;
    return map;
}

}  // namespace

void setBufferSet(QObject* window, std::shared_ptr<BufferSet> set) {
    if (!window) return;
    auto& map = sets();
    if (!map.contains(window))
        QObject::connect(window, &QObject::destroyed, [window] { sets().remove(window); });
    map.insert(window, std::move(set));
}

void inheritBufferSet(QObject* window) { setBufferSet(window, BufferSet::current()); }

std::shared_ptr<BufferSet> bufferSetOf(const QObject* object) {
    const auto& map = sets();
    if (map.isEmpty()) return nullptr;
    for (const QObject* o = object; o; o = o->parent())
        if (auto it = map.constFind(o); it != map.constEnd()) return *it;
    return nullptr;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    // The last line of defence: an error nothing below handled must not end
    // the program with the user's work in it. What was being written is undone,
    // the user is told once, and the program goes on with the next event.
    try {
        return dispatch(receiver, event);
    } catch (const ProgramHalted&) {
        throw;  // tests stand in for the end of the program with it
    } catch (const std::exception& e) {
        unexpected(e.what());
    } catch (...) {
        unexpected("nepoznata vrsta greške");
    }
    return true;  // the event reached its handler; nobody else is to act on it
}

void Application::unexpected(const std::string& what) {
    Store& store = Store::main();
    if (store.inTransaction()) store.rollback();
    // Showing the message runs an event loop; should the same fault come up
    // again in it (a paint handler that always throws), the user does not get
    // a cascade of boxes.
    static bool showing = false;
    if (showing) {
        std::fprintf(stderr, "Neočekivana greška: %s\n", what.c_str());
        return;
    }
    showing = true;
    try {
        message("Neočekivana greška: " + what, "Greška", Icon::Hand);
    } catch (...) {
        std::fprintf(stderr, "Neočekivana greška: %s\n", what.c_str());
    }
    showing = false;
}

bool Application::dispatch(QObject* receiver, QEvent* event) {
    // A screen's handlers always run with its own buffers; whatever the event
    // starts (a nested loop, other screens' events), the caller gets its set back.
    const std::shared_ptr<BufferSet> before = BufferSet::current();
    if (std::shared_ptr<BufferSet> own = bufferSetOf(receiver); own && own != before) BufferSet::makeCurrent(own);
    struct Back {
        const std::shared_ptr<BufferSet>& set;
        ~Back() { BufferSet::makeCurrent(set); }
    } back{before};

    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (receiver->isWidgetType() && !WindowBuilder::acceptTyped(static_cast<QWidget*>(receiver))) return true;
            break;
        default: break;
    }
    const bool handled = QApplication::notify(receiver, event);
    // A window of the frame is a child widget; a window of its own is a top-level one.
    if (event->type() == QEvent::Close && event->isAccepted() && receiver->isWidgetType() &&
        (static_cast<QWidget*>(receiver)->isWindow() || receiver->inherits("QMdiSubWindow")))
        markEnded(receiver);
    return handled;
}

}  // namespace marel
