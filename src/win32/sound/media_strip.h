// MediaStrip: a player of the sound desk as a small child window. It plays
// one file through DirectShow and shows the file's name, its position
// ("m:ss / m:ss", refreshed while playing) and play/pause/stop buttons.
// The end of a file and a file that cannot be played are raised as
// EndOfStream and Error from the strip's own message handler.
//
//   MediaStrip mp;                      // lives as long as the parent
//   mp.Create(parent, x, y, 300, 24, id);
//   mp.EndOfStream = [..] { .. };
//   mp.SetFileName(path);               // loads and starts
//
// The parent forwards nothing. The strip's window goes with its parent (or
// with the object, whichever comes first); the graph is released with it.
#pragma once

#include <string>

#include "platform/win32_media.h"
#include "platform/window.h"
#include "sound/media_player.h"

namespace vm {

class MediaStrip : public Window, public MediaPlayer {
public:
    MediaStrip() = default;
    ~MediaStrip() override;

    bool Create(HWND parent, int x, int y, int w, int h, int id);

    void SetFileName(const std::string& path) override;
    std::string FileName() const override { return file_; }
    void Play() override;
    void Pause() override;
    void Stop() override;
    PlayState State() override { return state_; }
    double CurrentPosition() override;
    void SetCurrentPosition(double seconds) override;
    void SetVolume(long volume) override;
    long Volume() override;
    void SetVisible(bool visible) override;
    bool Visible() const override { return visible_; }

    // The text the strip shows for the position ("0:07 / 3:41").
    std::string PositionText() const;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    enum Button { kPlay, kPause, kStop, kButtons };
    void Layout(int w, int h);
    void SetState(PlayState s);
    void ShowNow();
    void OnGraphEvent();
    void DrawButton(const DRAWITEMSTRUCT& d) const;
    void Release();

    DirectShowGraph graph_;
    std::string file_;
    PlayState state_ = PlayState::Stopped;
    bool ended_ = false;       // the file ran to its end: Play starts it again
    long volume_ = 0;          // kept for the next file
    bool visible_ = true;
    unsigned loadSerial_ = 0;  // tells a stale load failure from the current file's
    bool comReady_ = false;
    HFONT font_ = nullptr;
    HWND lblName_ = nullptr;
    HWND lblPos_ = nullptr;
    HWND cmd_[kButtons] = {};
};

}  // namespace vm
