#include "sound/sound_desk.h"

#include "common/convert.h"
#include "common/operation_guard.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sound/m3u.h"
#include "ui/drag_move.h"

namespace vm {

SoundDesk::SoundDesk(Env& env, Settings& settings, std::array<MediaPlayer*, 3> players, SoundView& view,
                     CdPanel& cd, Fsuipc& link, ComIpc& weather, SoundHooks hooks)
    : env_(env), s_(settings), mp_(players), view_(view), cd_(cd), link_(link), weather_(weather),
      hooks_(std::move(hooks)) {}

std::string SoundDesk::GetFileName(const std::string& path) {
    bool trailing = false;
    std::string name = FileNamePart(path, &trailing);
    if (trailing) view_.ShowNotice(kTrailingSeparatorText);
    return name;
}

void SoundDesk::Form_Load() {
    SoundWinOpen = true;
    closing_ = false;
    TickLimit = {1, 1};
    cd_.Loading = true;
    cd_.Form_Load();
    for (int ch = 1; ch <= 2; ++ch) {
        const std::string& dir = s_.ChPath[ch - 1];
        if (Trim(dir).empty() || DirCheck(env_, dir) != "OK") view_.EnableChannel(ch, false);
    }
    MusicNo = 1;
    LoadChannelFiles();
    for (int i = 1; i <= 3; ++i) MoveVolumeBar(i, s_.ChVol[i - 1]);
    for (int ch = 1; ch <= 2; ++ch) {
        view_.SetIntervalBar(ch, s_.ChIntvl[ch - 1]);
        vsbIntvl_Change(ch);
    }
    cd_.Loading = false;
    StartFollowing();
}

void SoundDesk::StartFollowing() {
    view_.SetFollowTimer(false);
    following_ = false;
    if (!hooks_.modulePresent() || !s_.UseFsAny) {
        hooks_.buttonSound();
        return;
    }
    // Opened while the watch connects (its pump lets this window open): the
    // following starts at the follow timer's first tick once the link is free.
    if (const OperationGuard* guard = GuardOf(env_); guard && guard->Holder(hold::kLink)) {
        startPending_ = true;
        view_.SetFollowTimer(true);
        hooks_.buttonSound();
        return;
    }
    if (!link_.SimRunning) hooks_.checkSimWindow();
    if (!link_.IpcOpened) link_.IpcConnect();
    if (!link_.SimRunning || !(link_.IpcOpened && link_.IpcLinked) || !weather_.LinkReady()) {
        hooks_.buttonSound();
        return;
    }
    weather_.ReadLayers();
    const LayerLists& layers = weather_.Layers;
    bool storm = false;
    for (size_t i = 0; i < layers.Count(); ++i) storm = storm || layers.At(kLayerType, i) == 10;
    if (storm) {
        MoveVolumeBar(1, 0);
        MoveVolumeBar(2, 0);
        for (int ch = 1; ch <= 2; ++ch)
            if (Follows(ch)) Tick(ch, true);
        following_ = true;
        view_.SetFollowTimer(true);
        tmrIpcVolCont_Timer();
    } else if (layers.Count() == 0) {
        for (int ch = 1; ch <= 2; ++ch)
            if (Follows(ch)) MoveVolumeBar(ch, 0);
    }
    hooks_.buttonSound();
}

void SoundDesk::LoadChannelFiles() {
    for (int ch = 1; ch <= 2; ++ch) {
        std::vector<std::string>& files = ChFiles[static_cast<size_t>(ch - 1)];
        files.clear();
        const std::string& dir = s_.ChPath[ch - 1];
        if (Trim(dir).empty() || DirCheck(env_, dir) != "OK") {
            Tick(ch, false);
            continue;
        }
        ListFiles(env_, dir, "*.wav", files);
        ListFiles(env_, dir, "*.mp3", files);
        if (files.empty()) Tick(ch, false);
    }
}

void SoundDesk::Tick(int player, bool on) {
    if (view_.PlayChecked(player) == on) return;
    view_.SetPlayChecked(player, on);
    chkMP_Click(player);
}

void SoundDesk::MoveVolumeBar(int player, int value) {
    view_.SetVolumeBar(player, value);
    hsbVol_Change(player);
}

void SoundDesk::hsbVol_Change(int player) {
    const int v = view_.VolumeBar(player);
    view_.SetVolumeLabel(player, std::to_string(v));
    s_.ChVol[player - 1] = static_cast<int16_t>(v);
    Mp(player).SetVolume(LogVolume(v));
}

void SoundDesk::vsbIntvl_Change(int channel) {
    const int raw = view_.IntervalBar(channel);
    const int v = WrapInterval(raw);
    if (v != raw) view_.SetIntervalBar(channel, v);
    view_.SetIntervalLabel(channel, std::to_string(v));
    s_.ChIntvl[channel - 1] = static_cast<int16_t>(v);
}

void SoundDesk::chkMP_Click(int player) {
    MediaPlayer& mp = Mp(player);
    if (!view_.PlayChecked(player)) {
        if (player <= 2) {
            view_.SetPauseTimer(player, 0);
            if (mp.State() != PlayState::Stopped) mp.Stop();
        } else if (mp.State() != PlayState::Stopped) {
            mp.Pause();
        }
        return;
    }
    if (player <= 2) {
        if (ChFiles[static_cast<size_t>(player - 1)].empty())
            Tick(player, false);
        else
            PlayRandomFile(player);
        return;
    }
    if (s_.MusicList.empty()) {
        mp.SetVisible(false);
        Tick(3, false);
        return;
    }
    mp.SetVisible(true);
    if (mp.State() == PlayState::Paused)
        mp.Play();
    else
        PlayMusicItem();
}

void SoundDesk::PlayRandomFile(int channel) {
    const std::vector<std::string>& files = ChFiles[static_cast<size_t>(channel - 1)];
    if (files.empty()) {
        Tick(channel, false);
        return;
    }
    size_t i = static_cast<size_t>(env_.random->Next() * static_cast<double>(files.size()));
    if (i >= files.size()) i = files.size() - 1;
    if (FileCheck(env_, files[i]) == "OK") {
        Mp(channel).SetFileName(files[i]);
        return;
    }
    // Gone since the folder was read: the channel waits its pause and draws
    // again, as after a file that cannot be played.
    if (Failed(channel, files[i])) StartPause(channel);
}

void SoundDesk::ClampMusicNo() {
    if (MusicNo < 1 || static_cast<size_t>(MusicNo) > s_.MusicList.size()) MusicNo = 1;
}

void SoundDesk::PlayMusicItem() {
    playlist_ = false;
    entries_.clear();
    if (s_.MusicList.empty()) return;
    ClampMusicNo();
    // Each pass either loads something or fails one more title; a list whose
    // every title failed switches the music off within one round.
    for (size_t pass = 0; pass < s_.MusicList.size(); ++pass) {
        const std::string path = Title();
        view_.SetCaption(GetFileName(path));
        if (!view_.PlayChecked(3)) return;
        if (IsM3u(path)) {
            playlist_ = true;
            const std::optional<std::string> text = env_.fs->Read(path);
            const size_t slash = path.rfind('\\');
            const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
            entries_ = text ? ReadM3u(*text, folder, [this](const std::string& t) { return view_.FromUtf8(t); })
                            : std::vector<std::string>{};
            nextEntry_ = 0;
            entryPlayed_ = false;
            if (PlayNextEntry()) return;
            // Not one entry there: the playlist fails as one title.
        } else if (FileCheck(env_, path) == "OK") {
            Mp(3).SetVisible(true);
            Mp(3).SetFileName(path);
            return;
        }
        Mp(3).SetVisible(false);
        if (!Failed(3, path)) return;
        MusicNo = static_cast<size_t>(MusicNo) >= s_.MusicList.size() ? 1 : MusicNo + 1;
    }
}

bool SoundDesk::PlayNextEntry() {
    while (nextEntry_ < entries_.size()) {
        const std::string& entry = entries_[nextEntry_++];
        if (FileCheck(env_, entry) != "OK") continue;
        Mp(3).SetVisible(true);
        Mp(3).SetFileName(entry);
        return true;
    }
    return false;
}

bool SoundDesk::Failed(int player, const std::string& path) {
    std::set<std::string>& failed = failed_[static_cast<size_t>(player - 1)];
    failed.insert(LCase(path));
    const std::vector<std::string>& list = player <= 2 ? ChFiles[static_cast<size_t>(player - 1)] : s_.MusicList;
    for (const std::string& p : list)
        if (!failed.count(LCase(p))) return true;
    // Every file of the list failed since the last one that played: trying
    // them again would fail for ever.
    failed.clear();
    Tick(player, false);
    return false;
}

void SoundDesk::StartPause(int channel) {
    const uint32_t delay = PauseDelayMs(s_.ChIntvl[channel - 1], env_.random->Next());
    TickCount[static_cast<size_t>(channel - 1)] = 0;
    view_.SetPauseTimer(channel, delay);
}

void SoundDesk::Mp_EndOfStream(int player) {
    failed_[static_cast<size_t>(player - 1)].clear();
    if (player <= 2) {
        StartPause(player);
        return;
    }
    if (playlist_) {
        entryPlayed_ = true;
        if (PlayNextEntry()) return;
    }
    mnuFwd_Click();
}

void SoundDesk::Mp_Error(int player) {
    if (player <= 2) {
        if (!Failed(player, Mp(player).FileName())) return;
        StartPause(player);
    } else {
        Mp(3).SetVisible(false);
        // An entry of a playlist that cannot be played: the next entry. The
        // playlist fails as a title only when none of its entries played.
        if (playlist_ && PlayNextEntry()) return;
        if (s_.MusicList.empty()) return;
        ClampMusicNo();
        if (!(playlist_ && entryPlayed_) && !Failed(3, Title())) return;
        mnuFwd_Click();
    }
    env_.pump->DoEvents();
    env_.clock->Sleep(10);
}

void SoundDesk::tmrMp_Timer(int channel) {
    const size_t c = static_cast<size_t>(channel - 1);
    // A limit lowered below the count already reached ends the pause too.
    if (++TickCount[c] < TickLimit[c]) return;
    view_.SetPauseTimer(channel, 0);
    PlayRandomFile(channel);
}

void SoundDesk::tmrIpcVolCont_Timer() {
    if (startPending_) {
        startPending_ = false;
        StartFollowing();
        return;
    }
    bool on[2];
    for (int ch = 1; ch <= 2; ++ch) {
        on[ch - 1] = view_.PlayChecked(ch);
        if (!on[ch - 1]) TickLimit[static_cast<size_t>(ch - 1)] = 1;
    }
    if (!on[0] && !on[1]) {
        view_.SetFollowIndicator(false);
        return;
    }
    if (!link_.SimRunning || !link_.IpcOpened) {
        view_.SetFollowIndicator(false);
        for (int ch = 1; ch <= 2; ++ch)
            if (on[ch - 1] && Follows(ch)) MoveVolumeBar(ch, 0);
        view_.SetFollowTimer(false);
        following_ = false;
        TickLimit = {1, 1};
        return;
    }
    view_.SetFollowIndicator((on[0] && Follows(1)) || (on[1] && Follows(2)));
    double feet = 0;
    if (!weather_.ReadAltitude(feet)) {
        TickLimit = {1, 1};
        return;
    }
    const LayerPlace place = FindLayerAt(weather_.Layers, feet);
    for (int ch = 1; ch <= 2; ++ch) {
        if (!on[ch - 1] || !Follows(ch)) continue;
        MoveVolumeBar(ch, FollowVolume(place, s_.MinVol[ch - 1], s_.MaxVol[ch - 1]));
        TickLimit[static_cast<size_t>(ch - 1)] = FollowTickLimit(place, weather_.Layers);
    }
}

void SoundDesk::cmdSelFile_Click() {
    std::string result;
    {
        // The dialog is the desk's own wait: its timers (the following,
        // the pauses, the CD) go on meanwhile; its commands that open
        // something wait for it.
        const OperationScope dialog(GuardOf(env_), Operation::Dialog, hold::kSoundWindow);
        result = view_.ChooseFiles(s_.LastMusicPath, kMusicFilter);
    }
    if (result.empty()) return;
    s_.LastMusicPath = AppendDialogSelection(result, s_.MusicList);
    if (s_.MusicList.empty()) return;
    ClampMusicNo();
    view_.SetCaption(GetFileName(s_.MusicList[static_cast<size_t>(MusicNo - 1)]));
}

void SoundDesk::cmdSelFile_MouseDown(int button) {
    if (button == 2) view_.ShowPopup();
}

void SoundDesk::cmdSelFile_OLEDragDrop(const std::vector<std::string>& paths) {
    std::vector<std::string> work;
    for (const std::string& p : paths)
        if (DirCheck(env_, p) != "OK") work.push_back(p);
    FilterAudioFiles(work);
    const bool wasEmpty = s_.MusicList.empty();
    s_.MusicList.insert(s_.MusicList.end(), work.begin(), work.end());
    if (s_.MusicList.empty()) return;
    if (wasEmpty) {
        MusicNo = 1;
        Tick(3, true);
        return;
    }
    if (Mp(3).State() == PlayState::Playing) return;
    ClampMusicNo();
    // With no title after the current one there is nothing new to load.
    if (static_cast<size_t>(MusicNo) >= s_.MusicList.size()) return;
    ++MusicNo;
    if (!view_.PlayChecked(3)) view_.SetPlayChecked(3, true);
    Mp(3).SetVisible(true);
    PlayMusicItem();
}

void SoundDesk::StopAndRewindMusic() {
    MediaPlayer& mp = Mp(3);
    if (mp.State() != PlayState::Stopped) {
        mp.Stop();
        mp.SetCurrentPosition(0);
    }
}

void SoundDesk::mnuClearList_Click() {
    StopAndRewindMusic();
    Mp(3).SetVisible(false);
    Tick(3, false);
    s_.MusicList.clear();
    failed_[2].clear();
    MusicNo = 1;
}

void SoundDesk::mnuEditList_Click() {
    if (Open()) view_.OpenPlaylistEditor();
}

void SoundDesk::mnuFwd_Click() {
    if (s_.MusicList.empty()) return;
    if (Mp(3).State() == PlayState::Paused) StopAndRewindMusic();
    ClampMusicNo();
    MusicNo = static_cast<size_t>(MusicNo) >= s_.MusicList.size() ? 1 : MusicNo + 1;
    PlayMusicItem();
}

void SoundDesk::mnuRev_Click() {
    if (s_.MusicList.empty()) return;
    ClampMusicNo();
    MusicNo = MusicNo <= 1 ? static_cast<int>(s_.MusicList.size()) : MusicNo - 1;
    PlayMusicItem();
}

void SoundDesk::mnuReset_Click() {
    if (s_.MusicList.empty()) return;
    MusicNo = 1;
    PlayMusicItem();
}

void SoundDesk::ResetMusicPlayer() {
    StopAndRewindMusic();
    view_.SetCaption("");
    MusicNo = 1;
    Tick(3, false);
    if (!s_.MusicList.empty()) Tick(3, true);
}

void SoundDesk::MusicListEmptied() {
    view_.SetCaption("");
    Mp(3).SetVisible(false);
    StopAndRewindMusic();
    Tick(3, false);
    MusicNo = 1;
}

bool SaveMusicList(Env& env, Settings& s, const std::vector<std::pair<std::string, std::string>>& first) {
    const std::string ini = IniPath(env, s);
    if (FileCheck(env, ini) != "OK") return false;
    clsCfgWrite w(env, s);
    w.FileName = ini;
    w.Section = "Sound";
    auto put = [&](const std::string& key, const std::string& value) {
        w.Key = key;
        w.Value = value;
        return w.cWrite();
    };
    for (const auto& [key, value] : first) put(key, value);
    put("LastMusicPath", s.LastMusicPath);
    const size_t n = s.MusicList.size();
    for (size_t i = 0; i < n; ++i) put("MusicFile" + std::to_string(i + 1), s.MusicList[i]);
    // Titles removed since the last save leave keys behind: delete them.
    for (size_t k = n + 1;; ++k) {
        if (env.pump) env.pump->DoEvents();
        clsCfgRead r(env);
        r.FileName = ini;
        r.Section = "Sound";
        r.Key = "MusicFile" + std::to_string(k);
        // A key that cannot be deleted would read back for ever.
        if (r.Data() == "Error" || !put(r.Key, "")) break;
    }
    return true;
}

void SoundDesk::Form_Unload() {
    // The editor goes first, with the list as it stands (as its close box
    // leaves it), so that the list is written below; nothing opens it again
    // while the desk lets messages run on its way out.
    closing_ = true;
    view_.ClosePlaylistEditor();
    cd_.Form_Unload();
    view_.SetFollowTimer(false);
    following_ = false;
    for (int ch = 1; ch <= 2; ++ch) view_.SetPauseTimer(ch, 0);
    ChFiles[0].clear();
    ChFiles[1].clear();
    for (int i = 1; i <= 3; ++i)
        if (Mp(i).State() != PlayState::Stopped) Mp(i).Stop();

    std::vector<std::pair<std::string, std::string>> bars;
    for (int i = 1; i <= 3; ++i)
        bars.emplace_back("Ch" + std::to_string(i) + "Vol", std::to_string(view_.VolumeBar(i)));
    for (int ch = 1; ch <= 2; ++ch)
        bars.emplace_back("Ch" + std::to_string(ch) + "Intvl", std::to_string(view_.IntervalBar(ch)));
    if (SaveMusicList(env_, s_, bars)) {
        env_.clock->Sleep(50);
        StoreIniTime(env_, s_);
    }
    SoundWinOpen = false;
}

void MusicOrder::Form_Load() {
    SavedList = list_;
    for (const std::string& p : list_) view_.AddLine(desk_.GetFileName(p));
}

void MusicOrder::cmdDel_Click() {
    for (int i = view_.LineCount() - 1; i >= 0; --i) {
        if (!view_.LineSelected(i)) continue;
        if (static_cast<size_t>(i) < list_.size()) list_.erase(list_.begin() + i);
        view_.RemoveLine(i);
    }
    view_.Redraw();
}

void MusicOrder::Moved(int from, int to) { MoveItem(list_, from, to); }

void MusicOrder::Form_Unload() {
    // Closed with its desk: the players are being put away.
    if (!desk_.Open()) {
        SavedList.clear();
        return;
    }
    if (list_.empty())
        desk_.MusicListEmptied();
    else if (list_ != SavedList)
        desk_.ResetMusicPlayer();
    SavedList.clear();
}

}  // namespace vm
