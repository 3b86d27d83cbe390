// How a scroll bar's position answers its scroll codes, and which of them
// make a change. The position moves by a line or a page, to an end, or to
// the thumb; it stays inside the range. Dragging the thumb is a scroll: the
// change comes when the thumb is let go somewhere other than where the drag
// began. Nothing changes when the position does not move, so an arrow
// click at an end of the bar runs no change. The end of a drag is told
// wherever the thumb was let go, so what a drag paused can resume.
#pragma once

#include <optional>

namespace vm {

// The scroll codes, in the numbering of the platform's scroll messages.
enum class ScrollCode {
    LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5,
    Top = 6, Bottom = 7, EndScroll = 8,
};

struct ScrollStep {
    int pos = 0;          // the new position
    bool moved = false;   // it differs from the position before this code
    bool change = false;  // the bar's change event runs
    bool scroll = false;  // the bar's scroll event (a drag that moved) runs
    bool dragEnded = false;  // a drag of the thumb ended here, with or without a change
};

// A scroll bar as the window holds it: its position, the thumb's place
// during a drag, and its range.
struct BarState {
    int pos = 0, track = 0, min = 0, max = 0;
};

// The scroll bars of a window, by control id, in their raw positions.
class ScrollBars {
public:
    virtual ~ScrollBars() = default;
    virtual BarState Bar(int id) = 0;
    // Moves the thumb without raising the bar's events.
    virtual void SetBarPos(int id, int pos) = 0;
};

class ScrollMotion {
public:
    // One scroll code on a bar at `pos` in `min`..`max`; `track` is the
    // thumb's place for the thumb codes.
    ScrollStep Apply(ScrollCode code, int pos, int track, int min, int max, int line = 1, int page = 10);

private:
    std::optional<int> dragFrom_;  // the position when the thumb was taken
};

}  // namespace vm
