#include <gtest/gtest.h>

#include <vector>

#include "test_window_views.h"
#include "ui/msg_layout.h"

using namespace vm;

namespace {

// A label 15 twips a character wide and 195 twips a line high; wrapping packs
// as many characters as fit in the width.
struct FakeLabel {
    int chars = 0;
    int lines = 1;
    TwipSize operator()(int wrap) const {
        if (wrap == 0) return {chars * 15, lines * 195};
        const int perLine = wrap / 15;
        const int wrapped = (chars + perLine - 1) / perLine;
        return {wrap, std::max(1, wrapped) * 195};
    }
};

const WinMetrics k96{15, 15, 15 * 18};

}  // namespace

TEST(MsgStyle, ButtonSetsIconsAndResults) {
    struct Row {
        uint8_t style;
        ButtonSet set;
        int icon;
    } rows[] = {
        {0, ButtonSet::Ok, 0},           {16, ButtonSet::Ok, 16},
        {48, ButtonSet::Ok, 48},         {49, ButtonSet::OkCancel, 48},
        {52, ButtonSet::YesNo, 48},      {64, ButtonSet::Ok, 64},
        {68, ButtonSet::YesNo, 64},      {35, ButtonSet::YesNoCancel, 32},
        {7, ButtonSet::YesNo, 0},        {3, ButtonSet::YesNoCancel, 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ButtonSetOf(r.style), r.set) << int(r.style);
        EXPECT_EQ(IconOf(r.style), r.icon) << int(r.style);
    }
    EXPECT_EQ(ButtonPush(ButtonSet::YesNo, 12, 7), 6);
    EXPECT_EQ(ButtonPush(ButtonSet::YesNo, 22, 7), 7);
    EXPECT_EQ(ButtonPush(ButtonSet::YesNo, 33, 7), 7);  // unused code keeps ret
    EXPECT_EQ(ButtonPush(ButtonSet::YesNoCancel, 13, 2), 6);
    EXPECT_EQ(ButtonPush(ButtonSet::YesNoCancel, 23, 2), 7);
    EXPECT_EQ(ButtonPush(ButtonSet::YesNoCancel, 33, 2), 2);
    EXPECT_EQ(ButtonPush(ButtonSet::OkCancel, 12, 2), 1);
    EXPECT_EQ(ButtonPush(ButtonSet::OkCancel, 22, 2), 2);
    EXPECT_EQ(ButtonPush(ButtonSet::OkCancel, 23, 2), 2);
    EXPECT_EQ(ButtonPush(ButtonSet::Ok, 33, 2), 1);
}

TEST(MsgLayoutTest, EmptyMessageIsMinWideWithCentredOk) {
    MsgLayout L = LayoutMessage("", 0, k96, FakeLabel{0, 1});
    EXPECT_EQ(L.MaxW, 7350);
    EXPECT_EQ(L.MaxH, 3900);
    EXPECT_EQ(L.MinW, 2655);
    EXPECT_EQ(L.width, 2655);
    EXPECT_EQ(L.ret, 2);
    EXPECT_EQ(L.icon, 0);
    EXPECT_EQ(L.BtnCount, 1);
    EXPECT_TRUE(L.Button(23).visible);
    EXPECT_EQ(L.Button(23).caption, "OK(&O)");
    EXPECT_FALSE(L.Button(12).visible);
    EXPECT_DOUBLE_EQ(L.Button(23).left, 2655 / 2.0 - 570);
    EXPECT_EQ(L.focusCode, 23);
    EXPECT_DOUBLE_EQ(L.height, 270 + 300 + 195 + 250 + 330 + 180);
    EXPECT_DOUBLE_EQ(L.buttonTop, 195 + 300 + 250);
    EXPECT_FALSE(L.useTextBox);
}

