#include "sound/desk_table.h"

#include <utility>

namespace vm {

namespace {

// 1-based index of `id` in `count` ids from `first`; 0 when outside.
int IndexOf(int id, int first, int count) { return id >= first && id < first + count ? id - first + 1 : 0; }

}  // namespace

SoundDeskTable::SoundDeskTable(OperationGuard& guard, SoundView& view, ScrollBars& bars)
    : view_(view), bars_(bars), events_(guard, hold::kSoundWindow) {
    Build();
}

void SoundDeskTable::Attach(SoundDesk* desk, CdPanel* cd) {
    desk_ = desk;
    cd_ = cd;
    motion_.clear();
}

Fired SoundDeskTable::Drop(std::vector<std::string> paths) {
    dropped_ = std::move(paths);
    return events_.Fire(evDropFiles);
}

// The players, their bars and switches, the music list's menu, dropped
// files and the CD keep working while an operation runs. The music list's
// dialog and its editor are the desk's own: they open unless the desk waits
// on a dialog or message of its own. The following reads the simulator:
// its work waits while the link is held. The close box waits for the
// desk's own handlers.
void SoundDeskTable::Build() {
    using namespace hold;
    EventTable& t = events_;
    const auto desk = [this](void (SoundDesk::*handler)()) {
        return [this, handler] {
            if (desk_) (desk_->*handler)();
        };
    };
    const int any = EventTable::kAnyCode;
    for (int i = 1; i <= 3; ++i)
        t.On(chkMP1 + i - 1, kClicked, Policy::Free, kNothing, [this, i] {
            if (desk_) desk_->chkMP_Click(i);
        });
    t.On(chkCD, kClicked, Policy::Free, kNothing, [this] {
        if (cd_) cd_->chkCD_Click();
    });
    t.On(mnuClearList, kClicked, Policy::Free, kNothing, desk(&SoundDesk::mnuClearList_Click));
    t.On(mnuFwd, kClicked, Policy::Free, kNothing, desk(&SoundDesk::mnuFwd_Click));
    t.On(mnuRev, kClicked, Policy::Free, kNothing, desk(&SoundDesk::mnuRev_Click));
    t.On(mnuReset, kClicked, Policy::Free, kNothing, desk(&SoundDesk::mnuReset_Click));
    t.On(cmdSelFile, kClicked, Policy::Start, kNothing, desk(&SoundDesk::cmdSelFile_Click));
    t.On(mnuEditList, kClicked, Policy::Start, kNothing, desk(&SoundDesk::mnuEditList_Click));
    t.On(evSelFileMenu, any, Policy::Free, kNothing, [this] {
        if (desk_) desk_->cmdSelFile_MouseDown(2);
    });
    t.On(evDropFiles, any, Policy::Free, kNothing, [this] {
        if (desk_) desk_->cmdSelFile_OLEDragDrop(dropped_);
    });
    t.On(evScroll, any, Policy::Free, kNothing, [this](const Event& e) { Scroll(e.a, e.code); });
    for (int channel = 1; channel <= 2; ++channel)
        t.On(tmrMp1 + channel - 1, any, Policy::Free, kNothing, [this, channel] {
            if (desk_) desk_->tmrMp_Timer(channel);
        });
    // Event::a: the player, 1 to 3 (anything else names none).
    t.On(evMpEnd, any, Policy::Free, kNothing, [this](const Event& e) {
        if (desk_ && e.a >= 1 && e.a <= 3) desk_->Mp_EndOfStream(e.a);
    });
    t.On(evMpError, any, Policy::Free, kNothing, [this](const Event& e) {
        if (desk_ && e.a >= 1 && e.a <= 3) desk_->Mp_Error(e.a);
    });
    t.On(tmrIpcVolCont, any, Policy::Tick, kLink, desk(&SoundDesk::tmrIpcVolCont_Timer));
    t.On(tmrCD, any, Policy::Free, kNothing, [this] {
        if (cd_) cd_->tmrCD_Timer();
    });
    t.On(evClose, any, Policy::Close, kNothing, [this] { view_.Unload(); });
}

void SoundDeskTable::Scroll(int bar, int code) {
    if (code < int(ScrollCode::LineUp) || code > int(ScrollCode::EndScroll)) return;
    const int vol = IndexOf(bar, hsbVol1, 3), intvl = IndexOf(bar, vsbIntvl1, 2);
    if (!vol && !intvl && bar != hsvTrack) return;
    const BarState b = bars_.Bar(bar);
    const ScrollStep step = motion_[bar].Apply(ScrollCode(code), b.pos, b.track, b.min, b.max);
    if (step.moved) bars_.SetBarPos(bar, step.pos);
    if (!desk_) return;
    // The volume and interval bars take every move, the thumb's too; the
    // track bar shows the track while the thumb is dragged and goes to it
    // when it is let go.
    if (vol) {
        if (step.moved) desk_->hsbVol_Change(vol);
    } else if (intvl) {
        if (step.moved) desk_->vsbIntvl_Change(intvl);
    } else {
        if (step.scroll) cd_->hsvTrack_Scroll();
        if (step.change) cd_->hsvTrack_Change();
        if (step.dragEnded) cd_->hsvTrack_DragEnded();
    }
}

MusicOrderTable::MusicOrderTable(OperationGuard& guard, MusicOrder& order, MusicOrderView& view)
    : events_(guard, hold::kListEditor) {
    using namespace hold;
    EventTable& t = events_;
    t.On(cmdOK, kClicked, Policy::Free, kNothing, [&view] { view.Close(); });
    for (int id : {int(cmdCancel), kCancelKey})
        t.On(id, kClicked, Policy::Free, kNothing, [&order, &view] {
            order.cmdCancel_Click();
            view.Close();
        });
    t.On(cmdDel, kClicked, Policy::Free, kNothing, [&order] { order.cmdDel_Click(); });
    t.On(evClose, EventTable::kAnyCode, Policy::Close, kNothing, [&view] { view.Close(); });
}

}  // namespace vm
