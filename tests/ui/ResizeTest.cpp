#include <gtest/gtest.h>

#include "ui/Resize.h"

using namespace marel;

namespace {

// A 200 x 100 window: an entry, a button at each bottom corner, a check box
// and a list.
class Resize : public ::testing::Test {
protected:
    enum { ENTRY = 1, RIGHTBUTTON, LEFTBUTTON, CHECK, LIST, MENU };
    void SetUp() override {
        // Listed out of order on purpose: the table is kept by control number.
        r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 200, 100},
                     {{LIST, ResizeKind::Other, {10, 55, 100, 20}},
                      {ENTRY, ResizeKind::Entry, {10, 10, 50, 12}},
                      {RIGHTBUTTON, ResizeKind::Button, {150, 80, 40, 14}},
                      {LEFTBUTTON, ResizeKind::Button, {10, 80, 40, 14}},
                      {CHECK, ResizeKind::Check, {10, 40, 60, 10}},
                      {MENU, ResizeKind::None, {0, 0, 200, 10}}});
    }
    Rect at(const std::vector<WINDOWRESIZETYPE::Move>& moves, int number) {
        for (auto& m : moves)
            if (m.number == number) return m.rect;
        ADD_FAILURE() << "control " << number << " not moved";
        return {};
    }
    WINDOWRESIZETYPE r;
};

}  // namespace

TEST_F(Resize, TwiceAsWideStretchesEntriesAndKeepsButtonsAtTheirEdges) {
    auto moves = r.RESIZE({0, 0, 400, 100});
    ASSERT_EQ(moves.size(), 5u);  // no menu
    for (size_t i = 0; i < moves.size(); ++i) EXPECT_EQ(moves[i].number, int(i) + 1);
    EXPECT_EQ(at(moves, ENTRY), (Rect{20, 10, 100, 12}));
    // Same size, same distance (10) from the right edge.
    EXPECT_EQ(at(moves, RIGHTBUTTON), (Rect{350, 80, 40, 14}));
    EXPECT_EQ(at(moves, LEFTBUTTON), (Rect{10, 80, 40, 14}));
    EXPECT_EQ(at(moves, CHECK), (Rect{20, 40, 60, 10}));
    EXPECT_EQ(at(moves, LIST), (Rect{20, 55, 200, 20}));
}

TEST_F(Resize, HeightOnlyLeavesHorizontalPlacesAlone) {
    auto moves = r.RESIZE({0, 0, 200, 150});
    EXPECT_EQ(at(moves, ENTRY), (Rect{10, 15, 50, 12}));       // height kept
    EXPECT_EQ(at(moves, RIGHTBUTTON), (Rect{150, 130, 40, 14}));  // 6 above the bottom, as before
    EXPECT_EQ(at(moves, LEFTBUTTON), (Rect{10, 130, 40, 14}));
    EXPECT_EQ(at(moves, LIST), (Rect{10, 83, 100, 30}));
}

TEST_F(Resize, BackToTheInitialSizeRestoresEveryControl) {
    r.RESIZE({0, 0, 317, 71});
    r.RESIZE({0, 0, 123, 211});
    auto moves = r.RESIZE({5, 7, 200, 100});  // the window moved too: positions are its own
    EXPECT_EQ(at(moves, ENTRY), (Rect{10, 10, 50, 12}));
    EXPECT_EQ(at(moves, RIGHTBUTTON), (Rect{150, 80, 40, 14}));
    EXPECT_EQ(at(moves, LEFTBUTTON), (Rect{10, 80, 40, 14}));
    EXPECT_EQ(at(moves, CHECK), (Rect{10, 40, 60, 10}));
    EXPECT_EQ(at(moves, LIST), (Rect{10, 55, 100, 20}));
}

TEST_F(Resize, OnlyANewSizeMovesAnything) {
    EXPECT_TRUE(r.RESIZE({0, 0, 200, 100}).empty());
    EXPECT_FALSE(r.RESIZE({0, 0, 210, 100}).empty());
    EXPECT_TRUE(r.RESIZE({40, 40, 210, 100}).empty());  // moved, not sized
    EXPECT_EQ(r.PREVIOUSWIN, (Rect{0, 0, 210, 100}));
}

TEST_F(Resize, ScalesAreFourPlaceFixedPoint) {
    // 200 -> 333: scale 1.6650, so the list's x 10 -> 16.65 -> 17 and width 100 -> 166.5 -> 167.
    auto moves = r.RESIZE({0, 0, 333, 100});
    EXPECT_EQ(at(moves, CHECK).width, 60);
    EXPECT_EQ(at(moves, LIST), (Rect{17, 55, 167, 20}));
    EXPECT_EQ(at(moves, RIGHTBUTTON).x, 333 - 50);
}