TEST(MsgLayoutTest, WidthFollowsLabelBetweenMinAndMax) {
    // 300 characters = 4500 twips: N = 800 + 4500 + 450 = 5750.
    MsgLayout L = LayoutMessage("x", 64, k96, FakeLabel{300, 2});
    EXPECT_EQ(L.width, 5750);
    EXPECT_FALSE(L.wordWrap);
    // Exactly MaxW still fits without wrapping.
    auto exact = [](int w) { return TwipSize{w ? w : 6100, 195}; };
    L = LayoutMessage("x", 0, k96, exact);
    EXPECT_EQ(L.width, 7350);
    EXPECT_FALSE(L.wordWrap);
    // One twip more wraps.
    auto over = [](int w) { return TwipSize{w ? w : 6101, w ? 390 : 195}; };
    L = LayoutMessage("x", 0, k96, over);
    EXPECT_EQ(L.width, 7350);
    EXPECT_TRUE(L.wordWrap);
}

TEST(MsgLayoutTest, LongLineWrapsInsideMaxW) {
    // A 600-pixel line.
    MsgLayout L = LayoutMessage("x", 16, k96, FakeLabel{600, 1});
    EXPECT_EQ(L.width, L.MaxW);
    EXPECT_TRUE(L.wordWrap);
    EXPECT_EQ(L.labelWidth, 7350 - 800 - 450);
    EXPECT_EQ(L.labelHeight, 2 * 195);  // 9000 twips in 6100-wide lines
    EXPECT_DOUBLE_EQ(L.height, 270 + 300 + 390 + 250 + 330 + 180);
}

TEST(MsgLayoutTest, TallMessageMovesToScrollingTextBox) {
    MsgLayout L = LayoutMessage("x", 52, k96, FakeLabel{20, 40});
    EXPECT_TRUE(L.useTextBox);
    EXPECT_DOUBLE_EQ(L.height, L.MaxH + k96.CaptionH);
    EXPECT_DOUBLE_EQ(L.txtHeight, 3900 - 300 - 250 - 330 - 180);
    EXPECT_DOUBLE_EQ(L.txtWidth, L.width - 800);
    EXPECT_EQ(L.labelHeight, 2840);
    // The buttons sit under the text box.
    EXPECT_DOUBLE_EQ(L.buttonTop, L.txtTop + L.txtHeight + 250);
    EXPECT_EQ(L.ret, 7);
    EXPECT_EQ(L.Button(12).caption, "Yes(&Y)");
    EXPECT_EQ(L.Button(22).caption, "No(&N)");
    EXPECT_EQ(L.focusCode, 12);
    // Exactly MaxH of client height stays in the label.
    const int fits = (3900 - 300 - 250 - 330 - 180) / 195;
    EXPECT_FALSE(LayoutMessage("x", 0, k96, FakeLabel{1, fits}).useTextBox);
}

TEST(MsgLayoutTest, ButtonPlacementForEachSet) {
    MsgLayout two = LayoutMessage("x", 49, k96, FakeLabel{300, 1});
    EXPECT_DOUBLE_EQ(two.Button(12).left, (5750 - 120) / 2.0 - 1140);
    EXPECT_DOUBLE_EQ(two.Button(22).left, (5750 + 120) / 2.0);
    EXPECT_EQ(two.Button(22).caption, "Cancel(&C)");
    // The gap between the two is 120.
    EXPECT_DOUBLE_EQ(two.Button(22).left - (two.Button(12).left + 1140), 120);

    MsgLayout three = LayoutMessage("", 3, k96, FakeLabel{0, 1});
    EXPECT_EQ(three.MinW, 1140 + 2655 + 120);
    EXPECT_EQ(three.width, three.MinW);
    EXPECT_DOUBLE_EQ(three.Button(13).left, three.Button(23).left - 120 - 1140);
    EXPECT_DOUBLE_EQ(three.Button(33).left, three.Button(23).left + 120 + 1140);
    EXPECT_EQ(three.Button(33).caption, "Cancel(&C)");
    EXPECT_EQ(three.focusCode, 13);
    EXPECT_EQ(three.ret, 2);
}

