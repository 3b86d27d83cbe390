// The logo window for real: layered and transparent at first, then 65
// frames from 128 x 128 at (66, 66) with alpha 1 to 256 x 256 at (2, 2)
// with alpha 255, started more than 20 ms apart.
#include <gtest/gtest.h>

#include <windows.h>


#include "screenshot.h"
#include "ui/frm_logo.h"

using namespace vm;

TEST(FrmLogoTest, ZoomAndFadeFrames) {
    frmLogo logo;
    std::vector<LogoFrame> frames;
    std::vector<DWORD> times;
    BYTE firstAlpha = 0;
    bool layered = false;
    logo.onFrame = [&](const LogoFrame& f, uint32_t started) {
        if (frames.empty()) {
            layered = (GetWindowLongPtrA(logo.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
            DWORD flags = 0;
            GetLayeredWindowAttributes(logo.hwnd(), nullptr, &firstAlpha, &flags);
        }
        frames.push_back(f);
        if (frames.size() == 1) Screenshot(logo.hwnd(), "logo-first-frame");
        if (f.Alpha == 255) Screenshot(logo.hwnd(), "logo-last-frame");
        times.push_back(started);
    };
    logo.Form_Load();
    ASSERT_NE(logo.hwnd(), nullptr);
    EXPECT_EQ(logo.WinVer, 2000);
    EXPECT_TRUE(layered);
    EXPECT_EQ(firstAlpha, 1);
    ASSERT_EQ(frames.size(), 65u);
    EXPECT_EQ(frames.front().DrawX, 66);
    EXPECT_EQ(frames.front().size, 128);
    EXPECT_EQ(frames.back().DrawX, 2);
    EXPECT_EQ(frames.back().size, 256);
    EXPECT_EQ(frames.back().Alpha, 255);
    BYTE lastAlpha = 0;
    GetLayeredWindowAttributes(logo.hwnd(), nullptr, &lastAlpha, nullptr);
    EXPECT_EQ(lastAlpha, 255);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_GT(times[i] - times[i - 1], 20u) << i;
    EXPECT_EQ(logo.EffectNo, -1);
    RECT client;
    GetClientRect(logo.hwnd(), &client);
    EXPECT_EQ(client.right, 255);
    EXPECT_EQ(client.bottom, 255);
    EXPECT_TRUE(IsWindowVisible(logo.hwnd()));
    logo.Unload();
    EXPECT_EQ(logo.hwnd(), nullptr);
}
