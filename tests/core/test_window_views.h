// The windows in memory for the core tests of the side windows: the sound
// desk and its CD controls, players and playlist editor, the weather editor
// and the main window's watch, the AutoRandom set dialog, the texture
// status window. Each records what its controller and table did to it.
// FireInside sends a window's event from inside what runs meanwhile.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/dispatch.h"
#include "fakes.h"
#include "sets/rand_sel.h"
#include "sets/texture_status.h"
#include "sim/sim_watch.h"
#include "sim/weather_editor.h"
#include "sound/cd.h"
#include "sound/desk_table.h"
#include "sound/media_player.h"
#include "sound/sound_desk.h"
#include "ui/scroll_motion.h"

namespace vm {

// An MCI device answering from a table; every command is recorded.
struct ScriptedMci : Mci {
    std::map<std::string, std::pair<uint32_t, std::string>> answers;  // missing: error 263
    std::vector<std::string> sent;
    uint32_t Send(const std::string& c, std::string* answer) override {
        sent.push_back(c);
        auto it = answers.find(c);
        if (it == answers.end()) return 263;
        if (answer) *answer = it->second.second;
        return it->second.first;
    }
    void Disc(int tracks, const std::string& position, const std::string& mode) {
        answers["open cdaudio alias cd wait shareable"] = {0, ""};
        answers["status cd media present"] = {0, "true"};
        answers["status cd number of tracks wait"] = {0, std::to_string(tracks) + " "};
        answers["status cd position"] = {0, position};
        answers["status cd mode"] = {0, mode};
        for (const char* c : {"set cd time format tmsf wait", "status cd length wait", "stop cd wait", "close all"})
            answers[c] = {0, ""};
        for (int i = 1; i <= 9; ++i) {
            answers["status cd length track " + std::to_string(i)] = {0, "03:00:00"};
            answers["seek cd to " + std::to_string(i)] = {0, ""};
            answers["play cd from " + std::to_string(i)] = {0, ""};
        }
    }
};


struct CdControls : CdView {
    bool enabled = true, checked = false, repeat = false, timer = false;
    int value = 1, max = 1;
    std::string label = "Track00";
    void SetCdEnabled(bool e) override { enabled = e; }
    bool CdChecked() override { return checked; }
    void SetCdChecked(bool c) override { checked = c; }
    bool RepeatChecked() override { return repeat; }
    int TrackValue() override { return value; }
    void SetTrackRange(int, int b) override { max = b; }
    void SetTrackValue(int v) override { value = v; }
    void SetTrackLabel(const std::string& t) override { label = t; }
    void SetCdTimer(bool on) override { timer = on; }
};


// A player that records what it was asked; events are raised by the test.
struct ScriptedPlayer : MediaPlayer {
    std::vector<std::string> loaded;
    PlayState state = PlayState::Stopped;
    long volume = 0;
    bool visible = false;
    double position = 7;
    void SetFileName(const std::string& p) override { loaded.push_back(p), state = PlayState::Playing; }
    std::string FileName() const override { return loaded.empty() ? "" : loaded.back(); }
    void Play() override { state = PlayState::Playing; }
    void Pause() override { state = PlayState::Paused; }
    void Stop() override { state = PlayState::Stopped; }
    PlayState State() override { return state; }
    double CurrentPosition() override { return position; }
    void SetCurrentPosition(double s) override { position = s; }
    void SetVolume(long v) override { volume = v; }
    long Volume() override { return volume; }
    void SetVisible(bool v) override { visible = v; }
    bool Visible() const override { return visible; }
};


struct DeskWindow : SoundView, MusicOrderView {
    int unloads = 0, editorCloses = 0;
    bool checked[3] = {}, enabled[2] = {true, true}, timer = false, green = false;
    int vol[3] = {}, intvl[2] = {};
    uint32_t pause[2] = {};
    std::string caption, dialog;
    std::vector<std::string> lines, notices;
    std::vector<bool> selected;
    bool PlayChecked(int p) override { return checked[p - 1]; }
    void SetPlayChecked(int p, bool on) override { checked[p - 1] = on; }
    void EnableChannel(int c, bool e) override { enabled[c - 1] = e; }
    int VolumeBar(int p) override { return vol[p - 1]; }
    void SetVolumeBar(int p, int v) override { vol[p - 1] = v; }
    void SetVolumeLabel(int, const std::string&) override {}
    int IntervalBar(int c) override { return intvl[c - 1]; }
    void SetIntervalBar(int c, int v) override { intvl[c - 1] = v; }
    void SetIntervalLabel(int, const std::string&) override {}
    void SetPauseTimer(int c, uint32_t ms) override { pause[c - 1] = ms; }
    void SetFollowTimer(bool on) override { timer = on; }
    void SetFollowIndicator(bool g) override { green = g; }
    void SetCaption(const std::string& t) override { caption = t; }
    std::function<void()> duringDialog;  // while the file dialog is open
    std::string ChooseFiles(const std::string&, const std::string&) override {
        if (duringDialog) duringDialog();
        return dialog;
    }
    void ShowPopup() override {}
    int editorOpened = 0, editorClosed = 0;
    std::function<void()> onCloseEditor;
    void OpenPlaylistEditor() override { ++editorOpened; }
    void ClosePlaylistEditor() override {
        ++editorClosed;
        if (onCloseEditor) onCloseEditor();
    }
    void ShowNotice(const std::string& t) override { notices.push_back(t); }
    std::string FromUtf8(const std::string& t) override { return t == "Caf\xC3\xA9.mp3" ? "Caf\xE9.mp3" : ""; }
    void AddLine(const std::string& t) override { lines.push_back(t), selected.push_back(false); }
    int LineCount() override { return int(lines.size()); }
    bool LineSelected(int i) override { return selected[size_t(i)]; }
    void RemoveLine(int i) override { lines.erase(lines.begin() + i), selected.erase(selected.begin() + i); }
    void Redraw() override {}
    void Unload() override { ++unloads; }
    void Close() override { ++editorCloses; }
};


// The desk's scroll bars over the fakes' values, in raw positions as the
// window holds them: the volumes, the intervals (60 at the top, one step
// past either end) and the CD's track bar.
struct DeskBars : ScrollBars {
    DeskWindow& desk;
    CdControls& cd;
    int track = 0;  // the thumb's place for the next thumb code
    DeskBars(DeskWindow& d, CdControls& c) : desk(d), cd(c) {}
    BarState Bar(int id) override {
        if (id >= SoundIds::hsbVol1 && id < SoundIds::hsbVol1 + 3) return {desk.vol[id - SoundIds::hsbVol1], track, 0, 100};
        if (id >= SoundIds::vsbIntvl1 && id < SoundIds::vsbIntvl1 + 2)
            return {60 - desk.intvl[id - SoundIds::vsbIntvl1], track, -1, 61};
        return {cd.value, track, 1, cd.max};
    }
    void SetBarPos(int id, int pos) override {
        if (id >= SoundIds::hsbVol1 && id < SoundIds::hsbVol1 + 3) desk.vol[id - SoundIds::hsbVol1] = pos;
        else if (id >= SoundIds::vsbIntvl1 && id < SoundIds::vsbIntvl1 + 2) desk.intvl[id - SoundIds::vsbIntvl1] = 60 - pos;
        else cd.value = pos;
    }
};

struct EditorWindow : WeatherView, ScrollBars {
    std::map<WxText, std::string> text;
    std::map<WxList, int> index;
    std::string layerNo = "Not Received", alt, focus;
    int pos = 0, max = 0, track = 0, closes = 0;
    bool editing = false, buttons = false, repeat = false;