namespace {

struct Trace {
    std::vector<std::string> events;
};

class FakeMsgWindow : public MsgWindow {
public:
    FakeMsgWindow(Trace& t, int passes, int16_t result) : t_(t), passes_(passes), result_(result) {}
    bool Answered() override { return passes_-- <= 0; }
    int16_t Result() override { return result_; }
    void Unload() override { t_.events.push_back("unload"); }

private:
    Trace& t_;
    int passes_;
    int16_t result_;
};

class FakeHost : public MsgHost {
public:
    Trace t;
    bool enabled = true, visible = true;
    int16_t answer = 6;
    bool MainEnabled() override { return enabled; }
    void SetMainEnabled(bool e) override {
        enabled = e;
        t.events.push_back(e ? "enable" : "disable");
    }
    bool MainVisible() override { return visible; }
    void FocusMain() override { t.events.push_back("focus"); }
    std::unique_ptr<MsgWindow> Show(const std::string& text, uint8_t, const std::string&) override {
        t.events.push_back("show " + text);
        return std::make_unique<FakeMsgWindow>(t, 3, answer);
    }
};

struct CountPump : Pump {
    int n = 0;
    void DoEvents() override { ++n; }
};
struct SleepClock : Clock {
    std::vector<unsigned> sleeps;
    double Now() override { return 0; }
    uint32_t TickMs() override { return 0; }
    void Sleep(unsigned ms) override { sleeps.push_back(ms); }
};

}  // namespace

TEST(ShowMsgModalTest, WaitsPumpingThenRestoresMainWindow) {
    FakeHost host;
    CountPump pump;
    SleepClock clock;
    EXPECT_EQ(ShowMsgModal(host, pump, clock, "hello", 68, "T"), 6);
    EXPECT_EQ(pump.n, 3);
    EXPECT_EQ(clock.sleeps, (std::vector<unsigned>{2, 2, 2}));
    EXPECT_EQ(host.t.events,
              (std::vector<std::string>{"disable", "show hello", "unload", "enable", "focus"}));
    EXPECT_TRUE(host.enabled);
}

TEST(ShowMsgModalTest, DisabledOrHiddenMainWindowGetsNoFocus) {
    FakeHost host;
    host.enabled = false;
    CountPump pump;
    SleepClock clock;
    ShowMsgModal(host, pump, clock, "a", 0, "T");
    EXPECT_FALSE(host.enabled);
    EXPECT_EQ(host.t.events.back(), "disable");  // restored to disabled, no focus

    FakeHost hidden;
    hidden.visible = false;
    ShowMsgModal(hidden, pump, clock, "a", 0, "T");
    EXPECT_TRUE(hidden.enabled);
    EXPECT_EQ(hidden.t.events.back(), "enable");
}

// The message window's buttons answer through its table even while an
// install runs: each code its result in the set, Esc and the close box the
// result the window started with, and a code the set lacks only ends the
// wait.
TEST(MsgAnswerTest, ButtonsEscAndCloseBoxAnswerWhateverRuns) {
    const struct {
        uint8_t style;
        int id;
        int16_t result;
    } rows[] = {
        {52, 12, 6},  {52, 22, 7},  {52, MsgIds::kCancelKey, 7}, {52, MsgIds::evClose, 7}, {3, 13, 6},
        {3, 23, 7},   {3, 33, 2},   {3, MsgIds::evClose, 2},     {1, 12, 1},               {1, 22, 2},
        {0, 23, 1},   {0, MsgIds::kCancelKey, 2}, {52, 23, 7},
    };
    CountingPump inner;
    OperationGuard guard(&inner);
    MsgAnswer answer(guard);
    for (const auto& r : rows) {
        answer.Begin(LayoutMessage("question", r.style, k96, FakeLabel{8}));
        EXPECT_FALSE(answer.Answered());
        EXPECT_EQ(FireInside(guard, inner, Inside::Install, answer.Events(), Event{r.id}), Fired::Ran);
        EXPECT_TRUE(answer.Answered()) << int(r.style) << " " << r.id;
        EXPECT_EQ(answer.Result(), r.result) << int(r.style) << " " << r.id;
    }
}
