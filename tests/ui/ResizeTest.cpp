#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

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

// ---------------------------------------------------------------- order

namespace {

using Geometry = WINDOWRESIZETYPE::ControlGeometry;

Geometry control(int number, ResizeKind kind, Rect r, int minWidth = 0, int minHeight = 0, int container = 0,
                 int page = 0) {
    return {number, kind, r, minWidth, minHeight, container, page};
}

bool lieOver(const Rect& a, const Rect& b) {
    return std::min(a.x + a.width, b.x + b.width) > std::max(a.x, b.x) &&
           std::min(a.y + a.height, b.y + b.height) > std::max(a.y, b.y);
}
bool holds(const Rect& outer, const Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// What a bookkeeper would see wrong in a window laid out at `window`: two
// controls over each other, a control outside the window or outside the
// group it lies in, one smaller than its minimum.
std::vector<std::string> faults(const std::vector<Geometry>& controls, const std::vector<WINDOWRESIZETYPE::Move>& moves,
                                Rect window) {
    std::vector<std::string> found;
    auto at = [&](int number) {
        for (const auto& m : moves)
            if (m.number == number) return m.rect;
        return Rect{};
    };
    auto name = [](int n) { return "control " + std::to_string(n); };
    for (const Geometry& c : controls) {
        const Rect r = at(c.number);
        if (!holds({0, 0, window.width, window.height}, r)) found.push_back(name(c.number) + " outside the window");
        if (r.width < c.minWidth || r.height < c.minHeight) found.push_back(name(c.number) + " below its minimum");
        if (c.container && !holds(at(c.container), r)) found.push_back(name(c.number) + " outside its group");
        for (const Geometry& o : controls) {
            if (o.number <= c.number || o.container == c.number || c.container == o.number) continue;
            if (c.page && o.page && c.page != o.page) continue;
            if (lieOver(r, at(o.number))) found.push_back(name(c.number) + " over " + name(o.number));
        }
    }
    return found;
}

// A form of 300 x 120: a caption, its entry and a lookup button on a line,
// a group with a caption and a button in it beside them, a list below, OK
// at the bottom right. The caption and the buttons may not become narrower
// than their texts, nor the entry than its widest number.
enum { CAPTION = 1, ENTRY, LOOKUP, GROUP, GROUPCAPTION, GROUPBUTTON, LIST, OK };
const std::vector<Geometry> kForm = {
    control(CAPTION, ResizeKind::Other, {6, 8, 50, 10}, 48, 10),
    control(ENTRY, ResizeKind::Entry, {58, 6, 60, 14}, 56, 14),
    control(LOOKUP, ResizeKind::Button, {120, 6, 16, 14}, 16, 14),
    control(GROUP, ResizeKind::Other, {150, 2, 140, 50}, 60, 0),
    control(GROUPCAPTION, ResizeKind::Other, {156, 18, 40, 10}, 40, 10, GROUP),
    control(GROUPBUTTON, ResizeKind::Button, {200, 16, 84, 14}, 70, 14, GROUP),
    control(LIST, ResizeKind::Other, {6, 56, 284, 40}, 40, 20),
    control(OK, ResizeKind::Button, {240, 100, 50, 14}, 30, 14),
};

}  // namespace

// Every size from the smallest the window allows up to three times as wide
// and twice as high: nothing overlaps, leaves the window or its group, or
// becomes smaller than its minimum.
TEST(ResizeOrder, AtEverySizeFromTheMinimumUpNothingOverlaps) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 300, 120}, kForm);
    const Rect least = r.MINIMUM();
    EXPECT_LT(least.width, 300);
    EXPECT_LT(least.height, 120);
    for (int width = least.width; width <= 900; width += 7)
        for (int height : {least.height, 120, 150, 240}) {
            const Rect window{0, 0, width, height};
            const auto found = faults(kForm, r.LAYOUT(window), window);
            EXPECT_TRUE(found.empty()) << width << " x " << height << ": " << ::testing::PrintToString(found);
        }
}

// Scaled alone, a caption that may not shrink runs into its entry and an
// entry that stretches runs under the lookup button that keeps its place.
TEST(ResizeOrder, ACaptionPushesItsEntryAndAStretchingEntryItsButton) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 300, 120}, kForm);
    auto at = [](const std::vector<WINDOWRESIZETYPE::Move>& moves, int n) { return moves[size_t(n - 1)].rect; };
    // Narrower: the caption keeps its 48, the entry starts after it with the gap.
    auto narrow = r.RESIZE({0, 0, 240, 120});
    EXPECT_EQ(at(narrow, CAPTION).width, 48);
    EXPECT_EQ(at(narrow, ENTRY).x, at(narrow, CAPTION).x + 48 + 2);  // the 2 it started with
    // Wider: the entry stretches to 120 and the button that stays near the
    // left edge moves along, 2 after it as it started.
    auto wide = r.RESIZE({0, 0, 600, 120});
    EXPECT_EQ(at(wide, ENTRY), (Rect{116, 6, 120, 14}));
    EXPECT_EQ(at(wide, LOOKUP), (Rect{238, 6, 16, 14}));
}

