// frmMsg: the program's own message window, and the Messages port built on it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/operation_guard.h"
#include "common/ports.h"
#include "platform/window.h"
#include "ui/msg_layout.h"

namespace vm {

class frmMsg : public Window, public MsgWindow, public MsgIds {
public:
    // Its buttons, Esc and close box go through a table on `guard`.
    explicit frmMsg(OperationGuard& guard) : answer_(guard) {}

    // The request, set before Form_Load.
    std::string MsgTxt;
    uint8_t ButtonIcon = 0;
    std::string Title;

    // Loads the window (hidden), lays it out for the request and returns
    // false when the window could not be made. `fixFont` replaces the face of
    // the text when not empty.
    bool Form_Load(HWND owner, const std::string& fixFont);
    // Shows it and gives the focus to the first button.
    void ShowAndFocus();

    // A window destroyed any other way than by its buttons (the session's
    // end, a close sent to it) answers with the first result.
    bool Answered() override { return answer_.Answered() || !hwnd() || !IsWindow(hwnd()); }
    int16_t Result() override { return answer_.Result(); }
    void Unload() override { Destroy(); }
    EventTable& Events() { return answer_.Events(); }

    const MsgLayout& layout() const { return layout_; }
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
    ~frmMsg() override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Form_Deactivate(HWND toWindow);
    TwipSize MeasureLabel(int wrapTwips);

    MsgAnswer answer_;
    MsgLayout layout_;
    WinMetrics metrics_;
    HFONT lblFont_ = nullptr;
    HFONT txtFont_ = nullptr;
};

// ShowMsg over frmMsg: the main window (may be null) is disabled during the
// wait; `sound` plays the message's sound before the window shows.
class Win32Messages : public Messages, public MsgHost {
public:
    Win32Messages(Pump& pump, Clock& clock) : pump_(pump), clock_(clock) {}
    void SetMainWindow(HWND main) { main_ = main; }
    // The configured fixed-pitch face, read at every message (may be null).
    void SetFixFont(const std::string* face) { fixFont_ = face; }
    void SetSound(std::function<void(uint8_t style)> sound) { sound_ = std::move(sound); }
    // Tests: called with every message window once it is shown.
    std::function<void(frmMsg&)> onShown;

    int ShowMsg(const std::string& text, uint8_t style, const std::string& title) override;

    bool MainEnabled() override;
    void SetMainEnabled(bool enabled) override;
    bool MainVisible() override;
    void FocusMain() override;
    std::unique_ptr<MsgWindow> Show(const std::string& text, uint8_t style, const std::string& title) override;

private:
    Pump& pump_;
    Clock& clock_;
    // The program's guard behind the pump, or one of its own.
    OperationGuard ownGuard_;
    OperationGuard& guard_ = GuardOfPump(pump_) ? *GuardOfPump(pump_) : ownGuard_;
    HWND main_ = nullptr;
    const std::string* fixFont_ = nullptr;
    std::function<void(uint8_t)> sound_;
};

}  // namespace vm
