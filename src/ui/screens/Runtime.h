#pragma once
// Small services of the window runtime: the clipboard, the busy cursor and
// random numbers (the last kept Qt-free in common/ for the core).
#include <boost/core/noncopyable.hpp>
#include <functional>
#include <string>

#include "common/Random.h"

class QKeyEvent;
class QObject;

namespace marel {

// Runs `f` once the events already queued are handled, as an event of
// `context`: it runs with context's buffer set, and not at all once context
// is gone or its window has been closed.
void later(QObject* context, std::function<void()> f);

// A window that has been closed has ended, even before it is deleted: work
// queued for it or anything inside it no longer runs.
void markEnded(QObject* window);
bool windowEnded(const QObject* object);

// +1 for the numeric pad's +, -1 for its -, 0 for any other key: the keys
// that step a date, a year or a number in its entry.
int padStep(const QKeyEvent* e);

void setClipboardText(const std::string& text);
std::string clipboardText();

// Shows the hourglass for as long as the object lives.
class BusyCursor : private boost::noncopyable {
public:
    BusyCursor();
    ~BusyCursor();
};

}  // namespace marel
