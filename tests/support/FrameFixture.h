#pragma once
// The program's frame on a fresh data folder, with every screen registered,
// as a bookkeeper sees it; windows open inside it.
#include "frame/Main.h"
#include "frame/Screens.h"
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

}  // namespace marel::test
