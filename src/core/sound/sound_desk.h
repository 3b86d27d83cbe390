// The sound desk: two ambience channels playing random files of their
// folders with a random pause between them, the music list, the CD, and the
// following of the aircraft through a thunderstorm layer. The window only
// moves values between its controls and this class.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"
#include "sim/fsuipc.h"
#include "sim/weather.h"
#include "sound/cd.h"
#include "sound/media_player.h"
#include "sound/sound_rules.h"

namespace vm {

// Players are numbered as the controls: 1 and 2 the channels, 3 the music.
class SoundView {
public:
    virtual ~SoundView() = default;
    virtual bool PlayChecked(int player) = 0;                // chkMP
    virtual void SetPlayChecked(int player, bool on) = 0;    // without its click
    virtual void EnableChannel(int channel, bool enable) = 0;  // chkMP, hsbVol and vsbIntvl
    virtual int VolumeBar(int player) = 0;                   // hsbVol
    virtual void SetVolumeBar(int player, int value) = 0;    // without its change
    virtual void SetVolumeLabel(int player, const std::string& text) = 0;
    virtual int IntervalBar(int channel) = 0;                // vsbIntvl
    virtual void SetIntervalBar(int channel, int value) = 0; // without its change
    virtual void SetIntervalLabel(int channel, const std::string& text) = 0;
    virtual void SetPauseTimer(int channel, uint32_t ms) = 0;  // tmrMp; 0 stops it
    virtual void SetFollowTimer(bool on) = 0;                // tmrIpcVolCont
    virtual void SetFollowIndicator(bool active) = 0;        // lblVolIndex green / light yellow
    virtual void SetCaption(const std::string& text) = 0;
    // The open-file dialog with multiple selection: its NUL-separated result,
    // empty when cancelled.
    virtual std::string ChooseFiles(const std::string& startDir, const std::string& filter) = 0;
    virtual void ShowPopup() = 0;                            // mnuPopUp
    virtual void OpenPlaylistEditor() = 0;                   // frmMusic, modeless
    virtual void ClosePlaylistEditor() = 0;                  // when it is open
    virtual void ShowNotice(const std::string& utf8Text) = 0;
    // UTF-8 text in the code page of file names; empty when a character has
    // no place in it.
    virtual std::string FromUtf8(const std::string& utf8Text) = 0;
    // Unloads the window (the desk's unload follows).
    virtual void Unload() = 0;
};

// What the desk needs of the main window.
struct SoundHooks {
    std::function<bool()> modulePresent;   // the IPC module is installed
    std::function<void()> checkSimWindow;  // the simulator-window check, once
    std::function<void()> buttonSound;
};

// Writes the keys `first` of [Sound], then LastMusicPath and MusicFile1..
// from the settings, and deletes the MusicFile keys after the last title.
// Nothing, and false, without cloud.ini.
bool SaveMusicList(Env& env, Settings& s, const std::vector<std::pair<std::string, std::string>>& first = {});

class SoundDesk {
public:
    SoundDesk(Env& env, Settings& settings, std::array<MediaPlayer*, 3> players, SoundView& view, CdPanel& cd,
              Fsuipc& link, ComIpc& weather, SoundHooks hooks);

    void Form_Load();
    void Form_Unload();
    void chkMP_Click(int player);
    void hsbVol_Change(int player);
    void vsbIntvl_Change(int channel);
    void Mp_EndOfStream(int player);
    void Mp_Error(int player);
    void tmrMp_Timer(int channel);
    void tmrIpcVolCont_Timer();
    void cmdSelFile_Click();
    void cmdSelFile_MouseDown(int button);
    // Paths dropped on the file button, in drop order.
    void cmdSelFile_OLEDragDrop(const std::vector<std::string>& paths);
    void mnuClearList_Click();
    // The playlist editor belongs to this opening of the desk: it opens only
    // while the desk is open, and goes when the desk closes.
    void mnuEditList_Click();
    void mnuFwd_Click();
    void mnuRev_Click();
    void mnuReset_Click();

