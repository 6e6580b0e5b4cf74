#include "report/PreviewState.h"

#include <algorithm>

namespace marel {

PreviewState::PreviewState(int pageCount) : marks_(size_t(std::max(pageCount, 0)), false) {}

void PreviewState::next() {
    if (zoomed) {
        if (page < count()) ++page;
    } else if (page + places() <= count()) {
        page += places();
    }
}

void PreviewState::previous() { page = std::max(1, page - std::max(places(), 1)); }

// The first and last page commands move there and then act as previous and
// next would; with thumbnails the last page then starts the grid.
void PreviewState::first() {
    page = 1;
    previous();
}

void PreviewState::last() {
    page = count();
    next();
}

void PreviewState::jump(int to) { page = std::clamp(to, 1, std::max(count(), 1)); }

bool PreviewState::canPrevious() const { return count() > 1 && page > 1; }

bool PreviewState::canNext() const {
    if (count() <= 1) return false;
    return zoomed || page + places() <= count();
}

std::string PreviewState::pageText() const {
    int n = count();
    int last = std::min(page + std::max(places(), 1) - 1, n);
    if (last <= page) return "Page " + std::to_string(page) + " of " + std::to_string(n);
    return "Pages " + std::to_string(page) + "-" + std::to_string(last) + " of " + std::to_string(n);
}

void PreviewState::toggleMark() {
    bool m = marks_[size_t(page - 1)];
    marks_[size_t(page - 1)] = !m;
    markedCount_ += m ? -1 : 1;
}

void PreviewState::removeCurrent() {
    if (marks_[size_t(page - 1)]) --markedCount_;
    marks_.erase(marks_.begin() + (page - 1));
    if (page > 1) --page;
}

std::vector<Cell> thumbnailCells(int width, int height, int across, int down, double aspect) {
    double cellW = double(width - (3 * across - 1)) / across;
    double cellH = double(height - 18 - (3 * down - 1)) / down;
    if (aspect > cellH / cellW)
        cellW = cellH / aspect;
    else
        cellH = cellW * aspect;
    int w = std::max(int(cellW), 1), h = std::max(int(cellH), 1);
    std::vector<Cell> cells;
    for (int r = 0; r < down; ++r)
        for (int c = 0; c < across; ++c) cells.push_back({1 + c * (w + 3), 1 + r * (h + 3), w, h});
    return cells;
}

}  // namespace marel
