// The media player strip for real: DirectShow plays the WAV and MP3 files
// made at build time (Wine's audio output discards the samples), and the
// strip reports their ends and failures from its message handler.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "screenshot.h"
#include "sound/media_strip.h"
#include "win_files.h"

using namespace vm;

namespace {

std::string MediaFile(const std::string& name) {
    const char* dir = getenv("VM_MEDIA");
    return std::string(dir ? dir : ".") + "\\" + name;
}

// Lets messages run until `done` holds or `ms` passed; whether it holds.
bool PumpUntil(const std::function<bool()>& done, int ms = 10000) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (!done() && GetTickCount() < end) {
        PumpPending();
        Sleep(5);
    }
    return done();
}

// A host window with one strip whose events are counted.
struct StripHost {
    HWND parent = nullptr;
    MediaStrip mp;
    int ends = 0, errors = 0;

    StripHost() {
        parent = CreateWindowExA(0, "STATIC", "players", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                 340, 140, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        mp.Create(parent, 10, 10, 300, 24, 1);
        mp.EndOfStream = [this] { ++ends; };
        mp.Error = [this] { ++errors; };
    }
    ~StripHost() { DestroyWindow(parent); }
};

HWND StripButton(const MediaStrip& mp, int n) {
    HWND b = nullptr;
    for (int i = 0; i <= n; ++i) b = FindWindowExA(mp.hwnd(), b, "Button", nullptr);
    return b;
}

BOOL CALLBACK GiveFont(HWND control, LPARAM font) {
    SendMessageA(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

TEST(MediaStripTest, EachFormatPlaysToItsEndAtTheVolumeSetBeforeLoading) {
    for (const char* name : {"tone.wav", "tone.mp3"}) {
        SCOPED_TRACE(name);
        StripHost h;
        h.mp.SetVolume(-2500);
        const DWORD started = GetTickCount();
        h.mp.SetFileName(MediaFile(name));
        EXPECT_EQ(h.mp.State(), PlayState::Playing);
        EXPECT_EQ(h.mp.Volume(), -2500);
        h.mp.SetVolume(-400);
        EXPECT_EQ(h.mp.Volume(), -400);
        ASSERT_TRUE(PumpUntil([&] { return h.ends > 0 || h.errors > 0; }));
        EXPECT_EQ(h.ends, 1);
        EXPECT_EQ(h.errors, 0);
        EXPECT_EQ(h.mp.State(), PlayState::Stopped);
        // The samples went through the clock-paced renderer, not thrown away
        // unplayed (that ends at once). The discarding output takes the
        // renderer's last buffers at once, and how many depends on the
        // machine's load: 0.4 s of sound has ended after 94 to 300 ms here.
        EXPECT_GE(GetTickCount() - started, 50u);
        // Play after the end starts the file again.
        h.mp.Play();
        EXPECT_EQ(h.mp.State(), PlayState::Playing);
        ASSERT_TRUE(PumpUntil([&] { return h.ends == 2; }));
    }
}

TEST(MediaStripTest, FilesThatCannotPlayRaiseErrorLaterAndLeaveThePlayerStopped) {
    const std::string dir = TempFolderName("vm_media");
    CreateDirectoryA(dir.c_str(), nullptr);
    WriteTextFile(dir + "\\notes.mp3", "these are not the sounds you are looking for\r\n");
    WriteTextFile(dir + "\\empty.wav", "");
    for (const std::string& path :
         {dir + "\\missing.wav", dir + "\\notes.mp3", dir + "\\empty.wav", std::string()}) {
        SCOPED_TRACE(path);
        StripHost h;
        h.mp.SetFileName(path);
        EXPECT_EQ(h.errors, 0) << "raised inside SetFileName";
        EXPECT_EQ(h.mp.State(), PlayState::Stopped);
        EXPECT_EQ(h.mp.FileName(), path);
        ASSERT_TRUE(PumpUntil([&] { return h.errors > 0; }));
        Settle(100);
        EXPECT_EQ(h.errors, 1);
        EXPECT_EQ(h.ends, 0);
        EXPECT_EQ(h.mp.State(), PlayState::Stopped);
        h.mp.Play();  // nothing loaded: stays stopped
        EXPECT_EQ(h.mp.State(), PlayState::Stopped);
    }
    DeleteFileA((dir + "\\notes.mp3").c_str());
    DeleteFileA((dir + "\\empty.wav").c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(MediaStripTest, PauseStopSeekAndReplace) {
    StripHost h;
    h.mp.SetFileName(MediaFile("tone.mp3"));
    h.mp.Pause();
    EXPECT_EQ(h.mp.State(), PlayState::Paused);
    h.mp.SetCurrentPosition(0.2);
    Settle(600);  // longer than the file: paused, it does not end
    EXPECT_EQ(h.ends, 0);
    EXPECT_NEAR(h.mp.CurrentPosition(), 0.2, 0.05);
    // Stop keeps the position.
    h.mp.Stop();
    EXPECT_EQ(h.mp.State(), PlayState::Stopped);
    EXPECT_NEAR(h.mp.CurrentPosition(), 0.2, 0.05);
    // The strip's own buttons: play resumes, then pause.
    SendMessageA(StripButton(h.mp, 0), BM_CLICK, 0, 0);
    EXPECT_EQ(h.mp.State(), PlayState::Playing);
    SendMessageA(StripButton(h.mp, 1), BM_CLICK, 0, 0);
    EXPECT_EQ(h.mp.State(), PlayState::Paused);
    h.mp.Play();
    ASSERT_TRUE(PumpUntil([&] { return h.ends > 0; }));

    // A new file while one plays replaces it: only the second one ends, and
    // a failed load replaced at once reports nothing.
    h.ends = 0;
    h.mp.SetFileName(MediaFile("tone.mp3"));
    Settle(50);
    h.mp.SetFileName(MediaFile("missing.wav"));
    h.mp.SetFileName(MediaFile("tone.wav"));
    EXPECT_EQ(h.mp.FileName(), MediaFile("tone.wav"));
    ASSERT_TRUE(PumpUntil([&] { return h.ends > 0; }));
    Settle(800);
    EXPECT_EQ(h.ends, 1);
    EXPECT_EQ(h.errors, 0);
}

TEST(MediaStripTest, ThreeStripsInAWindow) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  340, 150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    std::vector<std::unique_ptr<MediaStrip>> mp;
    for (int i = 0; i < 3; ++i) {
        mp.push_back(std::make_unique<MediaStrip>());
        ASSERT_TRUE(mp.back()->Create(parent, 10, 10 + 32 * i, 300, 24, 10 + i));
        EXPECT_EQ(GetDlgItem(parent, 10 + i), mp.back()->hwnd());
    }
    // A window's font sent straight to the strip's texts, as a window does
    // that gives every static control its configured font.
    HFONT big = MakeFont("Arial", 11, false);
    EnumChildWindows(mp[0]->hwnd(), GiveFont, reinterpret_cast<LPARAM>(big));
    mp[0]->SetFileName(MediaFile("tone.mp3"));
    mp[1]->SetFileName(MediaFile("tone.wav"));
    HWND pos = FindWindowExA(mp[0]->hwnd(), FindWindowExA(mp[0]->hwnd(), nullptr, "Static", nullptr),
                             "Static", nullptr);
    RECT room;
    GetClientRect(pos, &room);
    HDC dc = GetDC(pos);
    HGDIOBJ old = SelectObject(dc, big);
    SIZE widest{};
    GetTextExtentPoint32A(dc, "00:00 / 00:00", 13, &widest);
    SelectObject(dc, old);
    ReleaseDC(pos, dc);
    EXPECT_GE(room.right, widest.cx);
    EXPECT_GE(room.bottom, widest.cy);
    mp[1]->Pause();
    mp[1]->SetCurrentPosition(0.25);
    mp[2]->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(mp[2]->hwnd()));
    mp[2]->SetVisible(true);
    EXPECT_TRUE(mp[2]->Visible());
    EXPECT_TRUE(IsWindowVisible(mp[2]->hwnd()));
    Settle(150);
    Screenshot(parent, "media-strips");
    // The parent takes the strips with it; the objects outlive their windows.
    DestroyWindow(parent);
    EXPECT_EQ(mp[0]->hwnd(), nullptr);
    mp[0]->Play();
    EXPECT_EQ(mp[0]->State(), PlayState::Stopped);
    DeleteObject(big);
}
