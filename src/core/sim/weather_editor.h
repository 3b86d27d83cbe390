// The weather editor: shows the simulator's cloud layers one at a time, checks
// an edited layer, sends it, adds and deletes layers, steps heights with the
// arrow buttons and follows the link and the altitude once a second. The
// window only moves values between its controls and this class.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/dispatch.h"
#include "common/ports.h"
#include "sim/fsuipc.h"
#include "sim/weather.h"
#include "ui/scroll_motion.h"

namespace vm {

// The editor's text boxes, in the index order of the arrow buttons.
enum class WxText { txtTop = 0, txtBase = 1, txtDev = 2, txtPrecBaseAlt = 3 };
enum class WxList { cmbType, cmbCover, cmbTrubulence, cmbIce, cmbPrecType, cmbPrecRate };
enum class WxButton { cmdAdd, cmdDel, cmdReceive, cmdSend };

// The items of each list, in list order.
const std::vector<std::string>& WxListItems(WxList list);

// cmbType entry of a cloud type code: 1 Cirrus, 9 Cumulus, 8 Stratus,
// 10 Thunderstrom; any other code shows entry 0.
int TypeEntry(int32_t code);
// The cloud type code of a cmbType entry.
int32_t TypeCode(int entry);
// The whole value of an editor text: the text is a number when, read without
// its thousands commas, it converts to a signed 32-bit integer.
std::optional<int32_t> EditorNumber(std::string_view text);

// What the editor needs of its window.
class WeatherView {
public:
    virtual ~WeatherView() = default;
    virtual std::string Text(WxText box) = 0;
    virtual void SetText(WxText box, const std::string& text) = 0;
    virtual void FocusText(WxText box) = 0;
    virtual int ListIndex(WxList list) = 0;  // -1: nothing shown
    virtual std::string ListText(WxList list) = 0;
    virtual void SetListIndex(WxList list, int index) = 0;
    virtual std::string LayerNo() = 0;  // lblLayerNo
    virtual void SetLayerNo(const std::string& text) = 0;
    virtual void SetAltitude(const std::string& text) = 0;  // lblAlt
    virtual int ScrollPos() = 0;                            // vsbLayer
    virtual void SetScrollPos(int pos) = 0;
    virtual void SetScrollRange(int min, int max) = 0;
    // Every list, text box, vsbLayer and the eight arrow buttons.
    virtual void SetEditingEnabled(bool enable) = 0;
    // cmdSend, cmdDel, cmdReceive and cmdAdd.
    virtual void SetButtonsEnabled(bool enable) = 0;
    virtual void FocusButton(WxButton button) = 0;
    virtual void SetRepeat(bool on) = 0;  // tmr1
    // Unloads the window (the editor's unload follows).
    virtual void Close() = 0;
};

// The main window's simulator-watch timers, as the editor switches them.
class SimWatchSwitch {
public:
    virtual ~SimWatchSwitch() = default;
    // Whether the watch that also connects (tmrFScheck) is the one running.
    virtual bool LinkWatchOn() = 0;
    // Runs the watch that connects (true) or the plain one (false), stops
    // the other, and runs the chosen one's handler once.
    virtual void UseLinkWatch(bool withLink) = 0;
    // The sound desk is open and a channel follows the simulator.
    virtual bool MusicKeepsLink() = 0;
};

// Text of the message shown when a command meets a running cloud refresh.
extern const char kRefreshRunningText[];
extern const char kNoRoomText[];

class WeatherEditor {
public:
    WeatherEditor(Fsuipc& link, ComIpc& weather, Clock& clock, Messages& messages, int32_t waitTimeMs,
                  WeatherView& view, SimWatchSwitch& watch);

