// The event tables of the sound desk and of its playlist editor: every
// control, menu command, timer, player event and window event of the two
// windows reaches SoundDesk, CdPanel or MusicOrder through them. The
// windows turn their messages into these events and move values between
// their controls and the views; nothing else.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/dispatch.h"
#include "sound/cd.h"
#include "sound/sound_desk.h"
#include "ui/scroll_motion.h"

namespace vm {

// The sound desk's controls, menu commands, timers and events: the keys of
// its table (control ids are the window's own).
struct SoundIds : ControlCodes {
    enum Id {
        chkMP1 = 4001,        // to chkMP1 + 2
        hsbVol1 = 4011,       // to hsbVol1 + 2
        lblVol1 = 4021,       // to lblVol1 + 2
        vsbIntvl1 = 4031,     // and vsbIntvl1 + 1
        lblIntvl1 = 4041,     // and lblIntvl1 + 1
        chkAlwaysOn1 = 4051,  // and chkAlwaysOn1 + 1
        Mp1 = 4061,           // to Mp1 + 2
        cmdSelFile = 4070, lblVolIndex, chkCD, chkRepeatCD, hsvTrack, lblTrack,
        lblCaption0 = 4080,
        mnuClearList = 4101, mnuEditList, mnuFwd, mnuRev, mnuReset,
        // The timers, the close box, the file button's right click and the
        // files dropped on it, a player's end and error (Event::a: the
        // player, 1 to 3).
        tmrMp1 = 4201, tmrMp2, tmrIpcVolCont, tmrCD, evClose, evSelFileMenu, evDropFiles, evMpEnd, evMpError,
        // A scroll bar moved: the code is the scroll code, Event::a the bar.
        evScroll = 0x300,
    };
};

class SoundDeskTable : public SoundIds {
public:
    // `bars`: the window's volume, interval and track bars.
    SoundDeskTable(OperationGuard& guard, SoundView& view, ScrollBars& bars);

    EventTable& Events() { return events_; }
    // The desk and CD panel of this opening of the window; null while it is
    // closed (its events then do nothing).
    void Attach(SoundDesk* desk, CdPanel* cd);
    // Files dropped on the file button, in drop order.
    Fired Drop(std::vector<std::string> paths);

private:
    void Build();
    // One scroll code on a bar: its new position, then the desk's change.
    void Scroll(int bar, int code);

    SoundView& view_;
    ScrollBars& bars_;
    SoundDesk* desk_ = nullptr;
    CdPanel* cd_ = nullptr;
    std::vector<std::string> dropped_;
    std::map<int, ScrollMotion> motion_;  // per bar, by id
    EventTable events_;
};

// The playlist editor's controls and close box.
struct MusicOrderIds : ControlCodes {
    enum Id { lstOrder = 4201, cmdOK, cmdCancel, cmdDel, evClose = 4301 };
    static constexpr int kCancelKey = 2;  // Esc: the platform's cancel command
};

// The editor's buttons only edit the music list: they run while an
// operation runs too. Its close box waits for its own handler.
class MusicOrderTable : public MusicOrderIds {
public:
    MusicOrderTable(OperationGuard& guard, MusicOrder& order, MusicOrderView& view);
    EventTable& Events() { return events_; }

private:
    EventTable events_;
};

}  // namespace vm
