// Scroll bars: where each scroll code puts the position and which codes
// make a change; an arrow at an end of the bar changes nothing.
#include <gtest/gtest.h>

#include "ui/scroll_motion.h"

namespace vm {
namespace {

TEST(ScrollMotion, ChangesOnlyWhenThePositionMoves) {
    using C = ScrollCode;
    // A bar of 1..5: code, position and thumb before it, new position, change.
    const struct { C code; int pos, track, to; bool change; } rows[] = {
        {C::LineDown, 5, 0, 5, false}, {C::LineUp, 1, 0, 1, false},      {C::PageDown, 4, 0, 5, true},
        {C::Top, 3, 0, 1, true},       {C::ThumbPosition, 2, 2, 2, false}, {C::ThumbPosition, 2, 9, 5, true},
    };
    for (const auto& r : rows) {
        const ScrollStep s = ScrollMotion().Apply(r.code, r.pos, r.track, 1, 5);
        EXPECT_EQ(std::make_pair(s.pos, s.change), std::make_pair(r.to, r.change)) << int(r.code) << " at " << r.pos;
        EXPECT_EQ(s.moved, r.to != r.pos);
    }
    // A drag scrolls while the thumb moves and changes only when it is let
    // go away from where it was taken.
    // Its end is told wherever the thumb was let go, and once.
    ScrollMotion m;
    EXPECT_TRUE(m.Apply(C::ThumbTrack, 2, 4, 1, 5).scroll);
    EXPECT_FALSE(m.Apply(C::ThumbTrack, 4, 4, 1, 5).scroll);
    ScrollStep back = m.Apply(C::ThumbPosition, 4, 2, 1, 5);  // back where it began
    EXPECT_FALSE(back.change);
    EXPECT_TRUE(back.dragEnded);
    EXPECT_FALSE(m.Apply(C::EndScroll, 2, 2, 1, 5).dragEnded);
    m.Apply(C::ThumbTrack, 2, 3, 1, 5);
    const ScrollStep away = m.Apply(C::ThumbPosition, 3, 3, 1, 5);
    EXPECT_TRUE(away.change && away.dragEnded);
    m.Apply(C::ThumbTrack, 3, 5, 1, 5);
    EXPECT_TRUE(m.Apply(C::EndScroll, 5, 5, 1, 5).dragEnded);  // given up without a thumb position
    EXPECT_FALSE(m.Apply(C::ThumbPosition, 5, 1, 1, 5).dragEnded);  // no drag began
}

}  // namespace
}  // namespace vm
