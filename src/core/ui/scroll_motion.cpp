#include "ui/scroll_motion.h"

namespace vm {

ScrollStep ScrollMotion::Apply(ScrollCode code, int pos, int track, int min, int max, int line, int page) {
    ScrollStep s;
    int to = pos;
    switch (code) {
    case ScrollCode::LineUp: to = pos - line; break;
    case ScrollCode::LineDown: to = pos + line; break;
    case ScrollCode::PageUp: to = pos - page; break;
    case ScrollCode::PageDown: to = pos + page; break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::ThumbPosition: to = track; break;
    case ScrollCode::Top: to = min; break;
    case ScrollCode::Bottom: to = max; break;
    case ScrollCode::EndScroll: break;
    }
    if (to > max) to = max;
    if (to < min) to = min;
    s.pos = to;
    s.moved = to != pos;
    if (code == ScrollCode::ThumbTrack) {
        if (!dragFrom_) dragFrom_ = pos;
        s.scroll = s.moved;
    } else if (code == ScrollCode::ThumbPosition) {
        s.change = to != dragFrom_.value_or(pos);
        s.dragEnded = dragFrom_.has_value();
        dragFrom_.reset();
    } else if (code == ScrollCode::EndScroll) {
        s.dragEnded = dragFrom_.has_value();  // a drag given up without a thumb position
        dragFrom_.reset();
    } else {
        s.change = s.moved;
    }
    return s;
}

}  // namespace vm