    void Form_Load();
    // The main window's menu shows the editor: its next activation brings
    // the simulator's layers in afresh.
    void ShownFromMenu() { receiveOnActivate_ = true; }
    // Any activation; only the first after ShownFromMenu reads the layers,
    // so a return from a message (or from any other window) keeps what the
    // user is correcting.
    void Form_Activate();
    // Gives the main window its watch back, and closes the link only when
    // nothing else holds it.
    void Form_Unload();
    void cmdReceive_Click();
    void cmdSend_Click();
    void cmdAdd_Click();
    void cmdDel_Click();
    void vsbLayer_Change();
    void cmdTopUp_MouseDown(int index) { ArrowDown(index, +5); }
    void cmdTopDn_MouseDown(int index) { ArrowDown(index, -5); }
    void cmdTop_MouseUp() { view_.SetRepeat(false); }
    void tmr1_Timer() { StepValue(); }
    void tmrAlt_Timer();

    // Enables the editing controls; `buttons` given: the four command
    // buttons too; not given and no usable link: they are disabled and
    // lblLayerNo shows "Not Received".
    void SetEditEnabled(bool enable, std::optional<bool> buttons = std::nullopt);
    // Fills the controls from the layer in lblLayerNo.
    void ShowLayer();
    // The messages of every failed check of the edited layer i (each ends
    // with CR LF); empty when the layer may be sent. Resets the offending
    // fields as it goes.
    std::string CheckLayer(int i);
    // One arrow step of the chosen text box; true when it stopped at a bound.
    bool StepValue();

    int StepField = 0;
    int StepAmount = 5;
    bool WasLinked = false;

private:
    bool Usable() const { return link_.SimRunning && link_.IpcLinked; }
    // Usable and no cloud refresh running (says so when one is).
    bool MayChange();
    // The layer in lblLayerNo when it is a whole number from 1 to the count.
    std::optional<int> ShownLayer();
    void ArrowDown(int index, int amount);
    void WaitAndReceive();
    int32_t Entry(int list, int layer) const { return weather_.Layers.At(list, size_t(layer - 1)); }

    Fsuipc& link_;
    ComIpc& weather_;
    Clock& clock_;
    Messages& messages_;
    int32_t waitTimeMs_;
    WeatherView& view_;
    SimWatchSwitch& watch_;
    bool linkWasOpen_ = false;
    bool linkWatchWasOn_ = false;
    bool receiveOnActivate_ = false;
};

// The editor's controls, timers and window events: the keys of its table
// (control ids are the window's own).
struct WeatherIds : ControlCodes {
    enum Id {
        cmbType = 3001, cmbCover, txtTop, txtBase, txtDev, cmbTrubulence, cmbIce, cmbPrecType, txtPrecBaseAlt,
        cmbPrecRate,
        cmdTopUp0 = 3020,  // to cmdTopUp0 + 3
        cmdTopDn0 = 3030,  // to cmdTopDn0 + 3
        cmdAdd = 3040, cmdDel, cmdReceive, cmdSend,
        vsbLayer = 3050, lblLayerNo, lblAlt,
        lblCaption0 = 3060,  // the captions of the controls
        // The arrows' repeat, the altitude and link watch, the close box and
        // the window's activation. A scroll of vsbLayer has the scroll code.
        tmr1 = 3901, tmrAlt, evClose, evActivate,
    };
    // An arrow button held down and let go (the left button).
    static constexpr int kArrowDown = kMouseDown + 1, kArrowUp = kMouseUp + 1;
};

// The editor's table: Receive, Send, Add and Del (and the receive that an
// activation after the menu makes) exchange the simulator's layers, so they
// wait while a refresh or an exchange holds them; the fields, arrows and
// layer bar are the window's own; tmrAlt reads the altitude once the link
// is free; the close box waits for the window's own handler.
class WeatherTable : public WeatherIds {
public:
    // `bars`: the window's vsbLayer.
    WeatherTable(OperationGuard& guard, WeatherView& view, ScrollBars& bars);
    EventTable& Events() { return events_; }
    // The editor of the loaded window; null: none (its events do nothing).
    void Attach(WeatherEditor* editor) { editor_ = editor; }

private:
    // The layer changes when the thumb is let go, not while it is dragged.
    void Scroll(int code);

    ScrollBars& bars_;
    WeatherEditor* editor_ = nullptr;
    ScrollMotion motion_;
    EventTable events_;
};

}  // namespace vm
