// MediaPlayer: one player of the sound desk (a channel or the music). Setting
// a file name loads the file and starts it; the end of a file and a file that
// cannot be played are reported through the two events, always later, on the
// window thread (never from inside the call that caused them).
#pragma once

#include <functional>
#include <string>

namespace vm {

enum class PlayState { Stopped = 0, Paused = 1, Playing = 2 };

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    // Loads the file and starts it from its beginning. A file that cannot be
    // opened or rendered leaves the player stopped and raises Error.
    virtual void SetFileName(const std::string& path) = 0;
    virtual std::string FileName() const = 0;
    virtual void Play() = 0;   // starts or resumes the loaded file
    virtual void Pause() = 0;
    virtual void Stop() = 0;   // stops; the position stays where it was
    virtual PlayState State() = 0;
    // Seconds from the start of the loaded file.
    virtual double CurrentPosition() = 0;
    virtual void SetCurrentPosition(double seconds) = 0;
    // Hundredths of a decibel, 0 loudest, -10000 silent.
    virtual void SetVolume(long volume) = 0;
    virtual long Volume() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Visible() const = 0;

    // Raised on the window thread.
    std::function<void()> EndOfStream;
    std::function<void()> Error;
};

}  // namespace vm
