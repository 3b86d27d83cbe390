// Scroll bars: where each scroll code puts the position and which codes
// make a change; an arrow at an end of the bar changes nothing.
#include <gtest/gtest.h>

#include <vector>

#include "ui/scroll_motion.h"

namespace vm {
namespace {

TEST(ScrollMotion, ChangesOnlyWhenThePositionMoves) {
    using C = ScrollCode;
    struct Row {
        C code;
        int pos, track;  // before the code
        int to;
        bool change, scroll;
    };
    // A bar of 1..5 (the CD's tracks); lines of 1, pages of 10.
    const std::vector<Row> rows = {
        {C::LineDown, 5, 0, 5, false, false},  // the arrow at the last track
        {C::LineUp, 1, 0, 1, false, false},
        {C::PageDown, 4, 0, 5, true, false},
        {C::PageUp, 1, 0, 1, false, false},
        {C::LineDown, 2, 0, 3, true, false},
        {C::Top, 3, 0, 1, true, false},
        {C::Bottom, 5, 0, 5, false, false},
        {C::ThumbPosition, 2, 2, 2, false, false},  // a click on the thumb
        {C::ThumbPosition, 2, 9, 5, true, false},
        {C::EndScroll, 3, 0, 3, false, false},
    };
    for (const Row& r : rows) {
        ScrollMotion m;
        const ScrollStep s = m.Apply(r.code, r.pos, r.track, 1, 5);
        EXPECT_EQ(s.pos, r.to) << int(r.code) << " at " << r.pos;
        EXPECT_EQ(s.moved, r.to != r.pos) << int(r.code) << " at " << r.pos;
        EXPECT_EQ(s.change, r.change) << int(r.code) << " at " << r.pos;
        EXPECT_EQ(s.scroll, r.scroll) << int(r.code) << " at " << r.pos;
    }

    // A drag: scrolls while the thumb moves; a change only when it is let
    // go away from where it was taken.
    ScrollMotion m;
    EXPECT_TRUE(m.Apply(C::ThumbTrack, 2, 4, 1, 5).scroll);
    EXPECT_FALSE(m.Apply(C::ThumbTrack, 4, 4, 1, 5).scroll);
    EXPECT_TRUE(m.Apply(C::ThumbTrack, 4, 2, 1, 5).scroll);
    EXPECT_FALSE(m.Apply(C::ThumbPosition, 2, 2, 1, 5).change);  // back where it began
    EXPECT_FALSE(m.Apply(C::EndScroll, 2, 2, 1, 5).change);
    EXPECT_TRUE(m.Apply(C::ThumbTrack, 2, 3, 1, 5).scroll);
    const ScrollStep dropped = m.Apply(C::ThumbPosition, 3, 3, 1, 5);
    EXPECT_TRUE(dropped.change);
    EXPECT_FALSE(dropped.moved);
    EXPECT_TRUE(m.Apply(C::LineUp, 3, 0, 1, 5).change);  // the drag is over
}

}  // namespace
}  // namespace vm
