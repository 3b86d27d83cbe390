// The sound desk in the real windows with the platform's media stack: a
// channel plays its file again after its pause, the music list advances
// title by title, the playlist editor reorders by drag and deletes a
// multiple selection and goes with its desk, and a machine without a CD
// drive shows "Track**".
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "app/form1.h"
#include "fakes.h"
#include "list_mouse.h"
#include "screenshot.h"
#include "sound/frm_music.h"
#include "win_files.h"

using namespace vm;

namespace {

// Pumps messages until the condition holds or 15 s have passed.
template <class F>
bool WaitFor(F done) {
    const DWORD end = GetTickCount() + 15000;
    while (!done() && GetTickCount() < end) Settle(10);
    return done();
}

struct SoundWin : ::testing::Test {
    std::string root = TempFolderName("vmsound");
    std::string prog = root + "\\Prog";
    std::string media = getenv("VM_MEDIA") ? getenv("VM_MEDIA") : "";
    FakeRegistry registry;
    std::unique_ptr<Program> p;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        RemoveTree(root);
        for (const std::string& d : {root, prog, root + "\\FS", root + "\\FS\\texture", root + "\\FS\\texture\\Sets",
                                     root + "\\FS\\texture\\Sets\\Alpha", root + "\\amb", root + "\\A", root + "\\B"})
            CreateDirectoryA(d.c_str(), nullptr);
        WriteTextFile(root + "\\FS\\texture\\Sets\\Alpha\\cld1.bmp", "a");
        for (const std::string to : {"\\amb\\tone.wav", "\\A\\tone.mp3", "\\B\\tone.mp3", "\\B\\tone.wav"})
            CopyFileA((media + to.substr(to.rfind('\\'))).c_str(), (root + to).c_str(), FALSE);
        registry.Set(Registry::kLocalMachine, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0",
                     "EXE Path", root + "\\FS");
        WriteTextFile(prog + "\\cloud.ini",
                      "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sets\r\n[ShowLogo]\r\nShow=off\r\n"
                      "[Set1]\r\nDirName=Alpha\r\n[Sound]\r\nCh1Path=" + root + "\\amb\r\nCh1Intvl=0\r\n"
                      "MusicFile1=" + root + "\\A\\tone.mp3\r\nMusicFile2=" + root + "\\B\\tone.mp3\r\n"
                      "MusicFile3=" + root + "\\B\\tone.wav\r\n");
        p = std::make_unique<Program>(prog);
        p->env.registry = &registry;
        form = std::make_unique<Form1>(*p);
        form->Form_Load();
        Settle();
    }
    void TearDown() override {
        form.reset();
        p.reset();
        RemoveTree(root);
    }
    // Drops the files on a window as the shell does.
    static void DropFiles(HWND target, const std::vector<std::string>& paths) {
        std::string list;
        for (const std::string& p : paths) list += p + '\0';
        list += '\0';
        HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
        auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
        df->pFiles = sizeof(DROPFILES);
        memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.data(), list.size());
        GlobalUnlock(mem);
        SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
    }
    void Click(HWND w, int id) {
        SendMessageA(GetDlgItem(w, id), BM_CLICK, 0, 0);
        Settle();
    }
    // Counts the ends of a player's files, recording the file that ended
    // and the desk's caption once the desk has handled the end.
    void CountEnds(MediaStrip& mp, std::vector<std::string>& ended, std::vector<std::string>* captions = nullptr) {
        auto next = mp.EndOfStream;
        HWND desk = form->SoundWindow()->hwnd();
        mp.EndOfStream = [&mp, &ended, next, captions, desk] {
            ended.push_back(mp.FileName());
            next();
            if (captions) captions->push_back(GetText(desk));
        };
    }
};

