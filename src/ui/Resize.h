#pragma once
// Moving and stretching the controls of a window when the user resizes it.
// Every list and form window owns one WINDOWRESIZETYPE: it remembers where each
// control started, and on every new window size computes where each control
// goes, always from the initial geometry, so that sizing back restores the
// original layout exactly. Geometry only: the caller moves its own widgets.
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
    };
    struct ControlRow {
        int number;
        ResizeKind kind;
        Rect initial;
        int POSITIONALSTRATEGY;
        int RESIZESTRATEGY;
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
    void DESTROY();

    Rect ORIGWIN;
    Rect PREVIOUSWIN;
    std::vector<ControlRow> CONTROLQUEUE;
};

}  // namespace marel
