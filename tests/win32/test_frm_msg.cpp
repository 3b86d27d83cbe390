// The message window created for real: sizes, layout choices and the
// answers of every button set, clicked through the window's own buttons.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32_ports.h"
#include "ui/frm_msg.h"

using namespace vm;

namespace {

struct Fixture : ::testing::Test {
    Win32Pump pump;
    Win32Clock clock;
    Win32Messages messages{pump, clock};
    std::vector<uint8_t> sounds;

    void SetUp() override {
        messages.SetSound([this](uint8_t style) { sounds.push_back(style); });
    }

    // Shows the message and, once shown, inspects it and clicks `code`.
    int Answer(const std::string& text, uint8_t style, int code,
               const std::function<void(frmMsg&)>& inspect = {}) {
        messages.onShown = [&, code](frmMsg& w) {
            if (inspect) inspect(w);
            PostMessageA(w.Control(code), BM_CLICK, 0, 0);
        };
        return messages.ShowMsg(text, style, "Title");
    }
};

SIZE OuterSize(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST_F(Fixture, EveryButtonSetAnswersWithItsCodes) {
    struct Row {
        uint8_t style;
        int code;
        int result;
    } rows[] = {
        {0, 23, 1},  {16, 23, 1}, {64, 23, 1},  {49, 12, 1}, {49, 22, 2},
        {52, 12, 6}, {52, 22, 7}, {68, 12, 6},  {3, 13, 6},  {3, 23, 7}, {3, 33, 2},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Answer("question", r.style, r.code), r.result) << int(r.style) << " " << r.code;
    EXPECT_EQ(sounds.size(), std::size(rows));  // one sound per message, before showing
}

TEST_F(Fixture, CaptionsTitleAndTextShowTheRequest) {
    Answer("Line one\r\nLine two", 52, 12, [](frmMsg& w) {
        EXPECT_EQ(GetText(w.hwnd()), "Title");
        EXPECT_EQ(GetText(w.Control(frmMsg::ID_LBL)), "Line one\r\nLine two");
        EXPECT_EQ(GetText(w.Control(12)), "Yes(&Y)");
        EXPECT_EQ(GetText(w.Control(22)), "No(&N)");
        EXPECT_TRUE(IsWindowVisible(w.Control(12)));
        EXPECT_FALSE(IsWindowVisible(w.Control(23)));
        EXPECT_EQ(GetFocus(), w.Control(12));
    });
}

TEST_F(Fixture, EmptyTextGivesMinWidth) {
    Answer("", 0, 23, [](frmMsg& w) {
        const WinMetrics m = GetWinMetrics();
        EXPECT_EQ(OuterSize(w.hwnd()).cx, TwipsToPx(2655, m.TwipsX));
        EXPECT_EQ(w.layout().width, w.layout().MinW);
        EXPECT_TRUE(IsWindowVisible(w.Control(23)));
    });
}

TEST_F(Fixture, LongLineWrapsAtMaxWidth) {
    const std::string line(110, 'W');  // far wider than 490 pixels
    Answer(line, 48, 23, [](frmMsg& w) {
        EXPECT_EQ(OuterSize(w.hwnd()).cx, 490);
        EXPECT_TRUE(w.layout().wordWrap);
        RECT r;
        GetWindowRect(w.Control(frmMsg::ID_LBL), &r);
        EXPECT_GT(r.bottom - r.top, 20);  // more than one line
        EXPECT_FALSE(IsWindowVisible(w.Control(frmMsg::ID_TXT)));
    });
}

TEST_F(Fixture, TallTextMovesToScrollingBox) {
    std::string text;
    for (int i = 1; i <= 40; ++i) text += "line " + std::to_string(i) + "\r\n";
    Answer(text, 16, 23, [](frmMsg& w) {
        const WinMetrics m = GetWinMetrics();
        EXPECT_TRUE(IsWindowVisible(w.Control(frmMsg::ID_TXT)));
        EXPECT_FALSE(IsWindowVisible(w.Control(frmMsg::ID_LBL)));
        EXPECT_EQ(OuterSize(w.hwnd()).cy, TwipsToPx(w.layout().MaxH + m.CaptionH, m.TwipsY));
        RECT box, ok;
        GetWindowRect(w.Control(frmMsg::ID_TXT), &box);
        GetWindowRect(w.Control(23), &ok);
        EXPECT_GT(ok.top, box.bottom);  // the button sits under the box
        EXPECT_NE(GetText(w.Control(frmMsg::ID_TXT)).find("line 40"), std::string::npos);
    });
}

TEST_F(Fixture, CloseBoxAnswersTheInitialResult) {
    messages.onShown = [](frmMsg& w) { PostMessageA(w.hwnd(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(messages.ShowMsg("x", 52, "T"), 7);
    EXPECT_EQ(messages.ShowMsg("x", 49, "T"), 2);
}

namespace {
HWND g_doomed = nullptr;

VOID CALLBACK DestroyDoomed(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    DestroyWindow(g_doomed);
}
}  // namespace

TEST_F(Fixture, AWindowDestroyedWhileItWaitsAnswersTheInitialResult) {
    // Destroyed other than by its buttons (the session's end, another
    // program): the wait ends, with the result the window started with.
    messages.onShown = [](frmMsg& w) {
        g_doomed = w.hwnd();
        SetTimer(nullptr, 0, 20, DestroyDoomed);
    };
    EXPECT_EQ(messages.ShowMsg("x", 52, "T"), 7);
    EXPECT_EQ(messages.ShowMsg("x", 3, "T"), 2);
    EXPECT_FALSE(IsWindow(g_doomed));
}

TEST_F(Fixture, MainWindowStateIsRestored) {
    HWND main = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
    messages.SetMainWindow(main);
    Answer("x", 0, 23, [main](frmMsg&) { EXPECT_FALSE(IsWindowEnabled(main)); });
    EXPECT_TRUE(IsWindowEnabled(main));
    EnableWindow(main, FALSE);
    Answer("x", 0, 23);
    EXPECT_FALSE(IsWindowEnabled(main));
    DestroyWindow(main);
}

namespace {
struct NestedCtx {
    Win32Messages* m;
    int* inner;
    HWND* outerNo;
} g_nested;

VOID CALLBACK AskInner(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    *g_nested.inner = g_nested.m->ShowMsg("inner", 68, "Inner");
    PostMessageA(*g_nested.outerNo, BM_CLICK, 0, 0);
}
}  // namespace

TEST_F(Fixture, NestedMessageAnswersInnerFirst) {
    // A timer fires during the outer wait and asks a question of its own: the
    // inner call waits for its own window, then the outer one goes on.
    int inner = 0, shown = 0;
    HWND outerNo = nullptr;
    messages.onShown = [&](frmMsg& w) {
        if (++shown == 1) {
            outerNo = w.Control(22);
        } else {
            PostMessageA(w.Control(12), BM_CLICK, 0, 0);
        }
    };
    g_nested = {&messages, &inner, &outerNo};
    UINT_PTR t = SetTimer(nullptr, 0, 20, AskInner);
    EXPECT_EQ(messages.ShowMsg("outer", 52, "Outer"), 7);
    KillTimer(nullptr, t);
    EXPECT_EQ(inner, 6);
    EXPECT_EQ(shown, 2);
}
