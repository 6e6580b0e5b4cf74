#pragma once
// Moving and stretching the controls of a window when the user resizes it.
// Every list and form window owns one WINDOWRESIZETYPE: it remembers where each
// control started, and on every new window size computes where each control
// goes, always from the initial geometry, so that sizing back restores the
// original layout exactly. Geometry only: the caller moves its own widgets.
//
// Each control is first placed by its strategy (scaled, kept at an edge...),
// within the window or, for a control in a group or on a tab sheet, within
// its group or sheet as placed.
// Those places alone would let controls run into each other wherever a
// control may not become as small as its scale asks (a caption, a button with
// its caption, an entry with its widest value) or keeps its size while its
// neighbour stretches. So the initial layout also fixes, per axis, what must
// stay in order: a control that started left of another on the same line
// stays left of it, with a gap; a control inside a group, an option group or
// a tab sheet stays inside it; every control stays inside the window; none
// becomes smaller than its minimum. Each place is then moved just as far as
// those orders ask, and a control that would leave the window on the far side
// is moved back or made smaller. A window at least MINIMUM() large therefore
// never shows two controls over each other.
#include <cstdint>
#include <vector>

namespace marel {

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// What a control is, as far as resizing cares.
enum class ResizeKind {
    None,    // menus and controls of no kind: never moved
    Entry,   // entry fields, combo and spin boxes: move, stretch across only
    Button,  // stay with the nearer edge, keep their size
    Check,   // check boxes and radio buttons: move, keep their size
    Other,   // everything else moves and stretches
};

class WINDOWRESIZETYPE {
public:
    enum class Strategy { Spread = 2 };

    // Positional strategy, one value per axis; 0 scales the position.
    enum : int {
        KEEP_X = 1, RIGHT_X = 2, RELATIVE_X = 4, CENTRE_X = 8, DERIVE_X = 16,
        KEEP_Y = 256, BOTTOM_Y = 512, RELATIVE_Y = 1024, CENTRE_Y = 2048, DERIVE_Y = 4096,
    };
    // Resize strategy bits; without them the size scales.
    enum : int { KEEP_WIDTH = 1, KEEP_HEIGHT = 2 };

    struct ControlGeometry {
        int number;
        ResizeKind kind;
        Rect rect;
        // Never narrower or lower than this (0: as small as the window makes it).
        int minWidth = 0;
        int minHeight = 0;
        // The group or sheet it lies in (0: the window itself), and the tab
        // page it shows on (0: every page). Controls of different pages never
        // show together, so they need not keep out of each other's way.
        int container = 0;
        int page = 0;
    };
    struct ControlRow {
        int number;
        ResizeKind kind;
        Rect initial;
        int POSITIONALSTRATEGY;
        int RESIZESTRATEGY;
        int minWidth = 0, minHeight = 0;
        int container = 0, page = 0;
    };
    struct Move {
        int number;
        Rect rect;
    };

    // Called once the window is open, with its geometry and that of its controls.
    void INITIALIZE(Strategy strategy, Rect window, const std::vector<ControlGeometry>& controls);
    // Called on every new window geometry: where each control goes now, in
    // control number order; nothing when the size did not change.
    std::vector<Move> RESIZE(Rect window);
    // Where each control goes at this window size, even the size it has.
    std::vector<Move> LAYOUT(Rect window);
    // The smallest window that holds every control at its minimum, in order.
    Rect MINIMUM() const { return {0, 0, across_.minimum, down_.minimum}; }
    void DESTROY();

    Rect ORIGWIN;
    Rect PREVIOUSWIN;
    std::vector<ControlRow> CONTROLQUEUE;

    // What must stay in order along one axis: for control i, node 2i is its
    // near edge (left, top) and 2i + 1 its far edge; the last node is the
    // window's far edge. An edge says node `to` lies at least `distance`
    // beyond node `from`.
    struct Order {
        struct Edge {
            int from, to, distance;
        };
        std::vector<Edge> edges;
        std::vector<std::vector<int>> into;  // per node: the edges that end there
        std::vector<int> start;    // per node: least distance from the window's near edge
        std::vector<int> sequence;  // the nodes, each after every node it must follow
        std::vector<int> tail;      // per node: least distance to the window's far edge
        int minimum = 0;            // least window size
    };

private:
    std::vector<int> frames_;  // per control: the control it lies in (its index), or -1
    Order across_, down_;
};

}  // namespace marel
