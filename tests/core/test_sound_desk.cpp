// The sound desk: its arithmetic, the audio-file filter, the CD's question
// sequence, and sessions with scripted players against the in-process
// simulator (channels, music list, following a thunderstorm layer, the
// playlist editor and the [Sound] write-back).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/cfg_file.h"
#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sound/desk_table.h"
#include "sound/m3u.h"
#include "sound/sound_desk.h"
#include "test_window_views.h"

namespace vm {
namespace {

LayerLists Layers(std::vector<std::array<int32_t, 4>> rows) {  // type, cover, base, top
    LayerLists l;
    for (auto [type, cover, base, top] : rows) {
        l.list[kLayerType].push_back(type);
        l.list[kLayerCoverage].push_back(cover);
        l.list[kLayerBase].push_back(base);
        l.list[kLayerTop].push_back(top);
    }
    return l;
}

TEST(SoundRules, VolumePauseAndIntervalScales) {
    for (auto [bar, volume] : std::vector<std::pair<int, long>>{{0, -9640}, {1, -8190}, {50, -1410}, {99, 0}, {100, 0}})
        EXPECT_EQ(LogVolume(bar), volume) << bar;
    for (auto [interval, u, ms] : std::vector<std::tuple<int, double, uint32_t>>{
             {0, 0.0, 1}, {0, 0.999, 1}, {5, 0.5, 2500}, {5, 0.0, 1}, {60, 0.9999999, 60000}})
        EXPECT_EQ(PauseDelayMs(interval, u), ms) << interval << " " << u;
    for (auto [in, out] : std::vector<std::pair<int, int>>{{61, 0}, {-1, 60}, {0, 0}, {60, 60}, {30, 30}})
        EXPECT_EQ(WrapInterval(in), out) << in;
}

TEST(SoundRules, FollowingThroughLayers) {
    // A stratus below a thunderstorm of cover 8 and one of cover 1, and a
    // layer without thickness.
    const LayerLists l = Layers({{8, 4, 0, 900}, {10, 8, 1000, 3000}, {10, 1, 5000, 7000}, {10, 4, 8000, 8000}});
    struct Case { double alt; int volume; int ticks; };
    for (auto c : std::vector<Case>{
             {3000, 10, 1},   // the top: ratio 0, MinVol
             {1000, 100, 1},  // the base: ratio 2, held at 100
             {2000, 100, 1},  // the middle: MaxVol
             {2500, 55, 1},   // half way up the upper half
             {6000, 100, 4},  // cover 1
             {8000, 100, 3},  // no thickness: the middle; cover 4 rounds up
             {500, 10, 3},    // inside a stratus: not followed, its cover counts
             {4000, 10, 4}})  // no layer
    {
        const LayerPlace p = FindLayerAt(l, c.alt);
        EXPECT_EQ(FollowVolume(p, 10, 100), c.volume) << c.alt;
        EXPECT_EQ(FollowTickLimit(p, l), c.ticks) << c.alt;
    }
}

TEST(SoundRules, FileNamesFilterAndDialogResult) {
    std::vector<std::string> dropped{"C:\\a\\ONE.MP3", "C:\\a\\notes.txt", "C:\\a\\two.wav", "C:\\a\\x.wma",
                                     "C:\\a\\tune.midi", "C:\\a\\nodotmp3", "C:\\a\\song.mp3.old"};
    FilterAudioFiles(dropped);
    EXPECT_EQ(dropped, (std::vector<std::string>{"C:\\a\\ONE.MP3", "C:\\a\\two.wav", "C:\\a\\tune.midi",
                                                 "C:\\a\\nodotmp3"}));

    bool trailing = false;
    EXPECT_EQ(FileNamePart("C:\\m\\a.mp3", &trailing), "a.mp3");
    EXPECT_FALSE(trailing);
    EXPECT_EQ(FileNamePart("a.mp3"), "a.mp3");
    EXPECT_EQ(FileNamePart("C:\\m\\", &trailing), "");
    EXPECT_TRUE(trailing);

    std::vector<std::string> list;
    EXPECT_EQ(AppendDialogSelection(std::string("C:\\m\\a.wma"), list), "C:\\m");
    // In a drive's root the folder ends in a backslash already.
    EXPECT_EQ(AppendDialogSelection(std::string("C:\\\0b.mp3\0c.wav", 15), list), "C:\\");
    EXPECT_EQ(AppendDialogSelection("", list), "");
    EXPECT_EQ(list, (std::vector<std::string>{"C:\\m\\a.wma", "C:\\\\b.mp3", "C:\\\\c.wav"}));
}



struct CdRig {
    ScriptedMci mci;
    CountingPump pump;
    CD cd{mci};
    CdControls view;
    CdPanel panel{cd, view, pump};
};

TEST(Cd, NoDriveDataDiscAndTrackLabel) {
    CdRig none;  // no drive: the open fails, never a message
    none.panel.Form_Load();
    const std::string open = "open cdaudio alias cd wait shareable";
    EXPECT_EQ(none.mci.sent, (std::vector<std::string>{open, "status cd media present", open}));
    EXPECT_FALSE(none.view.enabled);
    EXPECT_EQ(none.view.label, "Track**");
    EXPECT_TRUE(none.view.timer);

    CdRig data;
    data.mci.Disc(1, "01:00:00:00", "stopped");
    data.panel.tmrCD_Timer();
    EXPECT_FALSE(data.view.enabled);
    EXPECT_EQ(data.view.label, "Track**");

    CdRig audio;
    audio.mci.Disc(5, "03:01:10:00", "stopped");
    audio.panel.tmrCD_Timer();
    EXPECT_EQ(audio.mci.sent, (std::vector<std::string>{
        "status cd media present", "status cd number of tracks wait", "status cd length wait",
        "status cd length track 1", "status cd length track 2", "status cd length track 3", "status cd length track 4",
        "status cd length track 5", "seek cd to 1", "status cd position", "seek cd to 1", "status cd position",
        "status cd mode", "seek cd to 3"}));
    EXPECT_TRUE(audio.view.enabled);
    EXPECT_EQ(audio.view.max, 5);
    EXPECT_EQ(audio.view.value, 3);
    EXPECT_EQ(audio.view.label, "Track03");
}

TEST(Cd, PlayRepeatAndDiscRemoved) {
    CdRig r;
    r.mci.Disc(4, "04:02:59:00", "playing");
    r.view.checked = r.view.repeat = true;
    r.panel.tmrCD_Timer();  // playing the last track: the selector follows it
    EXPECT_EQ(r.view.value, 4);
    EXPECT_EQ(r.mci.sent.back(), "play cd from 4");

    r.mci.answers["status cd mode"] = {0, "stopped"};  // the last track ended
    r.mci.sent.clear();
    r.panel.tmrCD_Timer();
    EXPECT_EQ(r.view.value, 1);
    EXPECT_EQ(r.mci.sent.back(), "play cd from 1");
    EXPECT_TRUE(r.cd.CdPlaying);

    r.mci.answers["status cd media present"] = {0, "false"};  // taken out while playing
    r.panel.tmrCD_Timer();
    EXPECT_FALSE(r.view.checked);
    EXPECT_FALSE(r.view.enabled);
    EXPECT_EQ(r.view.label, "Track**");
    EXPECT_FALSE(r.cd.CdReady);
}



struct DeskRig {
    TestEnv t;
    Settings s;
    SimServer server;
    IpcLoopback transport{server, t.clock};
    Fsuipc link{transport, t.clock, t.pump};
    ComIpc weather{link};
    ScriptedPlayer mp[3];
    DeskWindow view;
    ScriptedMci mci;
    CD cd{mci};
    CdControls cdView;
    CdPanel cdPanel{cd, cdView, t.pump};
    int sounds = 0;
    SoundDesk desk{t.env, s, {&mp[0], &mp[1], &mp[2]}, view, cdPanel, link, weather,
                   SoundHooks{[] { return true; }, [] {}, [this] { ++sounds; }}};