    std::string Text(WxText b) override { return text[b]; }
    void SetText(WxText b, const std::string& t) override { text[b] = t; }
    void FocusText(WxText) override {}
    int ListIndex(WxList l) override { return index.count(l) ? index[l] : -1; }
    std::string ListText(WxList l) override { return ListIndex(l) < 0 ? "" : WxListItems(l)[size_t(index[l])]; }
    void SetListIndex(WxList l, int i) override { index[l] = i; }
    std::string LayerNo() override { return layerNo; }
    void SetLayerNo(const std::string& t) override { layerNo = t; }
    void SetAltitude(const std::string& t) override { alt = t; }
    int ScrollPos() override { return pos; }
    void SetScrollPos(int p) override { pos = p; }
    void SetScrollRange(int, int b) override { max = b; }
    void SetEditingEnabled(bool e) override { editing = e; }
    void SetButtonsEnabled(bool e) override { buttons = e; }
    void FocusButton(WxButton b) override { focus = "button" + std::to_string(int(b)); }
    void SetRepeat(bool on) override { repeat = on; }
    void Close() override { ++closes; }
    // vsbLayer; `track` is the thumb's place for the thumb codes.
    BarState Bar(int) override { return {pos, track, 0, max}; }
    void SetBarPos(int, int p) override { pos = p; }
};


// The main window's watch timers: the one that connects runs a real
// SimWatch tick when switched on, as the main window's handler does.
struct Watch : SimWatchSwitch {
    Fsuipc* link = nullptr;
    std::vector<bool> switched;
    bool linkWatch = false, music = false;
    SimWatch watch;
    bool LinkWatchOn() override { return linkWatch; }
    void UseLinkWatch(bool withLink) override {
        switched.push_back(withLink);
        linkWatch = withLink;
        Tick();
    }
    bool MusicKeepsLink() override { return music; }
    void Tick() {
        const SimWatchStep step = watch.Tick(link->SimRunning, linkWatch, false, link->IpcOpened, 0);
        if (step.connect) link->IpcConnect();
        if (step.close) link->IpcClose();
    }
};


// The dialog's window as records.
struct FakeRandSelView : RandSelView {
    std::map<List, std::vector<std::string>> items;
    std::vector<bool> checks;
    bool orderMode = false, buttons = true, dragHooked = false, closed = false, ended = false, mainEnabled = false;
    int popups = 0;
    std::map<List, int> selected;
    std::vector<Button> focused;
    void Clear(List l) override {
        items[l].clear();
        if (l == List::lstSet) checks.clear();
    }
    void Add(List l, const std::string& t) override {
        items[l].push_back(t);
        if (l == List::lstSet) checks.push_back(false);
    }
    int Count(List l) override { return static_cast<int>(items[l].size()); }
    void Select(List l, int i) override { selected[l] = i; }
    std::optional<std::string> SelectedLine(List l) override {
        const auto it = selected.find(l);
        if (it == selected.end() || it->second < 0 || it->second >= Count(l)) return std::nullopt;
        return items[l][static_cast<size_t>(it->second)];
    }
    void Focus(Button b) override { focused.push_back(b); }
    bool Checked(int i) override { return checks.at(static_cast<size_t>(i)); }
    void SetChecked(int i, bool c) override { checks.at(static_cast<size_t>(i)) = c; }
    void ShowMode(bool order) override { orderMode = order; }
    void EnableButtons(bool e) override { buttons = e; }
    void PopupMenu() override { ++popups; }
    void SetSetToolTip(const std::string&) override {}
    void DragHandling(bool on) override { dragHooked = on; }
    void Close() override { closed = true; }
    void EndProgram() override { ended = true; }
    void EnableMainWindow() override { mainEnabled = true; }
};


class RecordingStatusView : public StatusView {
public:
    void SetTitle(const std::string& t) override { title = t; }
    void ShowLines(const std::vector<StatusLine>& l) override { lines = l; }
    void ShowTotals(const std::string& t) override { totals = t; }
    void ShowNote(const std::string& n) override { note = n; }
    void EnableButtons(bool e) override { enabled = e; }
    void Close() override { ++closes; }
    int closes = 0;
    std::string title, totals, note;
    std::vector<StatusLine> lines;
    bool enabled = true;
    std::string Now(const std::string& file) const {
        for (const StatusLine& l : lines)
            if (l.file == file) return l.now;
        return "?";
    }
    std::string Backup(const std::string& file) const {
        for (const StatusLine& l : lines)
            if (l.file == file) return l.backup;
        return "?";
    }
};


// What runs when a window's event arrives: a plain handler of the main
// window letting messages run, an install, a cloud refresh, an exchange
// with the simulator.
enum class Inside { Handler, Install, Refresh, Exchange };

// Fires `e` at `table` once, from inside the first pump of what runs
// (begun by a main window's handler over `inner`, the guard's pump), and
// returns what Fire answered there. What was queued has run on return.
inline Fired FireInside(OperationGuard& guard, CountingPump& inner, Inside where, EventTable& table, const Event& e) {
    EventTable main(guard, hold::kMainWindow);
    Fired fired = Fired::NoEntry;
    main.On(1, 0, Policy::Start, hold::kNothing, [&](const Event&) {
        bool once = true;
        inner.onEvents = [&] {
            if (std::exchange(once, false)) fired = table.Fire(e);
        };
        std::optional<OperationScope> op;
        if (where == Inside::Install) op.emplace(guard, Operation::Install);
        if (where == Inside::Refresh) op.emplace(guard, Operation::Refresh);
        if (where == Inside::Exchange) op.emplace(guard, Operation::Exchange);
        guard.DoEvents();
        inner.onEvents = nullptr;
    });
    main.Fire(1);
    return fired;
}

// What each event of a table answers inside each of the four: rows for the
// entries that are not always run; every other entry of the table must run
// everywhere. Fires every entry of the table; `each` runs before each
// firing (to put the window back as it was).
struct Expect {
    int id, code;
    Fired handler, install, refresh, exchange;
};
inline void ExpectEachEntryInside(OperationGuard& guard, CountingPump& inner, EventTable& table,
                                  const std::vector<Expect>& rows, const std::function<void()>& each = {}) {
    const Inside places[] = {Inside::Handler, Inside::Install, Inside::Refresh, Inside::Exchange};
    for (auto [id, code] : table.Keys()) {
        Expect want{id, code, Fired::Ran, Fired::Ran, Fired::Ran, Fired::Ran};
        for (const Expect& r : rows)
            if (r.id == id && r.code == code) want = r;
        const Fired fired[] = {want.handler, want.install, want.refresh, want.exchange};
        for (int k = 0; k < 4; ++k) {
            if (each) each();
            const int c = code == EventTable::kAnyCode ? 0 : code;
            EXPECT_EQ(FireInside(guard, inner, places[k], table, Event{id, c, 1, 0}), fired[k])
                << "entry " << id << "/" << code << " inside " << k;
            EXPECT_FALSE(guard.Busy());
            EXPECT_TRUE(guard.QueueEmpty());
        }
    }
}

}  // namespace vm
