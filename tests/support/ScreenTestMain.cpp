#include <gtest/gtest.h>

#include "ui/screens/Application.h"

// Screen tests need one application object for the whole run: the program's
// own, so that events reach windows as they do in the program.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    marel::Application app(argc, argv);
    // A test that closes the frame must not end the run.
    app.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
