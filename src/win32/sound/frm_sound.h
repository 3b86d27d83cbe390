// frmSound: the sound desk window. It holds the players, the bars, the check
// boxes and the CD controls and hands every event to SoundDesk and CdPanel,
// which read and write the controls through the views it implements.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"
#include "platform/win32_mci.h"
#include "platform/window.h"
#include "sound/cd.h"
#include "sound/desk_table.h"
#include "sound/media_strip.h"
#include "sound/sound_desk.h"

namespace vm {

class frmMusic;

// Held by every handler of the sound desk and of its playlist editor while it
// runs. A handler may let messages run, and one of them may close the desk:
// what that opening of the desk made is released only when no handler runs.
class DeskCall {
public:
    explicit DeskCall(int& depth) : depth_(depth) { ++depth_; }
    ~DeskCall() { --depth_; }
    DeskCall(const DeskCall&) = delete;
    DeskCall& operator=(const DeskCall&) = delete;

private:
    int& depth_;
};

class frmSound : public Window, public SoundView, public CdView, public ScrollBars, public SoundIds {
public:
    static constexpr char kClass[] = "VellmoraSound";
    static constexpr char kCaption[] = "Vellmora Sound";

    frmSound(Env& env, Settings& settings, Fsuipc& link, ComIpc& weather, SoundHooks hooks, OperationGuard& guard);
    ~frmSound() override;

    // Loads the window (once) and shows it; a loaded window comes to the front.
    void Show(HWND owner);
    // Unloads the window: the desk closes its playlist editor and writes its
    // settings back.
    void Unload() override;
    bool Loaded() const { return hwnd() != nullptr; }
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
    SoundDesk* Desk() { return desk_.get(); }
    EventTable& Events() { return table_.Events(); }
    CdPanel* Cd() { return cdPanel_.get(); }
    MediaStrip& Player(int i) { return *mp_[static_cast<size_t>(i - 1)]; }
    // The playlist editor of this opening of the desk, or null.
    frmMusic* MusicOrderWindow() { return music_.get(); }

    // SoundView.
    bool PlayChecked(int player) override;
    void SetPlayChecked(int player, bool on) override;
    void EnableChannel(int channel, bool enable) override;
    int VolumeBar(int player) override;
    void SetVolumeBar(int player, int value) override;
    void SetVolumeLabel(int player, const std::string& text) override;
    int IntervalBar(int channel) override;
    void SetIntervalBar(int channel, int value) override;
    void SetIntervalLabel(int channel, const std::string& text) override;
    void SetPauseTimer(int channel, uint32_t ms) override;
    void SetFollowTimer(bool on) override;
    void SetFollowIndicator(bool active) override;
    void SetCaption(const std::string& text) override;
    std::string ChooseFiles(const std::string& startDir, const std::string& filter) override;
    void ShowPopup() override;
    void OpenPlaylistEditor() override;
    void ClosePlaylistEditor() override;
    void ShowNotice(const std::string& utf8Text) override;
    std::string FromUtf8(const std::string& utf8Text) override;

    // CdView.
    void SetCdEnabled(bool enable) override;
    bool CdChecked() override;
    void SetCdChecked(bool checked) override;
    bool RepeatChecked() override;
    int TrackValue() override;
    void SetTrackRange(int min, int max) override;
    void SetTrackValue(int value) override;
    void SetTrackLabel(const std::string& text) override;
    void SetCdTimer(bool on) override;

    // ScrollBars.
    BarState Bar(int id) override;
    void SetBarPos(int id, int pos) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // What one opening of the desk made, kept after it closed until none of
    // its handlers runs.
    struct Opening {
        std::unique_ptr<CdPanel> cdPanel;
        std::array<std::unique_ptr<MediaStrip>, 3> mp;
        std::unique_ptr<SoundDesk> desk;
        std::unique_ptr<frmMusic> music;
    };

    void Form_Load(HWND owner);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void ReleaseClosed();
    void CreateControls();
    static LRESULT CALLBACK FileButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    Env& env_;
    Settings& settings_;
    Fsuipc& link_;
    ComIpc& weather_;
    SoundHooks hooks_;
    Win32Mci mci_;
    CD cd_{mci_};
    std::unique_ptr<CdPanel> cdPanel_;
    std::array<std::unique_ptr<MediaStrip>, 3> mp_;
    std::unique_ptr<SoundDesk> desk_;
    SoundDeskTable table_;
    std::unique_ptr<frmMusic> music_;
    std::vector<Opening> closed_;
    int calls_ = 0;  // desk handlers running (DeskCall)
    HFONT font_ = nullptr;
    HBRUSH indicator_ = nullptr;
    bool following_ = false;
};

}  // namespace vm
