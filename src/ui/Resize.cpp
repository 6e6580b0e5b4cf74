#include "ui/Resize.h"

#include <algorithm>

namespace marel {

namespace {

// Scales are fixed-point numbers with four decimal places.
constexpr int64_t ONE = 10000;

int64_t divRound(int64_t a, int64_t b) { return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b); }
int64_t scaleOf(int now, int initial) { return initial > 0 ? divRound(int64_t(now) * ONE, initial) : ONE; }
int times(int v, int64_t scale) { return int(divRound(int64_t(v) * scale, ONE)); }

// One axis of one control. `how` is the axis's positional strategy brought
// to the horizontal values: 0 scale, 1 keep, 2 far edge, 4 relative,
// 8 centre, 16 derive.
void place(int& pos, int& size, int pos0, int size0, int win0, int win, int64_t scale, int how, bool keepSize) {
    pos = times(pos0, scale);
    size = keepSize ? size0 : times(size0, scale);
    if (how == 16) how = win0 - (pos0 + size0) < pos0 ? 2 : 4;
    if (scale == ONE) return;
    switch (how) {
        case 1: pos = pos0; break;
        case 2: {
            const int distance = win0 - pos0;
            pos = win - (keepSize ? distance : times(distance, scale));
            break;
        }
        case 4: pos = keepSize ? pos0 : times(pos0, scale); break;
        case 8: {
            const int offset = win0 / 2 - pos0;
            pos = win / 2 - (keepSize ? offset : times(offset, scale));
            break;
        }
        default: break;
    }
}

}  // namespace

void WINDOWRESIZETYPE::INITIALIZE(Strategy, Rect window, const std::vector<ControlGeometry>& controls) {
    ORIGWIN = window;
    PREVIOUSWIN = window;
    CONTROLQUEUE.clear();
    for (const ControlGeometry& c : controls) {
        ControlRow row{c.number, c.kind, c.rect, 0, 0};
        switch (c.kind) {
            case ResizeKind::None: continue;
            case ResizeKind::Entry: row.RESIZESTRATEGY = KEEP_HEIGHT; break;
            case ResizeKind::Button:
                row.POSITIONALSTRATEGY = DERIVE_X | DERIVE_Y;
                row.RESIZESTRATEGY = KEEP_WIDTH | KEEP_HEIGHT;
                break;
            case ResizeKind::Check: row.RESIZESTRATEGY = KEEP_WIDTH | KEEP_HEIGHT; break;
            case ResizeKind::Other: break;
        }
        CONTROLQUEUE.push_back(row);
    }
    std::stable_sort(CONTROLQUEUE.begin(), CONTROLQUEUE.end(),
                     [](const ControlRow& a, const ControlRow& b) { return a.number < b.number; });
}

std::vector<WINDOWRESIZETYPE::Move> WINDOWRESIZETYPE::RESIZE(Rect window) {
    if (window.width == PREVIOUSWIN.width && window.height == PREVIOUSWIN.height) return {};
    PREVIOUSWIN = window;
    const int64_t sx = scaleOf(window.width, ORIGWIN.width);
    const int64_t sy = scaleOf(window.height, ORIGWIN.height);
    std::vector<Move> moves;
    moves.reserve(CONTROLQUEUE.size());
    for (const ControlRow& c : CONTROLQUEUE) {
        Rect r;
        place(r.x, r.width, c.initial.x, c.initial.width, ORIGWIN.width, window.width, sx,
              c.POSITIONALSTRATEGY & 0xFF, c.RESIZESTRATEGY & KEEP_WIDTH);
        place(r.y, r.height, c.initial.y, c.initial.height, ORIGWIN.height, window.height, sy,
              (c.POSITIONALSTRATEGY >> 8) & 0xFF, c.RESIZESTRATEGY & KEEP_HEIGHT);
        moves.push_back({c.number, r});
    }
    return moves;
}

void WINDOWRESIZETYPE::DESTROY() {
    CONTROLQUEUE.clear();
    CONTROLQUEUE.shrink_to_fit();
}

}  // namespace marel
