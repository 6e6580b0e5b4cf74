#include "ui/Resize.h"

#include <algorithm>
#include <functional>
#include <queue>

namespace marel {

namespace {

// Pixels that stay, at the least, between two controls of a line, between a
// control and the window's edge, and between a control and the sides and
// bottom of the frame it lies in (its top keeps the room of the frame's
// title or tabs), unless they started closer.
constexpr int MINGAP = 4;
constexpr int MINMARGIN = 4;
constexpr int MINPAD = 6;

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

// The edges of one axis: `across` for left and right, else top and bottom.
struct Span {
    int near, far;
};
Span along(const Rect& r, bool across) { return across ? Span{r.x, r.x + r.width} : Span{r.y, r.y + r.height}; }

using Rows = std::vector<WINDOWRESIZETYPE::ControlRow>;

// Per control, the index of the frame it lies in (-1 for the window).
std::vector<int> containersOf(const Rows& rows) {
    const int n = int(rows.size());
    auto indexOf = [&](int number) {
        for (int i = 0; i < n; ++i)
            if (rows[size_t(i)].number == number) return i;
        return -1;
    };
    std::vector<int> parent(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        parent[size_t(i)] = rows[size_t(i)].container ? indexOf(rows[size_t(i)].container) : -1;
    return parent;
}

// Each control's own size, and its room inside its frame or the window.
void frameEdges(WINDOWRESIZETYPE::Order& o, const Rows& rows, const std::vector<int>& parent, int window,
                bool across) {
    const int n = int(rows.size());
    const int end = 2 * n;
    for (int i = 0; i < n; ++i) {
        const auto& c = rows[size_t(i)];
        const Span s = along(c.initial, across);
        o.edges.push_back({2 * i, 2 * i + 1, across ? c.minWidth : c.minHeight});
        if (const int p = parent[size_t(i)]; p >= 0) {
            const Span f = along(rows[size_t(p)].initial, across);
            // Across, a frame keeps a small border on either side; down, the
            // room of its title or its tabs above and a small border below.
            const int before = std::max(0, s.near - f.near);
            o.edges.push_back({2 * p, 2 * i, across ? std::min(before, MINPAD) : before});
            o.edges.push_back({2 * i + 1, 2 * p + 1, std::clamp(f.far - s.far, 0, MINPAD)});
        } else {
            o.start[size_t(2 * i)] = std::clamp(s.near, 0, MINMARGIN);
            o.edges.push_back({2 * i + 1, end, std::clamp(window - s.far, 0, MINMARGIN)});
        }
    }
}

// A control that started wholly before another keeps before it: on the
// same line (they share some of the other axis), or, where the two lie
// apart on both axes, on the axis that parts them more.
void beforeEdges(WINDOWRESIZETYPE::Order& o, const Rows& rows, const std::vector<int>& parent, bool across) {
    const int n = int(rows.size());
    auto inside = [&](int child, int container) {
        for (int p = parent[size_t(child)], guard = 0; p >= 0 && guard <= n; p = parent[size_t(p)], ++guard)
            if (p == container) return true;
        return false;
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            if (i == j || inside(i, j) || inside(j, i)) continue;
            const auto& a = rows[size_t(j)];
            const auto& b = rows[size_t(i)];
            if (a.page && b.page && a.page != b.page) continue;
            const Span sa = along(a.initial, across), sb = along(b.initial, across);
            if (sa.far > sb.near) continue;
            const Span oa = along(a.initial, !across), ob = along(b.initial, !across);
            const int shared = std::min(oa.far, ob.far) - std::max(oa.near, ob.near);
            const int gap = sb.near - sa.far;
            if (shared <= 0 && (across ? gap < -shared : gap <= -shared)) continue;
            o.edges.push_back({2 * j + 1, 2 * i, std::min(gap, MINGAP)});
        }
}

// Every node after those it must follow; the edges all lead forward in
// the initial layout, so there is no circle (a node left over is placed
// last, in the order of its initial place). `out` lists the edges leaving
// each node.
void sequence(WINDOWRESIZETYPE::Order& o, const Rows& rows, const std::vector<std::vector<int>>& out, int window,
              bool across) {
    const int end = 2 * int(rows.size());
    const int nodes = end + 1;
    std::vector<int> waiting(static_cast<size_t>(nodes), 0);
    for (const auto& edge : o.edges) ++waiting[size_t(edge.to)];
    auto initialPlace = [&](int v) {
        if (v == end) return window;
        const Span s = along(rows[size_t(v / 2)].initial, across);
        return v % 2 ? s.far : s.near;
    };
    using Item = std::pair<int, int>;  // initial place, node
    std::priority_queue<Item, std::vector<Item>, std::greater<>> ready;
    for (int v = 0; v < nodes; ++v)
        if (!waiting[size_t(v)]) ready.push({initialPlace(v), v});
    std::vector<bool> placed(static_cast<size_t>(nodes), false);
    while (!ready.empty()) {
        const int v = ready.top().second;
        ready.pop();
        placed[size_t(v)] = true;
        o.sequence.push_back(v);
        for (int e : out[size_t(v)]) {
            const int next = o.edges[size_t(e)].to;
            if (--waiting[size_t(next)] == 0) ready.push({initialPlace(next), next});
        }
    }
    std::vector<Item> left;
    for (int v = 0; v < nodes; ++v)
        if (!placed[size_t(v)]) left.push_back({initialPlace(v), v});
    std::sort(left.begin(), left.end());
    for (const Item& l : left) o.sequence.push_back(l.second);
}

// Per node the least room before it and after it, and the window's least length.
void extents(WINDOWRESIZETYPE::Order& o, const std::vector<std::vector<int>>& out) {
    const size_t nodes = out.size();
    o.into.assign(nodes, {});
    for (size_t e = 0; e < o.edges.size(); ++e) o.into[size_t(o.edges[e].to)].push_back(int(e));
    std::vector<int> head = o.start;  // per node: least place, everything before it at its least
    for (int v : o.sequence)
        for (int e : o.into[size_t(v)]) {
            const auto& edge = o.edges[size_t(e)];
            head[size_t(v)] = std::max(head[size_t(v)], head[size_t(edge.from)] + edge.distance);
        }
    o.tail.assign(nodes, 0);
    for (auto it = o.sequence.rbegin(); it != o.sequence.rend(); ++it)
        for (int e : out[size_t(*it)]) {
            const auto& edge = o.edges[size_t(e)];
            o.tail[size_t(*it)] = std::max(o.tail[size_t(*it)], o.tail[size_t(edge.to)] + edge.distance);
        }
    o.minimum = head[nodes - 1];
}

void order(WINDOWRESIZETYPE::Order& o, const Rows& rows, int window, bool across) {
    const int end = 2 * int(rows.size());  // the window's far edge
    o = {};
    o.start.assign(size_t(end + 1), 0);
    const std::vector<int> parent = containersOf(rows);
    frameEdges(o, rows, parent, window, across);
    beforeEdges(o, rows, parent, across);
    std::vector<std::vector<int>> out(size_t(end + 1));
    for (size_t e = 0; e < o.edges.size(); ++e) out[size_t(o.edges[e].from)].push_back(int(e));
    sequence(o, rows, out, window, across);
    extents(o, out);
}

// The places the strategies want (near edge and size of each control) moved
// as far as the orders of the axis ask, in a window `window` long.
void settle(const WINDOWRESIZETYPE::Order& o, int window, std::vector<int>& near, std::vector<int>& size) {
    const size_t nodes = o.start.size();
    std::vector<int> at(nodes, 0);
    for (int v : o.sequence) {
        if (size_t(v) == nodes - 1) continue;
        int least = o.start[size_t(v)];
        for (int e : o.into[size_t(v)])
            least = std::max(least, at[size_t(o.edges[size_t(e)].from)] + o.edges[size_t(e)].distance);
        const size_t i = size_t(v / 2);
        const int wanted = v % 2 ? at[2 * i] + size[i] : near[i];
        const int most = window - o.tail[size_t(v)];
        // Too small a window to hold everything: the far side gives, nothing overlaps.
        at[size_t(v)] = std::max(least, std::min(wanted, most));
    }
    for (size_t i = 0; i < near.size(); ++i) {
        near[i] = at[2 * i];
        size[i] = at[2 * i + 1] - at[2 * i];
    }
}

}  // namespace

void WINDOWRESIZETYPE::INITIALIZE(Strategy, Rect window, const std::vector<ControlGeometry>& controls) {
    ORIGWIN = window;
    PREVIOUSWIN = window;
    CONTROLQUEUE.clear();
    for (const ControlGeometry& c : controls) {
        ControlRow row{c.number, c.kind, c.rect, 0, 0, c.minWidth, c.minHeight, c.container, c.page};
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
    frames_.assign(CONTROLQUEUE.size(), -1);
    for (size_t i = 0; i < CONTROLQUEUE.size(); ++i)
        for (size_t j = 0; j < CONTROLQUEUE.size() && CONTROLQUEUE[i].container; ++j)
            if (j != i && CONTROLQUEUE[j].number == CONTROLQUEUE[i].container) frames_[i] = int(j);
    order(across_, CONTROLQUEUE, window.width, true);
    order(down_, CONTROLQUEUE, window.height, false);
}

std::vector<WINDOWRESIZETYPE::Move> WINDOWRESIZETYPE::RESIZE(Rect window) {
    if (window.width == PREVIOUSWIN.width && window.height == PREVIOUSWIN.height) return {};
    return LAYOUT(window);
}

std::vector<WINDOWRESIZETYPE::Move> WINDOWRESIZETYPE::LAYOUT(Rect window) {
    PREVIOUSWIN = window;
    // Each control by its strategy within what it lies in: the window, or
    // the group or sheet, placed first, whose edges it keeps to as it would
    // keep to the window's.
    const size_t n = CONTROLQUEUE.size();
    std::vector<Rect> wanted(n);
    std::vector<bool> done(n, false);
    std::function<void(size_t)> want = [&](size_t i) {
        if (done[i]) return;
        done[i] = true;
        const ControlRow& c = CONTROLQUEUE[i];
        Rect from{0, 0, ORIGWIN.width, ORIGWIN.height}, to{0, 0, window.width, window.height};
        int strategy = c.POSITIONALSTRATEGY;
        if (const int f = frames_[i]; f >= 0) {
            want(size_t(f));
            from = CONTROLQUEUE[size_t(f)].initial;
            to = wanted[size_t(f)];
            // In a group a button keeps to its line and its column, which
            // scale with the group, rather than to the group's nearer edge.
            strategy = 0;
        }
        Rect& r = wanted[i];
        place(r.x, r.width, c.initial.x - from.x, c.initial.width, from.width, to.width,
              scaleOf(to.width, from.width), strategy & 0xFF, c.RESIZESTRATEGY & KEEP_WIDTH);
        place(r.y, r.height, c.initial.y - from.y, c.initial.height, from.height, to.height,
              scaleOf(to.height, from.height), (strategy >> 8) & 0xFF, c.RESIZESTRATEGY & KEEP_HEIGHT);
        r.x += to.x;
        r.y += to.y;
    };
    std::vector<Move> moves;
    moves.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        want(i);
        moves.push_back({CONTROLQUEUE[i].number, wanted[i]});
    }
    std::vector<int> x, width, y, height;
    for (const Move& m : moves) {
        x.push_back(m.rect.x);
        width.push_back(m.rect.width);
        y.push_back(m.rect.y);
        height.push_back(m.rect.height);
    }
    settle(across_, window.width, x, width);
    settle(down_, window.height, y, height);
    for (size_t i = 0; i < moves.size(); ++i) moves[i].rect = {x[i], y[i], width[i], height[i]};
    return moves;
}

void WINDOWRESIZETYPE::DESTROY() {
    frames_.clear();
    across_ = {};
    down_ = {};
    CONTROLQUEUE.clear();
    CONTROLQUEUE.shrink_to_fit();
}

}  // namespace marel