// A group scales while the button in it keeps its size and its place near
// the window's left edge: the button stays inside the group, made narrower
// when the group must be.
TEST(ResizeOrder, AButtonInAGroupStaysInsideIt) {
    WINDOWRESIZETYPE r;
    const std::vector<Geometry> controls = {control(1, ResizeKind::Other, {100, 10, 100, 40}),
                                            control(2, ResizeKind::Button, {104, 20, 92, 14}, 60, 14, 1)};
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 300, 60}, controls);
    for (int width : {600, 450, 250, 200}) {
        const auto moves = r.RESIZE({0, 0, width, 60});
        EXPECT_TRUE(holds(moves[0].rect, moves[1].rect)) << width;
        EXPECT_GE(moves[1].rect.width, 60) << width;
    }
}

// A control that starts wider than its group (its caption needs it) takes
// the group along, and what stands beside the group moves on; a window too
// small for that grows to MINIMUM().
TEST(ResizeOrder, TheInitialLayoutMakesRoomForWhatControlsNeed) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 200, 40},
                 {control(1, ResizeKind::Other, {4, 4, 100, 30}),                // a group
                  control(2, ResizeKind::Check, {10, 14, 90, 10}, 120, 10, 1),   // needs more than it has
                  control(3, ResizeKind::Button, {110, 10, 40, 14}, 40, 14)});    // beside the group
    // Margin 4, the group's border 6, the check box's 120, the group's border
    // 4 (as it started), the gap 4, the button's 40, the margin 4.
    EXPECT_EQ(r.MINIMUM().width, 182);
    const auto moves = r.LAYOUT({0, 0, 200, 40});
    EXPECT_EQ(moves[1].rect.width, 120);
    EXPECT_GE(moves[0].rect.x + moves[0].rect.width, moves[1].rect.x + moves[1].rect.width);
    EXPECT_GE(moves[2].rect.x, moves[0].rect.x + moves[0].rect.width);
}

// Below its minimum the window cannot hold everything: the far side gives,
// and still nothing lies over anything else.
TEST(ResizeOrder, BelowTheMinimumTheFarSideGivesAndNothingOverlaps) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 300, 120}, kForm);
    const Rect window{0, 0, r.MINIMUM().width - 30, 120};
    const auto moves = r.LAYOUT(window);
    for (const std::string& f : faults(kForm, moves, window))
        EXPECT_NE(f.find("outside the window"), std::string::npos) << f;
    EXPECT_GT(moves[GROUP - 1].rect.x + moves[GROUP - 1].rect.width, window.width);
}

// Controls of two tab pages at the same place never show together: neither
// keeps the other's room.
TEST(ResizeOrder, ControlsOfOtherTabPagesTakeNoRoom) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 200, 60},
                 {control(1, ResizeKind::Other, {4, 4, 192, 52}),
                  control(2, ResizeKind::Entry, {10, 24, 60, 12}, 60, 12, 1, 10),
                  control(3, ResizeKind::Entry, {80, 24, 60, 12}, 60, 12, 1, 11)});
    // Each page holds one entry of 60 inside the sheet's borders of 6, in
    // the window's margins of 4; side by side they would need 64 more.
    EXPECT_EQ(r.MINIMUM().width, 4 + 6 + 60 + 6 + 4);
}

// A window made taller (maximized) scales a caption's height and place
// while the button under it keeps its own place: the button moves down.
TEST(ResizeOrder, ATallerWindowKeepsTheButtonUnderItsCaption) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 150, 300},
                 {control(1, ResizeKind::Other, {4, 112, 40, 18}, 30, 18),
                  control(2, ResizeKind::Button, {4, 132, 140, 25}, 80, 25)});
    const auto moves = r.RESIZE({0, 0, 150, 400});
    EXPECT_FALSE(lieOver(moves[0].rect, moves[1].rect));
    EXPECT_GE(moves[1].rect.y, moves[0].rect.y + moves[0].rect.height);
}

// In a group a button keeps to the line of the entry it serves: both move
// with the group as the window grows, rather than the button keeping to the
// window's nearer edge while the entry's place scales.
TEST(ResizeOrder, AButtonInAGroupKeepsToTheLineOfItsEntry) {
    WINDOWRESIZETYPE r;
    r.INITIALIZE(WINDOWRESIZETYPE::Strategy::Spread, {0, 0, 300, 100},
                 {control(1, ResizeKind::Other, {10, 50, 200, 40}),
                  control(2, ResizeKind::Entry, {20, 64, 100, 12}, 60, 12, 1),
                  control(3, ResizeKind::Button, {124, 64, 14, 12}, 14, 12, 1)});
    for (Rect window : {Rect{0, 0, 600, 200}, Rect{0, 0, 450, 130}, Rect{0, 0, 300, 300}}) {
        const auto moves = r.RESIZE(window);
        EXPECT_EQ(moves[2].rect.y, moves[1].rect.y) << window.width << " x " << window.height;
        EXPECT_TRUE(holds(moves[0].rect, moves[2].rect)) << window.width << " x " << window.height;
        EXPECT_GE(moves[2].rect.x, moves[1].rect.x + moves[1].rect.width) << window.width << " x " << window.height;
    }
}
