#pragma once
// What the first window waits for besides its own making, done on threads of
// their own while main() builds it: the system's font configuration (read
// from its XML files, the slowest step before the first text can be
// measured) and Qt's image format plugins. The results are the same as when
// made on demand.
namespace marel::startup {

// Starts the threads; main() calls it first, before the application exists.
// An export shows no window and needs only the fonts.
void begin(bool window);
// Ends the threads when it goes (end()).
struct [[nodiscard]] Joined {
    Joined() = default;
    Joined(const Joined&) = delete;
    Joined& operator=(const Joined&) = delete;
    ~Joined();
};
// The application exists: the threads may go on to Qt's font database and
// plugins.
Joined applicationMade();
// Returns once the fonts are ready to be used from this thread without the
// font configuration being read a second time. At once when begin() was not
// called (tests make the frame without it).
void awaitFonts();
// Waits for the threads to end; before the application goes.
void end();

}  // namespace marel::startup
