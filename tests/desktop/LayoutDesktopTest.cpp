// The layout of the program's windows at the frame sizes a bookkeeper's
// screen gives it, under a window manager: the screenshot walk opens each
// screen, its forms and their choosers, alone and over a maximized payments
// window, and finds no control over another, no caption running into its
// field, no control outside its window or group and no list column that is
// neither whole nor reachable by scrolling.
#include <QMdiArea>
#include <QTest>

#include <ostream>
#include <string>

#include "frame/Screenshots.h"
#include "support/Desktop.h"

using namespace marel;
using namespace marel::test;

namespace {

struct FrameSize {
    int width, height;
};

std::string sizeName(const FrameSize& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }
void PrintTo(const FrameSize& s, std::ostream* os) { *os << sizeName(s); }

class Layout : public DesktopFixture, public ::testing::WithParamInterface<FrameSize> {
protected:
    // The frame as large, window manager's frame included, as it is when
    // maximized on a screen of that size.
    void frameOfSize(const FrameSize& s) {
        frameAt(s.width, s.height);
        const QSize decoration = frame->frameGeometry().size() - frame->size();
        if (decoration.width() > 0 || decoration.height() > 0)
            frameAt(s.width - decoration.width(), s.height - decoration.height());
        // In the screen's corner, its title bar on the screen too.
        frame->move(0, 0);
        EXPECT_TRUE(QTest::qWaitFor([this] { return frame->frameGeometry().topLeft() == QPoint(0, 0); }, 2000));
        QTest::qWait(100);
        EXPECT_EQ(frame->frameGeometry().size(), QSize(s.width, s.height));
    }
};

TEST_P(Layout, EveryWindowHoldsItsControlsApart) {
    frameOfSize(GetParam());
    // Every screen the frame starts, with every window it opens.
    const std::vector<std::string>& screens = screenshotScreens();
    const ScreenshotReport r = takeScreenshots(*frame, (folder.path() / sizeName(GetParam())).string(), screens);
    EXPECT_GE(r.files.size(), 2 * screens.size());
    std::string findings;
    for (const std::string& f : r.layout) findings += "\n  " + f;
    EXPECT_TRUE(r.layout.empty()) << "frame " << sizeName(GetParam()) << ":" << findings;
    EXPECT_TRUE(frame->area()->subWindowList().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(FrameSizes, Layout, ::testing::Values(FrameSize{1024, 768}, FrameSize{1366, 768}),
                         [](const ::testing::TestParamInfo<FrameSize>& i) { return "Frame" + sizeName(i.param); });

}  // namespace
