#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QStringList>

#include "frame/StartUp.h"

using namespace marel;

// The start-up threads, for a window and for an export, one after the other
// in one process: the fonts are ready once awaited and the threads end with
// the guard, leaving the next start free to begin.
TEST(StartUp, FontsAreReadyWhenAwaitedAndTheThreadsEndWithTheGuard) {
    for (bool window : {true, false}) {
        startup::begin(window);
        const startup::Joined joined = startup::applicationMade();
        startup::awaitFonts();
        EXPECT_FALSE(QFontDatabase::families().isEmpty()) << "window " << window;
    }
}
