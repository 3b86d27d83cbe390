// The weather editor window created in-process over the in-process
// simulator: a received layer in the controls, an arrow button held through
// its mouse messages, every caption fitting its control; a screenshot is
// saved as a build artifact.
#include <gtest/gtest.h>
#include <windows.h>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "platform/win32_ports.h"
#include "screenshot.h"
#include "sim/frm_weather.h"

using namespace vm;

namespace {

struct NoWatch : SimWatchSwitch {
    bool LinkWatchOn() override { return true; }
    void UseLinkWatch(bool) override {}
};

void Settle(int ms = 50) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        PumpPending();
        Sleep(5);
    }
}

// Whether the text of a static or button control fits inside it.
bool Fits(HWND h) {
    char cls[32];
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") && lstrcmpiA(cls, "Button")) return true;
    const std::string text = GetText(h);
    if (text.empty()) return true;
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    RECT r;
    GetClientRect(h, &r);
    return size.cx <= r.right - 4 && size.cy <= r.bottom;
}

}  // namespace

TEST(FrmWeather, ShowsAReceivedLayerAndStepsWithTheArrows) {
    FakeClock clock;
    CountingPump pump;
    ScriptedMessages messages;
    SimServer server;
    server.SetLayers({{9, 3, 1525, 457, 30, 2, 1, 300, 1, 4}, {8, 6, 3000, 2000, 0, 0, 0, 0, 0, 0}});
    server.Options().altitude = {{0, 2500.25}};
    IpcLoopback transport{server, clock};
    Fsuipc link{transport, clock, pump};
    link.SimRunning = true;
    link.IpcConnect();
    ASSERT_TRUE(link.IpcLinked);
    ComIpc weather{link};
    Settings settings;
    NoWatch watch;
    frmWeather w(link, weather, clock, messages, settings, watch);
    w.Show(nullptr);
    Settle();
    ASSERT_TRUE(w.Loaded());
    w.Editor()->tmrAlt_Timer();
    Settle();

    EXPECT_EQ(GetText(w.hwnd()), "Weather Setting");
    EXPECT_EQ(GetText(w.Control(frmWeather::lblLayerNo)), "1");
    EXPECT_EQ(GetText(w.Control(frmWeather::lblAlt)), "8,202.9");
    EXPECT_EQ(GetText(w.Control(frmWeather::cmbType)), "Cumulus");
    EXPECT_EQ(GetText(w.Control(frmWeather::cmbCover)), "Scattered (3/8)");
    EXPECT_EQ(GetText(w.Control(frmWeather::txtTop)), "5,003");
    EXPECT_EQ(GetText(w.Control(frmWeather::txtBase)), "1,499");
    EXPECT_TRUE(IsWindowEnabled(w.Control(frmWeather::cmdSend)));
    for (HWND c = GetWindow(w.hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        EXPECT_TRUE(Fits(c)) << GetText(c);
    Screenshot(w.hwnd(), "weather-editor");

    // An arrow press on the deviation steps it once and starts the repeat;
    // the release stops it.
    HWND up = w.Control(frmWeather::cmdTopUp0 + 2);
    SendMessageA(up, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(GetText(w.Control(frmWeather::txtDev)), "103");
    SendMessageA(up, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));

    // Closing unloads it; the link stays open since it was open before.
    SendMessageA(w.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(w.Loaded());
    EXPECT_TRUE(link.IpcLinked);
}
