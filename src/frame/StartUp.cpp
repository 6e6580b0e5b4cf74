#include "frame/StartUp.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QImageReader>
#include <clocale>
#include <future>
#include <thread>

#ifdef MAREL_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace marel::startup {

namespace {

struct Threads {
    std::promise<void> applicationMade;
    std::shared_future<void> application = applicationMade.get_future().share();
    std::promise<void> fontsRead;
    std::shared_future<void> fontsReady = fontsRead.get_future().share();
    std::thread fonts, imagePlugins;
};

Threads* running = nullptr;

void readFonts(Threads& t) {
#ifdef MAREL_FONTCONFIG
    FcInit();
#endif
    t.application.wait();
    // Fills the font database, which serves every thread under its own lock.
    QFontDatabase::families();
    t.fontsRead.set_value();
}

// Qt asks every image format plugin about each picture file it opens, the
// first one (a button of the menu bar, from the style) loading them all.
void loadImagePlugins(Threads& t) {
    t.application.wait();
    QBuffer nothing;
    QImageReader(&nothing, "png").canRead();
}

}  // namespace

void begin(bool window) {
    if (running) return;
    // The font configuration reads numbers the way the C locale says; the
    // application sets it from the environment as it starts. Set here first,
    // it does not change under the thread's feet.
    std::setlocale(LC_ALL, "");
    running = new Threads;
    running->fonts = std::thread(readFonts, std::ref(*running));
    if (window) running->imagePlugins = std::thread(loadImagePlugins, std::ref(*running));
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
    running->fonts.join();
    if (running->imagePlugins.joinable()) running->imagePlugins.join();
    delete running;
    running = nullptr;
}

}  // namespace marel::startup
