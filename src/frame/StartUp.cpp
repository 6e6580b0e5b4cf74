#include "frame/StartUp.h"

#include <QFontDatabase>
#include <QStringList>
#include <clocale>
#include <future>
#include <thread>

#ifdef MAREL_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace marel::startup {

namespace {

struct Thread {
    std::promise<void> applicationMade;
    std::shared_future<void> application = applicationMade.get_future().share();
    std::promise<void> fontsRead;
    std::shared_future<void> fontsReady = fontsRead.get_future().share();
    std::thread thread;
};

Thread* running = nullptr;

void readFonts(Thread& t) {
#ifdef MAREL_FONTCONFIG
    FcInit();
#endif
    t.application.wait();
    // Fills the font database, which serves every thread under its own lock.
    QFontDatabase::families();
    t.fontsRead.set_value();
}

}  // namespace

void begin() {
    if (running) return;
    // The font configuration reads numbers the way the C locale says; the
    // application sets it from the environment as it starts. Set here first,
    // it does not change under the thread's feet.
    std::setlocale(LC_ALL, "");
    running = new Thread;
    running->thread = std::thread(readFonts, std::ref(*running));
}

Joined applicationMade() {
    if (running) running->applicationMade.set_value();
    return {};
}

Joined::~Joined() { end(); }

void awaitFonts() {
    if (running) running->fontsReady.wait();
}

void end() {
    if (!running) return;
    running->thread.join();
    delete running;
    running = nullptr;
}

}  // namespace marel::startup
