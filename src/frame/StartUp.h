#pragma once
// What the first text of the program waits for, done on a thread of its own
// while main() builds the window or the export: the system's font
// configuration, read from its XML files, and Qt's font database filled from
// it. The same as Qt does on demand; the main thread meanwhile goes on with
// the store and the widgets, which need no fonts. (On two cores a third
// thread, for other work, would only slow this one down.)
namespace marel::startup {

// Starts the thread; main() calls it first, before the application exists.
void begin();
// Ends the thread when it goes (end()).
struct [[nodiscard]] Joined {
    Joined() = default;
    Joined(const Joined&) = delete;
    Joined& operator=(const Joined&) = delete;
    ~Joined();
};
// The application exists: the thread may go on to Qt's font database.
Joined applicationMade();
// Returns once the fonts are ready to be used from this thread without the
// font configuration being read a second time. At once when begin() was not
// called (tests make the frame without it).
void awaitFonts();
// Waits for the thread to end; before the application goes.
void end();

}  // namespace marel::startup
