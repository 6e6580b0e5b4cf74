#pragma once
// The paging rules both previews share, without widgets: the current page,
// the thumbnail grid, the marks, which buttons may be pressed and the text
// the status bar shows, and where the thumbnails go in the window.
#include <string>
#include <vector>

namespace marel {

class PreviewState {
public:
    explicit PreviewState(int pageCount);

    int page = 1;       // current page, 1-based
    int across = 1;     // thumbnail grid
    int down = 1;
    bool zoomed = false;  // one page zoomed rather than thumbnails

    int count() const { return int(marks_.size()); }
    // Thumbnail places shown: the grid in the thumbnail view, none when zoomed.
    int places() const { return zoomed ? 0 : across * down; }
    // The page in place k (1-based) of the grid, 0 past the last page.
    int pageAt(int k) const { return page + k - 1 <= count() ? page + k - 1 : 0; }

    void next();
    void previous();
    void first();
    void last();
    void jump(int to);
    bool canPrevious() const;
    bool canNext() const;
    // Pressing a single-page command (mark, delete, print or save the current
    // page) only makes sense while one page is in view.
    bool singlePage() const { return places() <= 1; }
    // "Page 3 of 12", "Pages 5-8 of 12".
    std::string pageText() const;

    bool marked() const { return marks_[size_t(page - 1)]; }
    int markedCount() const { return markedCount_; }
    void toggleMark();
    const std::vector<bool>& marks() const { return marks_; }
    // The current page was removed: the page count drops and the previous
    // page becomes current, unless it was the first.
    void removeCurrent();

private:
    std::vector<bool> marks_;
    int markedCount_ = 0;
};

// Places of an across x down thumbnail grid in a window area of width x height
// pixels: gaps of 3 between the cells, 18 kept free at the bottom, the page's
// aspect (height / width) kept. Row by row.
struct Cell {
    int x = 0, y = 0, width = 0, height = 0;
};
std::vector<Cell> thumbnailCells(int width, int height, int across, int down, double aspect);

}  // namespace marel
