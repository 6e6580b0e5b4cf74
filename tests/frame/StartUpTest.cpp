#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QStringList>

#include "frame/StartUp.h"

using namespace marel;

// Two starts one after the other in one process: the fonts are ready once
// awaited and the thread ends with the guard, leaving the next start free to
// begin.
TEST(StartUp, FontsAreReadyWhenAwaitedAndTheThreadEndsWithTheGuard) {
    for (int start = 1; start <= 2; ++start) {
        startup::begin();
        const startup::Joined joined = startup::applicationMade();
        startup::awaitFonts();
        EXPECT_FALSE(QFontDatabase::families().isEmpty()) << "start " << start;
    }
}
