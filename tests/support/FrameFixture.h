#pragma once
// The program's frame on a fresh data folder, with every screen registered,
// as a bookkeeper sees it; windows open inside it.
#include <QCoreApplication>

#include "demo/DemoData.h"
#include "frame/Main.h"
#include "frame/Screens.h"
#include "session/Globals.h"
#include "support/StoreFixture.h"
#include "ui/screens/WindowHost.h"

namespace marel::test {

class FrameFixture : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        registerAllScreens();
        frame = new MAIN;
        setWindowHost(frame);
        frame->resize(1100, 760);
        frame->show();
    }
    void TearDown() override {
        delete frame;
        setWindowHost(nullptr);
        StoreFixture::TearDown();
    }

    MAIN* frame = nullptr;
};

// The frame on a fresh folder of demo data, as `marel --demo` starts: lists
// with records, forms that open on them.
class DemoFrameFixture : public StoreFixture {
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
    }
    void TearDown() override {
        delete frame;
        setWindowHost(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        programEnd();
        StoreFixture::TearDown();
    }

    MAIN* frame = nullptr;
};

}  // namespace marel::test