    // For the playlist editor: start again from the first title of a changed
    // list, and put the player away after the list was emptied.
    void ResetMusicPlayer();
    void MusicListEmptied();

    // The cloud refresh leaves the link open while the desk is open and a
    // channel follows the simulator.
    bool KeepsLink() const { return SoundWinOpen && s_.UseFsAny; }
    // Before cloud.ini is read again: the music list changes only while the
    // desk is open, and is otherwise saved already.
    void SaveBeforeReload() {
        if (SoundWinOpen) SaveMusicList(env_, s_);
    }
    // Loaded and not being closed.
    bool Open() const { return SoundWinOpen && !closing_; }
    // The file name part of a path; a path ending in a backslash is reported.
    std::string GetFileName(const std::string& path);

    bool SoundWinOpen = false;
    int MusicNo = 1;  // 1-based; kept inside the list whenever it is used
    std::array<std::vector<std::string>, 2> ChFiles;
    std::array<int, 2> TickLimit{1, 1};
    std::array<int, 2> TickCount{0, 0};
    bool Following() const { return following_; }

private:
    MediaPlayer& Mp(int player) { return *mp_[static_cast<size_t>(player - 1)]; }
    bool Follows(int channel) const { return s_.UseFsVol[channel - 1]; }
    void LoadChannelFiles();
    void StartFollowing();
    void PlayRandomFile(int channel);
    // Loads the current title; a title with nothing to play fails at once
    // and the next one is tried.
    void PlayMusicItem();
    // Loads the next entry of the playlist being played that exists; false
    // when none is left.
    bool PlayNextEntry();
    void StartPause(int channel);
    void MoveVolumeBar(int player, int value);
    void Tick(int player, bool on);  // sets chkMP and runs its click on a change
    void ClampMusicNo();
    void StopAndRewindMusic();
    const std::string& Title() const { return s_.MusicList[static_cast<size_t>(MusicNo - 1)]; }
    // A file of a channel, or a music title, could not be played. False when
    // that was the last of the player's list to fail since one last played:
    // the player is then switched off.
    bool Failed(int player, const std::string& path);

    Env& env_;
    Settings& s_;
    std::array<MediaPlayer*, 3> mp_;
    SoundView& view_;
    CdPanel& cd_;
    Fsuipc& link_;
    ComIpc& weather_;
    SoundHooks hooks_;
    bool following_ = false;
    bool startPending_ = false;  // the following starts at the timer's next free tick
    bool closing_ = false;
    // Per player, the files (music: titles) that failed since one last
    // played to its end, in lower case.
    std::array<std::set<std::string>, 3> failed_;
    // The playlist title being played: its entries and the next to try.
    bool playlist_ = false;
    std::vector<std::string> entries_;
    size_t nextEntry_ = 0;
    bool entryPlayed_ = false;  // an entry of it played to its end
};

// The playlist editor's list box.
class MusicOrderView {
public:
    virtual ~MusicOrderView() = default;
    virtual void AddLine(const std::string& text) = 0;
    virtual int LineCount() = 0;
    virtual bool LineSelected(int line) = 0;  // 0-based
    virtual void RemoveLine(int line) = 0;
    virtual void Redraw() = 0;
    // Unloads the editor (its unload follows).
    virtual void Close() = 0;
};

// The playlist editor: reorders and prunes the music list in place; Cancel
// puts the old list back.
class MusicOrder {
public:
    MusicOrder(SoundDesk& desk, std::vector<std::string>& list, MusicOrderView& view)
        : desk_(desk), list_(list), view_(view) {}

    void Form_Load();
    void cmdCancel_Click() { list_ = SavedList; }
    void cmdDel_Click();
    // A drag moved line `from` to line `to`; the list makes the same move.
    void Moved(int from, int to);
    void Form_Unload();

    std::vector<std::string> SavedList;

private:
    SoundDesk& desk_;
    std::vector<std::string>& list_;
    MusicOrderView& view_;
};

}  // namespace vm
