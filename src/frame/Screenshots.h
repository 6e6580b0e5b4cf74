#pragma once
// A picture of every window of the program: each screen of the frame, the
// forms its lists open, the choosers those forms open and the previews, one
// PNG each, with a note of what a bookkeeper would notice at a glance
// (a window reaching outside the frame, an empty list, a value cut short,
// controls lying over each other).
#include <string>
#include <vector>

namespace marel {

class MAIN;

struct ScreenshotReport {
    std::vector<std::string> files;  // the PNGs written, in the order taken
    std::vector<std::string> notes;  // one line per thing noticed
};

// The screens every command of the frame starts, in menu order.
const std::vector<std::string>& screenshotScreens();

// Opens each screen of `screens` (all when empty) in `frame`, walks its
// windows and writes the pictures into `folder`, plus "izvjestaj.txt" with
// the notes. Every window opened is closed again with Cancel; the frame
// itself and the about box are taken when `screens` is empty.
ScreenshotReport takeScreenshots(MAIN& frame, const std::string& folder,
                                 const std::vector<std::string>& screens = {});

}  // namespace marel
