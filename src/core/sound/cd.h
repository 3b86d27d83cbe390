// The audio CD of the sound desk: the drive is driven with MCI command
// strings; CD keeps a small picture of the disc (tracks, current track,
// playing) and CdPanel keeps the desk's CD controls in step with it.
#pragma once

#include <cstdint>
#include <string>

#include "common/ports.h"

namespace vm {

// mciSendStringA.
class Mci {
public:
    virtual ~Mci() = default;
    // Sends the command; 0 on success, else the MCI error code. `answer`,
    // when given, receives the return text (at most 29 characters).
    virtual uint32_t Send(const std::string& command, std::string* answer) = 0;
};

class CD {
public:
    explicit CD(Mci& mci) : mci_(mci) {}

    bool CdHasTracks = false;  // an audio disc with more than one track, its table read
    bool CdReady = false;      // the table of the disc in the drive was read
    int16_t CdTracks = 0;
    int16_t CdTrack = 0;
    bool CdPlaying = false;
    std::string CdCmd;         // the last command built from parts
    uint32_t MciError = 0;     // the last command's error code

    // Sends a command without an answer; true when the device accepted it.
    bool CdCommand(const std::string& command);
    void CdPlay(int firstTrack);
    void CdStopAndRewind();
    // Asks the drive about its disc and updates the picture.
    void CdRefresh();
    // Opens the device and sets its time format (track:min:sec:frame).
    bool Open();
    // Stops the disc and closes every device.
    void Close();

private:
    // A status question; nothing when the device did not answer.
    bool Ask(const std::string& question, std::string& answer);
    void Seek(int track);

    Mci& mci_;
};

// The desk's CD controls.
class CdView {
public:
    virtual ~CdView() = default;
    virtual void SetCdEnabled(bool enable) = 0;  // chkCD and hsvTrack
    virtual bool CdChecked() = 0;                // chkCD
    virtual void SetCdChecked(bool checked) = 0; // without its click
    virtual bool RepeatChecked() = 0;            // chkRepeatCD
    virtual int TrackValue() = 0;                // hsvTrack
    virtual void SetTrackRange(int min, int max) = 0;
    virtual void SetTrackValue(int value) = 0;   // without its change
    virtual void SetTrackLabel(const std::string& text) = 0;  // lblTrack
    virtual void SetCdTimer(bool on) = 0;        // tmrCD
};

// "Track" and the number in two digits; "Track**" without a track.
std::string TrackLabel(int track);

class CdPanel {
public:
    CdPanel(CD& cd, CdView& view, Pump& pump) : cd_(cd), view_(view), pump_(pump) {}

    // The window's load: opens the device, fills the display once, starts
    // the poll.
    void Form_Load();
    // Stops the poll first: a tick while the window goes would open the
    // device again.
    void Form_Unload() {
        view_.SetCdTimer(false);
        cd_.Close();
    }
    void tmrCD_Timer();
    void chkCD_Click();
    void hsvTrack_Change();
    void hsvTrack_Scroll();
    // A drag of the track bar ended, wherever the thumb was let go: the
    // poll the drag paused comes back.
    void hsvTrack_DragEnded() { view_.SetCdTimer(true); }

    bool Loading = false;  // changes of the selector are ignored while set

private:
    // Sets the selector; a new value runs its change handler.
    void MoveSelector(int value);
    void SetChecked(bool checked);

    CD& cd_;
    CdView& view_;
    Pump& pump_;
};

}  // namespace vm
