#include <gtest/gtest.h>

#include "ui/logo.h"

using namespace vm;

TEST(LogoEffectTest, SixtyFiveFramesFromHalfSizeToFullAndOpaque) {
    LogoEffect e;
    EXPECT_EQ(e.Alpha, 0);  // transparent before the first frame
    std::vector<LogoFrame> frames;
    while (!e.Finished()) frames.push_back(e.NextFrame());
    ASSERT_EQ(frames.size(), 65u);
    EXPECT_EQ(frames.front().DrawX, 66);
    EXPECT_EQ(frames.front().DrawY, 66);
    EXPECT_EQ(frames.front().size, 128);
    EXPECT_EQ(frames.front().Alpha, 1);
    EXPECT_EQ(frames.back().DrawX, 2);
    EXPECT_EQ(frames.back().size, 256);
    EXPECT_EQ(frames.back().Alpha, 255);
    // The middle frame: Step 96 gives 2 x floor(0.25 x 255) + 1 = 127.
    EXPECT_EQ(frames[32].Alpha, 127);
    for (size_t i = 1; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].size, frames[i - 1].size + 2);
        EXPECT_GE(frames[i].Alpha, frames[i - 1].Alpha);
        EXPECT_EQ(frames[i].DrawX + frames[i].size / 2, 130);  // centred
    }
    EXPECT_EQ(e.EffectNo, -1);
}

TEST(LogoEffectTest, PacingAndPlatform) {
    EXPECT_FALSE(LogoEffect::FrameDue(1020, 1000));
    EXPECT_TRUE(LogoEffect::FrameDue(1021, 1000));
    EXPECT_TRUE(LogoEffect::FrameDue(5, 0xFFFFFFF0u));  // the counter wraps
    EXPECT_EQ(WinVersionOf(1), 98);
    EXPECT_EQ(WinVersionOf(2), 2000);
    EXPECT_EQ(WinVersionOf(0), 0);
}
