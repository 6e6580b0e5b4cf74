#pragma once
// A picture of every window of the program: each screen of the frame, the
// forms its lists open, the choosers those forms open and the previews, one
// PNG each, with a note of what a bookkeeper would notice at a glance: a
// window reaching outside the frame, an empty list, a value cut short, and
// the faults of layout (controls lying over each other, a caption running
// into its field, a control leaving its window or its group, a list column
// cut while the list can neither show it nor scroll to it).
//
// The walk goes round twice: once with each screen alone in the frame, once
// with each screen opened over a maximized "Pregled isplata" (the pictures of
// that round in the subfolder "nad_isplatama").
#include <string>
#include <vector>

namespace marel {

class MAIN;

struct ScreenshotReport {
    std::vector<std::string> files;   // the PNGs written, in the order taken
    std::vector<std::string> notes;   // one line per thing noticed
    std::vector<std::string> layout;  // those of the notes that are faults of layout
};

// The screens every command of the frame starts, in menu order.
const std::vector<std::string>& screenshotScreens();

// Opens each screen of `screens` (all when empty) in `frame`, walks its
// windows and writes the pictures into `folder`, plus "izvjestaj.txt" with
// the notes. Every window opened is closed again with Cancel; the frame
// itself and the about box are taken when `screens` is empty.
// Renders the first page of every report of the command line on the data
// open now into `folder` (NAME.png, 100 dots per inch); returns what did not
// fit on its page and what could not be printed.
std::vector<std::string> renderFirstPages(const std::string& folder);

ScreenshotReport takeScreenshots(MAIN& frame, const std::string& folder,
                                 const std::vector<std::string>& screens = {});

}  // namespace marel
