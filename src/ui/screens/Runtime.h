#pragma once
// Small services of the window runtime: the clipboard, the busy cursor and
// random numbers (the last kept Qt-free in common/ for the core).
#include <string>

#include "common/Random.h"

namespace marel {

void setClipboardText(const std::string& text);
std::string clipboardText();

// Shows the hourglass for as long as the object lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace marel