TEST_F(SoundWin, ChannelMusicListAndPlaylistEditor) {
    ASSERT_FALSE(media.empty());
    SendMessageA(form->hwnd(), WM_COMMAND, MAKEWPARAM(Form1::mnuSound, 0), 0);
    Settle();
    frmSound* s = form->SoundWindow();
    ASSERT_TRUE(s && s->Loaded());
    EXPECT_EQ(GetText(s->hwnd()), "Vellmora Sound");
    // No CD drive here: the CD controls stay off, without a message.
    EXPECT_EQ(GetText(s->Control(frmSound::lblTrack)), "Track**");
    EXPECT_FALSE(IsWindowEnabled(s->Control(frmSound::chkCD)));
    EXPECT_FALSE(IsWindowEnabled(s->Control(frmSound::chkMP1 + 1)));  // channel 2 has no folder

    // Channel 1: its one file plays to its end, the pause runs, it plays again.
    std::vector<std::string> channel, music, captions;
    CountEnds(s->Player(1), channel);
    Click(s->hwnd(), frmSound::chkMP1);
    EXPECT_TRUE(WaitFor([&] { return channel.size() >= 2; }));

    // The music list plays title by title.
    CountEnds(s->Player(3), music, &captions);
    Click(s->hwnd(), frmSound::chkMP1 + 2);
    EXPECT_TRUE(s->Player(3).Visible());
    EXPECT_EQ(GetText(s->hwnd()), "tone.mp3");
    ASSERT_TRUE(WaitFor([&] { return music.size() >= 2; }));
    EXPECT_EQ(music[0], root + "\\A\\tone.mp3");
    EXPECT_EQ(music[1], root + "\\B\\tone.mp3");
    EXPECT_EQ(captions[0], "tone.mp3");
    EXPECT_EQ(captions[1], "tone.wav");
    Click(s->hwnd(), frmSound::chkMP1);  // channel off
    Click(s->hwnd(), frmSound::chkMP1 + 2);  // music paused
    SendMessageA(s->hwnd(), WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(s->Control(frmSound::hsbVol1 + 2)));
    EXPECT_EQ(s->VolumeBar(3), 60);
    EXPECT_EQ(s->Player(3).Volume(), LogVolume(60));
    Settle();
    Screenshot(s->hwnd(), "sound-desk");

    // The editor: the two titles of the same name are two lines; the last
    // is dragged to the top, and OK starts the music at the new first title.
    SendMessageA(s->hwnd(), WM_COMMAND, MAKEWPARAM(frmSound::mnuEditList, 0), 0);
    Settle();
    frmMusic* m = s->MusicOrderWindow();
    ASSERT_TRUE(m && m->Loaded());
    EXPECT_FALSE(IsWindowEnabled(s->hwnd()));
    HWND list = m->Control(frmMusic::lstOrder);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"tone.mp3", "tone.mp3", "tone.wav"}));
    Drag(list, 1, 0);
    Drag(list, 2, 0);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"tone.wav", "tone.mp3", "tone.mp3"}));
    EXPECT_EQ(p->settings.MusicList, (std::vector<std::string>{root + "\\B\\tone.wav", root + "\\B\\tone.mp3",
                                                               root + "\\A\\tone.mp3"}));
    Settle();
    Screenshot(m->hwnd(), "music-order");
    // (Read at once: the short title may end while messages run.)
    SendMessageA(m->Control(frmMusic::cmdOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(m->Loaded());
    EXPECT_TRUE(IsWindowEnabled(s->hwnd()));
    EXPECT_EQ(s->Player(3).FileName(), root + "\\B\\tone.wav");
    EXPECT_EQ(GetText(s->hwnd()), "tone.wav");

    // Dropped on the file button: the folder and the text file are left out.
    WriteTextFile(root + "\\A\\notes.txt", "x");
    DropFiles(s->Control(frmSound::cmdSelFile), {root + "\\A", root + "\\A\\notes.txt", root + "\\A\\tone.mp3"});
    ASSERT_EQ(p->settings.MusicList.size(), 4u);
    EXPECT_EQ(p->settings.MusicList[3], root + "\\A\\tone.mp3");
    p->settings.MusicList.pop_back();

    // A multiple selection is deleted; Cancel puts it back.
    SendMessageA(s->hwnd(), WM_COMMAND, MAKEWPARAM(frmSound::mnuEditList, 0), 0);
    Settle();
    list = m->Control(frmMusic::lstOrder);
    SendMessageA(list, LB_SETSEL, TRUE, 0);
    SendMessageA(list, LB_SETSEL, TRUE, 2);
    Click(m->hwnd(), frmMusic::cmdDel);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"tone.mp3"}));
    EXPECT_EQ(p->settings.MusicList.size(), 1u);
    Click(m->hwnd(), frmMusic::cmdCancel);
    EXPECT_EQ(p->settings.MusicList.size(), 3u);
    EXPECT_EQ(p->settings.MusicList[0], root + "\\B\\tone.wav");
}

TEST_F(SoundWin, ThePlaylistEditorGoesWithItsDesk) {
    ASSERT_FALSE(media.empty());
    auto open = [&](frmSound* s) {
        if (!s) SendMessageA(form->hwnd(), WM_COMMAND, MAKEWPARAM(Form1::mnuSound, 0), 0);
        else SendMessageA(s->hwnd(), WM_COMMAND, MAKEWPARAM(frmSound::mnuEditList, 0), 0);
        Settle();
    };
    // The editor closed, then the desk; the desk again, closed with its
    // editor open: the editor goes with it.
    open(nullptr);
    frmSound* s = form->SoundWindow();
    open(s);
    SendMessageA(s->MusicOrderWindow()->Control(frmMusic::cmdOK), BM_CLICK, 0, 0);
    SendMessageA(s->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(s->MusicOrderWindow(), nullptr);
    open(nullptr);
    open(s);
    s->Unload();
    EXPECT_EQ(s->MusicOrderWindow(), nullptr);
    EXPECT_EQ(FindWindowA(frmMusic::kClass, nullptr), nullptr);

    // Opened again: its own editor works on its own players.
    open(nullptr);
    open(s);
    frmMusic* m = s->MusicOrderWindow();
    ASSERT_TRUE(m && m->Loaded());
    Drag(m->Control(frmMusic::lstOrder), 2, 0);
    SendMessageA(m->Control(frmMusic::cmdOK), BM_CLICK, 0, 0);
    EXPECT_EQ(s->Player(3).FileName(), root + "\\B\\tone.wav");
    EXPECT_EQ(GetText(s->hwnd()), "tone.wav");

    // An "Edit List" waiting while the desk writes its settings on its way
    // out (it lets messages run then) opens nothing.
    PostMessageA(s->hwnd(), WM_COMMAND, MAKEWPARAM(frmSound::mnuEditList, 0), 0);
    s->Unload();
    EXPECT_EQ(s->MusicOrderWindow(), nullptr);
    EXPECT_EQ(p->settings.MusicList.front(), root + "\\B\\tone.wav");
}

}  // namespace
