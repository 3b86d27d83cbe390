// The message window: button sets, result codes, layout arithmetic (twips)
// and the modal wait.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/dispatch.h"
#include "common/ports.h"

namespace vm {

enum class ButtonSet { YesNo, YesNoCancel, OkCancel, Ok };

ButtonSet ButtonSetOf(uint8_t style);
// 48, 32, 16 or 64 by the icon rule; 0 when no icon bit is set.
int IconOf(uint8_t style);
// The result a button code (12, 22, 13, 23, 33) gives in a set; `ret` is
// returned unchanged for a code the set does not use.
int16_t ButtonPush(ButtonSet set, int code, int16_t ret);

struct TwipSize {
    int width = 0;
    int height = 0;
};

// Screen metrics, in twips (GetWinMetrics).
struct WinMetrics {
    int TwipsX = 15;
    int TwipsY = 15;
    int CaptionH = 0;  // TwipsY x SM_CYCAPTION
};

struct MsgButton {
    int code = 0;          // 12, 22, 13, 23 or 33: also the button's name (cmdNN)
    bool visible = false;
    std::string caption;
    double left = 0;
};

struct MsgLayout {
    ButtonSet set = ButtonSet::Ok;
    int BtnCount = 1;
    int16_t ret = 2;  // the initial result (what closing by other means returns)
    int icon = 0;
    int MaxW = 0, MaxH = 0, MinW = 0;
    double width = 0, height = 0;  // outer size of the window
    // The label (or, when too tall, the scrolling text box in its place).
    bool wordWrap = false;
    int labelLeft = 800, labelTop = 300;
    int labelWidth = 0, labelHeight = 0;
    bool useTextBox = false;
    double txtLeft = 650, txtTop = 300, txtWidth = 0, txtHeight = 0;
    double buttonTop = 0;
    MsgButton buttons[5];  // cmd12, cmd22, cmd13, cmd23, cmd33
    int focusCode = 23;    // the button that gets the focus

    const MsgButton& Button(int code) const;
};

constexpr int kMsgButtonW = 1140;
constexpr int kMsgButtonH = 330;

// Lays out the window for `text`. `measure(wrapWidth)` returns the label's
// auto-sized extent in twips: one line per text line when wrapWidth is 0,
// otherwise wrapped at that width.
MsgLayout LayoutMessage(const std::string& text, uint8_t style, const WinMetrics& m,
                        const std::function<TwipSize(int wrapWidth)>& measure);

// The message window's controls and close box; a button's id is its code
// (12, 22, 13, 23, 33).
struct MsgIds : ControlCodes {
    enum Id { ID_ICON = 100, ID_LBL = 101, ID_TXT = 102, evClose = 110 };
    static constexpr int kCancelKey = 2;  // Esc: the platform's cancel command
};

// The message window's table: a button answers with its result in the set;
// Esc and the close box with the result the window started with. They
// always run: nothing may keep a message from being answered.
class MsgAnswer : public MsgIds {
public:
    explicit MsgAnswer(OperationGuard& guard);
    EventTable& Events() { return events_; }
    // A new request laid out: not answered, the layout's initial result.
    void Begin(const MsgLayout& layout);
    bool Answered() const { return answered_; }
    int16_t Result() const { return ret_; }

private:
    ButtonSet set_ = ButtonSet::Ok;
    int16_t ret_ = 2;
    bool answered_ = false;
    EventTable events_;
};

// The window side of the modal wait.
class MsgWindow {
public:
    virtual ~MsgWindow() = default;
    virtual bool Answered() = 0;  // ExitFlg
    virtual int16_t Result() = 0; // ret
    virtual void Unload() = 0;
};

class MsgHost {
public:
    virtual ~MsgHost() = default;
    virtual bool MainEnabled() = 0;
    virtual void SetMainEnabled(bool enabled) = 0;
    virtual bool MainVisible() = 0;
    virtual void FocusMain() = 0;
    // Loads the message window with the request, lays it out, plays its
    // sound and shows it.
    virtual std::unique_ptr<MsgWindow> Show(const std::string& text, uint8_t style,
                                            const std::string& title) = 0;
};

// ShowMsg: disables the main window, shows the message and lets window
// messages run (sleeping 2 ms a pass) until a button answers, then restores
// the main window. A call made while another one waits (from a timer, say)
// simply nests: it runs its own wait inside the outer one's pass, and each
// call returns its own window's answer.
int ShowMsgModal(MsgHost& host, Pump& pump, Clock& clock, const std::string& text, uint8_t style,
                 const std::string& title);

}  // namespace vm