    DeskRig() {
        t.fs.AddFile("C:\\Prog\\cloud.ini", "[Sound]\nMusicFile1=C:\\m\\old1.mp3\nMusicFile2=x\nMusicFile3=y\n");
        t.fs.AddFile("C:\\amb\\wind.wav");
        s.ChPath[0] = "C:\\amb";
        s.ChVol[0] = 40, s.ChVol[2] = 99;
        s.ChIntvl[0] = 5;
        for (const char* m : {"C:\\m\\a.mp3", "C:\\n\\a.mp3", "C:\\m\\c.wav"}) {
            t.fs.AddFile(m);
            s.MusicList.push_back(m);
        }
    }
};

TEST(SoundDesk, ChannelsAndMusicList) {
    DeskRig r;
    r.desk.Form_Load();
    EXPECT_FALSE(r.view.enabled[1]);  // channel 2 has no folder
    EXPECT_EQ(r.mp[0].volume, LogVolume(40));
    EXPECT_EQ(r.mp[2].volume, 0);
    EXPECT_EQ(r.sounds, 1);

    // Channel 1 with its one file: it plays, pauses a random part of 5 s and
    // plays the same file again after TickLimit pauses.
    r.view.checked[0] = true;
    r.desk.chkMP_Click(1);
    r.t.random.Script({0.5});
    r.desk.Mp_EndOfStream(1);
    EXPECT_EQ(r.view.pause[0], 2500u);
    r.desk.TickLimit[0] = 2;
    r.desk.tmrMp_Timer(1);
    EXPECT_EQ(r.mp[0].loaded.size(), 1u);
    r.desk.tmrMp_Timer(1);
    EXPECT_EQ(r.mp[0].loaded, (std::vector<std::string>(2, "C:\\amb\\wind.wav")));
    EXPECT_EQ(r.view.pause[0], 0u);

    // Music: Rev on the first goes to the last, Fwd on the last to the first;
    // the end of a title plays the next.
    r.view.checked[2] = true;
    r.desk.chkMP_Click(3);
    r.desk.mnuRev_Click();
    EXPECT_EQ(r.view.caption, "c.wav");
    r.desk.mnuFwd_Click();
    r.desk.Mp_EndOfStream(3);
    EXPECT_EQ(r.mp[2].loaded, (std::vector<std::string>{"C:\\m\\a.mp3", "C:\\m\\c.wav", "C:\\m\\a.mp3",
                                                         "C:\\n\\a.mp3"}));

    // A path ending in a backslash has no name, and the user is told.
    EXPECT_EQ(r.desk.GetFileName("C:\\m\\"), "");
    EXPECT_EQ(r.view.notices, std::vector<std::string>{kTrailingSeparatorText});

    // A title that cannot be played moves on; a list of nothing but such
    // titles stops instead of trying again for ever.
    for (int i = 0; i < 4; ++i) r.desk.Mp_Error(3);
    EXPECT_FALSE(r.view.checked[2]);
    EXPECT_FALSE(r.mp[2].visible);
}

TEST(SoundDesk, DropsAndAShrinkingList) {
    DeskRig r;
    r.t.fs.AddDir("C:\\m\\folder.mp3");
    r.t.fs.AddFile("C:\\m\\new.MP3");
    r.desk.Form_Load();
    r.desk.MusicNo = 3;
    r.mp[2].state = PlayState::Stopped;
    // At the last title a drop that adds nothing loads nothing.
    r.desk.cmdSelFile_OLEDragDrop({"C:\\m\\folder.mp3", "C:\\m\\readme.txt"});
    EXPECT_TRUE(r.mp[2].loaded.empty());
    // A drop of an audio file loads it as the next title.
    r.desk.cmdSelFile_OLEDragDrop({"C:\\m\\new.MP3"});
    EXPECT_EQ(r.desk.MusicNo, 4);
    EXPECT_EQ(r.mp[2].loaded, (std::vector<std::string>{"C:\\m\\new.MP3"}));
    EXPECT_TRUE(r.view.checked[2]);

    // The playlist editor deletes titles under the current one: the player
    // starts again at the first title that is left.
    MusicOrder order(r.desk, r.s.MusicList, r.view);
    order.Form_Load();
    EXPECT_EQ(r.view.lines, (std::vector<std::string>{"a.mp3", "a.mp3", "c.wav", "new.MP3"}));
    r.view.selected = {true, false, true, true};
    order.cmdDel_Click();
    order.Form_Unload();
    EXPECT_EQ(r.s.MusicList, (std::vector<std::string>{"C:\\n\\a.mp3"}));
    EXPECT_EQ(r.desk.MusicNo, 1);
    EXPECT_EQ(r.mp[2].loaded.back(), "C:\\n\\a.mp3");

    // Cleared, then a drop: play starts at the first title, not past the end.
    r.desk.MusicNo = 1;
    r.desk.mnuClearList_Click();
    r.desk.cmdSelFile_OLEDragDrop({"C:\\m\\c.wav"});
    EXPECT_EQ(r.mp[2].loaded.back(), "C:\\m\\c.wav");
}

TEST(SoundDesk, PlaylistEditorKeepsOrRestores) {
    DeskRig r;
    r.desk.Form_Load();
    r.view.checked[2] = true;
    r.desk.chkMP_Click(3);
    const auto before = r.s.MusicList;

    MusicOrder cancel(r.desk, r.s.MusicList, r.view);  // delete, then Cancel
    cancel.Form_Load();
    r.view.selected.assign(3, true);
    cancel.cmdDel_Click();
    cancel.cmdCancel_Click();
    cancel.Form_Unload();
    EXPECT_EQ(r.s.MusicList, before);
    EXPECT_EQ(r.mp[2].loaded.size(), 1u);  // unchanged: the player is left alone

    r.view.lines.clear(), r.view.selected.clear();
    MusicOrder reorder(r.desk, r.s.MusicList, r.view);  // the two "a.mp3" lines swap
    reorder.Form_Load();
    reorder.Moved(1, 0);
    reorder.Form_Unload();
    EXPECT_EQ(r.s.MusicList[0], "C:\\n\\a.mp3");
    EXPECT_EQ(r.mp[2].loaded.back(), "C:\\n\\a.mp3");  // restarted from the new first title

    r.view.lines.clear(), r.view.selected.clear();
    MusicOrder all(r.desk, r.s.MusicList, r.view);  // every title deleted
    all.Form_Load();
    r.view.selected.assign(3, true);
    all.cmdDel_Click();
    all.Form_Unload();
    EXPECT_EQ(r.mp[2].state, PlayState::Stopped);
    EXPECT_FALSE(r.mp[2].visible);
    EXPECT_FALSE(r.view.checked[2]);

    // Closing writes [Sound]: fewer titles than last time delete the rest.
    r.s.MusicList = {"C:\\m\\c.wav"};
    r.desk.Form_Unload();
    EXPECT_EQ(r.t.fs.Content("C:\\Prog\\cloud.ini"),
              "[Sound]\nMusicFile1=C:\\m\\c.wav\nCh1Vol=40\nCh2Vol=0\nCh3Vol=99\nCh1Intvl=5\nCh2Intvl=0\n");
    EXPECT_FALSE(r.desk.SoundWinOpen);
    EXPECT_FALSE(r.cdView.timer);  // no poll left to open the device again
    EXPECT_EQ(r.mci.sent.back(), "close all");
}

TEST(M3u, RealWorldPlaylists) {
    const std::function<std::string(const std::string&)> ansi = [](const std::string& t) {
        return t == "Caf\xC3\xA9.mp3" ? std::string("Caf\xE9.mp3") : std::string();
    };
    const struct { std::string text; std::vector<std::string> entries; } rows[] = {
        {"#EXTM3U\r\n#EXTINF:215,Artist - Song\r\nSong.mp3\r\n#EXTINF:-1,x\r\nsub\\Other.wav\r\n",
         {"C:\\M\\L\\Song.mp3", "C:\\M\\L\\sub\\Other.wav"}},
        {"a.mp3\n\n# by hand\n \tb/c.mp3 \n", {"C:\\M\\L\\a.mp3", "C:\\M\\L\\b\\c.mp3"}},
        {"\xEF\xBB\xBF#EXTM3U\nCaf\xC3\xA9.mp3\n\xE6\x9B\xB2.mp3\nD:/Other/x.mp3", {"C:\\M\\L\\Caf\xE9.mp3", "D:\\Other\\x.mp3"}},
        {"..\\Shared\\a.mp3\r.\\b.mp3\r..\\..\\..\\..\\c.mp3", {"C:\\M\\Shared\\a.mp3", "C:\\M\\L\\b.mp3", "C:\\c.mp3"}},
        {"\\Tunes\\a.mp3\n\\\\server\\share\\b.mp3\n", {"C:\\Tunes\\a.mp3", "\\\\server\\share\\b.mp3"}},
        {"file:///C:/My%20Music/a.mp3\nhttp://radio.example/stream\n", {"C:\\My Music\\a.mp3"}},
        {"\xEF\xBB\xBF#EXTM3U\r\n\r\n", {}},
    };
    for (const auto& r : rows) EXPECT_EQ(ReadM3u(r.text, "C:\\M\\L", ansi), r.entries) << r.text;
    EXPECT_TRUE(IsM3u("C:\\m\\MIX.M3U"));
    EXPECT_FALSE(IsM3u("C:\\m\\mix.m3u8") || IsM3u("C:\\m\\m3u"));
}

TEST(SoundDesk, PlaylistTitlesPlayTheirEntriesInOrder) {
    DeskRig r;
    for (const char* f : {"C:\\m\\lists\\sub\\two.wav", "C:\\m\\lists\\three.wav"}) r.t.fs.AddFile(f);
    r.t.fs.AddFile("C:\\m\\lists\\mix.m3u", "#EXTM3U\r\n#EXTINF:1,one\r\n..\\a.mp3\r\nnone.mp3\r\nsub/two.wav\r\nthree.wav\r\n");
    r.t.fs.AddFile("C:\\m\\gone.m3u", "#EXTM3U\nnothing.mp3\n");
    r.s.MusicList = {"C:\\m\\c.wav", "C:\\m\\lists\\mix.m3u", "C:\\m\\gone.m3u", "C:\\n\\a.mp3"};
    r.desk.Form_Load();
    r.view.checked[2] = true;
    r.desk.chkMP_Click(3);
    r.desk.Mp_EndOfStream(3);  // the playlist's first entry
    EXPECT_EQ(r.view.caption, "mix.m3u");
    r.desk.Mp_EndOfStream(3);  // the missing entry is passed over
    r.desk.Mp_Error(3);        // two.wav cannot be played: three.wav
    r.desk.Mp_EndOfStream(3);  // over; the next playlist has no entry there
    EXPECT_EQ(r.mp[2].loaded, (std::vector<std::string>{"C:\\m\\c.wav", "C:\\m\\a.mp3", "C:\\m\\lists\\sub\\two.wav",
                                                         "C:\\m\\lists\\three.wav", "C:\\n\\a.mp3"}));
    // Nothing but playlists without a file to play: one round, then off.
    r.s.MusicList = {"C:\\m\\gone.m3u", "C:\\m\\none.m3u"};
    r.desk.mnuReset_Click();
    EXPECT_FALSE(r.view.checked[2] || r.mp[2].visible);
    EXPECT_EQ(r.mp[2].loaded.size(), 5u);
}

TEST(SoundDesk, APlayerStopsOnlyWhenEveryFileFailedSinceOnePlayed) {
    DeskRig r;
    r.t.fs.AddFile("C:\\amb\\broken.wav");  // listed after wind.wav
    r.desk.Form_Load();
    r.view.checked[0] = true;
    // Each draw picks a file: 0.9 broken.wav, 0.1 wind.wav.
    for (double u : {0.9, 0.9, 0.9, 0.9, 0.1}) {
        r.t.random.Script({u});
        if (r.mp[0].loaded.empty()) r.desk.chkMP_Click(1);
        else r.desk.tmrMp_Timer(1);
        if (u > 0.5) r.desk.Mp_Error(1);
        EXPECT_TRUE(r.view.checked[0]);
    }
    r.desk.Mp_EndOfStream(1);  // wind.wav played
    r.t.random.Script({0.9});
    r.desk.tmrMp_Timer(1);
    r.desk.Mp_Error(1);
    EXPECT_TRUE(r.view.checked[0]);
    r.t.fs.Remove("C:\\amb\\wind.wav");  // gone since the folder was read
    r.t.random.Script({0.1});
    r.desk.tmrMp_Timer(1);
    EXPECT_FALSE(r.view.checked[0]);  // both failed since one played
    EXPECT_EQ(r.view.pause[0], 0u);

    // The music: three titles fail in a row only after c.wav played.
    r.view.checked[2] = true;
    r.desk.chkMP_Click(3);
    for (int e : {0, 0, 1, 0, 0, 0}) {
        EXPECT_TRUE(r.view.checked[2]);
        if (e) r.desk.Mp_EndOfStream(3);
        else r.desk.Mp_Error(3);
    }
    EXPECT_FALSE(r.view.checked[2]);
}

TEST(SoundDesk, ThePlaylistEditorGoesWithItsDesk) {
    DeskRig r;
    r.desk.Form_Load();
    r.view.checked[2] = true;
    r.desk.chkMP_Click(3);
    r.desk.mnuEditList_Click();
    MusicOrder order(r.desk, r.s.MusicList, r.view);
    order.Form_Load();
    order.Moved(2, 0);
    // The desk closes with its editor open; while it writes its settings it
    // lets messages run, and an "Edit List" then opens nothing.
    r.view.onCloseEditor = [&] { order.Form_Unload(); };
    r.t.pump.onEvents = [&] { r.desk.mnuEditList_Click(); };
    r.desk.Form_Unload();
    EXPECT_EQ(std::make_pair(r.view.editorOpened, r.view.editorClosed), std::make_pair(1, 1));
    EXPECT_GT(r.t.pump.count, 0);
    // The edit is kept and written; the players were left alone.
    EXPECT_EQ(r.mp[2].loaded, std::vector<std::string>{"C:\\m\\a.mp3"});
    EXPECT_NE(r.t.fs.Content("C:\\Prog\\cloud.ini").find("MusicFile1=C:\\m\\c.wav"), std::string::npos);
}

TEST(SoundDesk, FollowsTheAircraftThroughAThunderstorm) {
    DeskRig r;
    r.t.fs.AddDir("C:\\amb2");
    r.t.fs.AddFile("C:\\amb2\\rain.mp3");
    r.s.ChPath[1] = "C:\\amb2";
    r.s.UseFsVol[1] = r.s.UseFsAny = true;
    r.s.MinVol[1] = 10, r.s.MaxVol[1] = 60;
    r.server.SetLayers({LayerRecord{10, 6, 3000, 1000}});  // metres
    r.link.SimRunning = true;
    r.server.Options().altitude = {{0, 500}};

    r.desk.Form_Load();
    EXPECT_TRUE(r.desk.KeepsLink());
    EXPECT_TRUE(r.view.timer);
    EXPECT_TRUE(r.view.checked[1]);  // the following channel was started
    EXPECT_FALSE(r.view.checked[0]);
    EXPECT_EQ(r.view.vol[0], 0);
    EXPECT_TRUE(r.view.green);
    EXPECT_EQ(r.view.vol[1], 10);  // below the layer: MinVol
    EXPECT_EQ(r.desk.TickLimit[1], 4);

    std::vector<int> volumes;
    for (double m : {1000.0, 1500.0, 2000.0, 2500.0, 3000.0, 3500.0}) {
        r.server.Options().altitude = {{0, m}};
        r.desk.tmrIpcVolCont_Timer();
        volumes.push_back(r.view.vol[1]);
        if (m == 2000.0) {
            EXPECT_EQ(r.desk.TickLimit[1], 2);  // cover 6
        }
    }
    EXPECT_EQ(volumes, (std::vector<int>{100, 85, 60, 35, 10, 10}));

    r.link.SimRunning = false;  // the simulator closed
    r.desk.tmrIpcVolCont_Timer();
    EXPECT_FALSE(r.view.timer);
    EXPECT_FALSE(r.view.green);
    EXPECT_EQ(r.view.vol[1], 0);
    EXPECT_FALSE(r.desk.Following());
}

// The desk's table over the rig, with the program's guard as the pump.
struct DeskTableRig : DeskRig {
    OperationGuard guard{&t.pump};
    DeskBars bars{view, cdView};
    SoundDeskTable table{guard, view, bars};
    DeskTableRig() {
        t.env.pump = &guard;
        table.Attach(&desk, &cdPanel);
    }
};

// Every entry of the desk and of its playlist editor, fired while a main
// window's handler, an install, a refresh and an exchange let messages run:
// the file dialog and the editor open once a handler has ended, the
// following waits while the link is held; the rest always runs, the close
// boxes too.
TEST(SoundDeskTable, EachEntryInsideWhatRuns) {
    using F = Fired;
    using I = SoundIds;
    DeskTableRig r;
    r.desk.Form_Load();
    ExpectEachEntryInside(r.guard, r.t.pump, r.table.Events(),
                          {
                              {I::cmdSelFile, I::kClicked, F::Queued, F::Ran, F::Ran, F::Ran},
                              {I::mnuEditList, I::kClicked, F::Queued, F::Ran, F::Ran, F::Ran},
                              {I::tmrIpcVolCont, EventTable::kAnyCode, F::Postponed, F::Ran, F::Ran, F::Postponed},
                          });
    EXPECT_EQ(r.view.editorOpened, 4);
    EXPECT_EQ(r.view.unloads, 4);

    MusicOrder order(r.desk, r.s.MusicList, r.view);
    MusicOrderTable editor(r.guard, order, r.view);
    order.Form_Load();
    ExpectEachEntryInside(r.guard, r.t.pump, editor.Events(), {});
    EXPECT_EQ(r.view.editorCloses, 4 * 4);  // OK, Cancel, Esc and the close box
}

// The CD's poll pauses while the track bar's thumb is dragged and comes
// back when the drag ends: let go on another track (which plays), let go
// where it began, or given up without a thumb position.
TEST(SoundDeskTable, TheCdPollComesBackWheneverATrackDragEnds) {
    using C = ScrollCode;
    const struct {
        std::vector<std::pair<C, int>> drag;  // scroll code, thumb's place
        bool seeks;                           // the drag went to another track
    } rows[] = {
        {{{C::ThumbTrack, 3}, {C::ThumbTrack, 4}, {C::ThumbPosition, 4}, {C::EndScroll, 4}}, true},
        {{{C::ThumbTrack, 3}, {C::ThumbTrack, 2}, {C::ThumbPosition, 2}, {C::EndScroll, 2}}, false},
        {{{C::ThumbTrack, 4}, {C::EndScroll, 4}}, false},
    };
    for (const auto& row : rows) {
        DeskTableRig r;
        r.mci.Disc(5, "02:00:10:00", "stopped");
        r.desk.Form_Load();
        ASSERT_EQ(r.cdView.value, 2);
        ASSERT_TRUE(r.cdView.timer);
        r.mci.sent.clear();
        bool pausedDuringDrag = true;
        for (size_t k = 0; k < row.drag.size(); ++k) {
            r.bars.track = row.drag[k].second;
            r.table.Events().Fire(SoundIds::evScroll, int(row.drag[k].first), SoundIds::hsvTrack);
            if (k == 0) pausedDuringDrag = !r.cdView.timer;
        }
        EXPECT_TRUE(pausedDuringDrag) << row.drag.size();
        EXPECT_TRUE(r.cdView.timer) << "the poll stays off after a drag of " << row.drag.size();
        const bool sought = std::find(r.mci.sent.begin(), r.mci.sent.end(), "seek cd to 4") != r.mci.sent.end();
        EXPECT_EQ(sought, row.seeks) << row.drag.size();
    }
}

// While the music list's file dialog is open the desk's timers run (the
// following too: the dialog holds no link), the dialog and the editor do
// not open again, and the close box waits for the dialog to end.
TEST(SoundDeskTable, TheFileDialogKeepsTheTimersAndHoldsTheCloseBack) {
    using F = Fired;
    using I = SoundIds;
    DeskTableRig r;
    r.desk.Form_Load();
    r.view.dialog = "C:\\m\\new.mp3";
    std::vector<F> inside;
    int unloadsInside = -1;
    r.view.duringDialog = [&] {
        if (!inside.empty()) return;
        EventTable& t = r.table.Events();
        inside = {t.Fire(I::tmrIpcVolCont), t.Fire(I::tmrMp1), t.Fire(I::tmrCD), t.Fire(I::cmdSelFile, I::kClicked),
                  t.Fire(I::mnuEditList, I::kClicked), t.Fire(I::evClose)};
        unloadsInside = r.view.unloads;
    };
    EXPECT_EQ(r.table.Events().Fire(I::cmdSelFile, I::kClicked), F::Ran);
    EXPECT_EQ(inside, (std::vector<F>{F::Ran, F::Ran, F::Ran, F::Refused, F::Refused, F::Deferred}));
    EXPECT_EQ(unloadsInside, 0);
    EXPECT_EQ(r.view.unloads, 1);
    EXPECT_EQ(r.view.editorOpened, 0);
    EXPECT_EQ(r.s.MusicList.back(), "C:\\m\\new.mp3");
}

}  // namespace
}  // namespace vm
