#include "ui/msg_layout.h"

#include "common/operation_guard.h"

namespace vm {

ButtonSet ButtonSetOf(uint8_t style) {
    if ((style & 4) == 4) return ButtonSet::YesNo;
    if ((style & 3) == 3) return ButtonSet::YesNoCancel;
    if ((style & 1) == 1) return ButtonSet::OkCancel;
    return ButtonSet::Ok;
}

int IconOf(uint8_t style) {
    if ((style & 48) == 48) return 48;
    if ((style & 32) == 32) return 32;
    if ((style & 16) == 16) return 16;
    if ((style & 64) == 64) return 64;
    return 0;
}

int16_t ButtonPush(ButtonSet set, int code, int16_t ret) {
    switch (set) {
        case ButtonSet::YesNo:
            if (code == 12) return 6;
            if (code == 22) return 7;
            return ret;
        case ButtonSet::YesNoCancel:
            if (code == 13) return 6;
            if (code == 23) return 7;
            if (code == 33) return 2;
            return ret;
        case ButtonSet::OkCancel:
            if (code == 12) return 1;
            if (code == 22) return 2;
            return ret;
        case ButtonSet::Ok:
            return 1;
    }
    return ret;
}

const MsgButton& MsgLayout::Button(int code) const {
    for (const auto& b : buttons)
        if (b.code == code) return b;
    return buttons[3];
}

MsgLayout LayoutMessage(const std::string& text, uint8_t style, const WinMetrics& m,
                        const std::function<TwipSize(int wrapWidth)>& measure) {
    (void)text;
    MsgLayout L;
    L.MaxW = m.TwipsX * 490;
    L.MaxH = m.TwipsY * 260;
    L.ret = 2;
    L.icon = IconOf(style);
    const int codes[5] = {12, 22, 13, 23, 33};
    for (int i = 0; i < 5; ++i) L.buttons[i].code = codes[i];
    auto& b12 = L.buttons[0];
    auto& b22 = L.buttons[1];
    auto& b13 = L.buttons[2];
    auto& b23 = L.buttons[3];
    auto& b33 = L.buttons[4];

    L.set = ButtonSetOf(style);
    switch (L.set) {
        case ButtonSet::YesNo:
            L.BtnCount = 2;
            L.ret = 7;
            b12 = {12, true, "Yes(&Y)", 0};
            b22 = {22, true, "No(&N)", 0};
            L.focusCode = 12;
            break;
        case ButtonSet::YesNoCancel:
            L.BtnCount = 3;
            b13 = {13, true, "Yes(&Y)", 0};
            b23 = {23, true, "No(&N)", 0};
            b33 = {33, true, "Cancel(&C)", 0};
            L.focusCode = 13;
            break;
        case ButtonSet::OkCancel:
            L.BtnCount = 2;
            b12 = {12, true, "OK(&O)", 0};
            b22 = {22, true, "Cancel(&C)", 0};
            L.focusCode = 12;
            break;
        case ButtonSet::Ok:
            L.BtnCount = 1;
            b23 = {23, true, "OK(&O)", 0};
            L.focusCode = 23;
            break;
    }

    L.MinW = L.BtnCount == 3 ? kMsgButtonW + 2655 + 120 : 2655;

    TwipSize label = measure(0);
    L.labelWidth = label.width;
    L.labelHeight = label.height;
    const int needed = L.labelLeft + L.labelWidth + 450;
    if (needed > L.MinW && needed <= L.MaxW) {
        L.wordWrap = false;
        L.width = needed;
    } else if (needed > L.MaxW) {
        L.width = L.MaxW;
        L.wordWrap = true;
        L.labelWidth = L.MaxW - L.labelLeft - 450;
        L.labelHeight = measure(L.labelWidth).height;
    } else {
        L.wordWrap = false;
        L.width = L.MinW;
    }

    L.height = m.CaptionH + L.labelTop + L.labelHeight + 250 + kMsgButtonH + 180;
    if (L.height - m.CaptionH > L.MaxH) {
        L.useTextBox = true;
        L.txtWidth = L.width - 800;
        L.txtHeight = L.MaxH - L.labelTop - 250 - kMsgButtonH - 180;
        L.labelHeight = static_cast<int>(L.txtHeight);
        L.height = L.MaxH + m.CaptionH;
    }

    L.buttonTop = L.labelHeight + L.labelTop + 250;
    const double W = L.width, B = kMsgButtonW;
    b12.left = (W - 120) / 2 - B;
    b22.left = (W + 120) / 2;
    b23.left = W / 2 - B / 2;
    b13.left = b23.left - 120 - B;
    b33.left = b23.left + 120 + B;
    return L;
}

MsgAnswer::MsgAnswer(OperationGuard& guard) : events_(guard) {
    for (int code : {12, 22, 13, 23, 33})
        events_.On(code, EventTable::kAnyCode, Policy::Free, hold::kNothing, [this, code] {
            ret_ = ButtonPush(set_, code, ret_);
            answered_ = true;
        });
    for (int id : {int(kCancelKey), int(evClose)})
        events_.On(id, EventTable::kAnyCode, Policy::Free, hold::kNothing, [this] { answered_ = true; });
}

void MsgAnswer::Begin(const MsgLayout& layout) {
    set_ = layout.set;
    ret_ = layout.ret;
    answered_ = false;
}

int ShowMsgModal(MsgHost& host, Pump& pump, Clock& clock, const std::string& text, uint8_t style,
                 const std::string& title) {
    const bool wasEnabled = host.MainEnabled();
    host.SetMainEnabled(false);
    std::unique_ptr<MsgWindow> w = host.Show(text, style, title);
    // The program's end answers with the result the window started with
    // (Cancel, or No for Yes/No).
    while (!w->Answered() && !EndAsked(pump)) {
        pump.DoEvents();
        clock.Sleep(2);
    }
    const int16_t ret = w->Result();
    w->Unload();
    w.reset();
    host.SetMainEnabled(wasEnabled);
    if (host.MainVisible() && wasEnabled) host.FocusMain();
    return ret;
}

}  // namespace vm
