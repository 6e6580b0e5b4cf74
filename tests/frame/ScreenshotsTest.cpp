#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <filesystem>

#include "demo/DemoData.h"
#include "frame/Main.h"
#include "frame/Screens.h"
#include "frame/Screenshots.h"
#include "session/Globals.h"
#include "support/StoreFixture.h"

using namespace marel;

namespace {

// The screenshot walk on two screens of the demo folder, so that it keeps
// working as the screens change: it opens the list, its forms and the
// choosers of the forms, takes each one and leaves nothing open behind.
class Screenshots : public test::StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        Store::main().close();
        // A folder of its own: the fixture's database has no reference tables.
        const std::string demo = (folder.path() / "demo").string();
        ASSERT_EQ(makeDemoData(demo), "");
        programStart(demo);
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1366, 768);
        frame->show();
        frame->activateWindow();
    }
    void TearDown() override {
        delete frame;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        programEnd();
        StoreFixture::TearDown();
    }
    MAIN* frame = nullptr;
};

TEST_F(Screenshots, TakesEveryWindowOfAScreenAndClosesThem) {
    const std::string out = (folder.path() / "slike").string();
    const ScreenshotReport r = takeScreenshots(*frame, out, {"BANKE", "ISPLATE"});
    // The bank list, its insert and change forms; the payment screen, the
    // forms of its three lists, the income-line forms within the payment's
    // form and their choosers.
    EXPECT_GE(r.files.size(), 8u);
    for (const std::string& f : r.files) {
        QImage picture(QString::fromStdString(f));
        EXPECT_FALSE(picture.isNull()) << f;
        EXPECT_GT(picture.width(), 100) << f;
    }
    EXPECT_TRUE(frame->area()->subWindowList().isEmpty());
    // The walk answered every question itself: nothing of it is left for the user.
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "slike" / "izvjestaj.txt"));
    EXPECT_EQ(&prompter(), &ask);
}

}  // namespace
