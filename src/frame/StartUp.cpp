#include "frame/StartUp.h"

#include <QFontDatabase>
#include <clocale>
#include <future>
#include <thread>

#include "frame/Artwork.h"

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
    std::thread fonts, pictures;
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

// Painting needs the application's default font, even into an image.
void drawPictures(Threads& t) {
    t.application.wait();
    // The window's own icon is asked for first, the rest when the menus are built.
    artwork::drawAhead(true);
    artwork::drawAhead(false);
}

}  // namespace

void begin(bool pictures) {
    if (running) return;
    // The font configuration reads numbers the way the C locale says; the
    // application sets it from the environment as it starts. Set here first,
    // it does not change under the thread's feet.
    std::setlocale(LC_ALL, "");
    running = new Threads;
    running->fonts = std::thread(readFonts, std::ref(*running));
    if (pictures) running->pictures = std::thread(drawPictures, std::ref(*running));
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
    if (running->pictures.joinable()) running->pictures.join();
    delete running;
    running = nullptr;
}

}  // namespace marel::startup
