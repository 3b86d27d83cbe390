#include "sound/cd.h"

#include "common/convert.h"

namespace vm {

namespace {

// The leading number of a text, as the old Val read it: blanks skipped,
// digits until the first other character; 0 without digits.
int LeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && n < 100000; ++i) n = n * 10 + (text[i] - '0');
    return static_cast<int>(n);
}

}  // namespace

std::string TrackLabel(int track) { return track > 0 ? "Track" + FormatNumber(track, "00") : "Track**"; }

bool CD::CdCommand(const std::string& command) {
    MciError = mci_.Send(command, nullptr);
    return MciError == 0;
}

bool CD::Ask(const std::string& question, std::string& answer) {
    answer.clear();
    MciError = mci_.Send(question, &answer);
    return MciError == 0;
}

void CD::Seek(int track) {
    CdCmd = "seek cd to " + std::to_string(track);
    CdCommand(CdCmd);
}

void CD::CdPlay(int firstTrack) {
    CdCmd = "play cd from " + std::to_string(firstTrack);
    CdCommand(CdCmd);
    CdPlaying = true;
}

void CD::CdStopAndRewind() {
    CdCommand("stop cd wait");
    Seek(CdTrack);
    CdPlaying = false;
    CdRefresh();
}

bool CD::Open() {
    if (!CdCommand("open cdaudio alias cd wait shareable")) return false;
    CdCommand("set cd time format tmsf wait");
    return true;
}

void CD::Close() {
    CdCommand("stop cd wait");
    CdCommand("close all");
    CdPlaying = false;
}

void CD::CdRefresh() {
    std::string answer;
    if (!Ask("status cd media present", answer)) {
        if (!Open()) {
            CdHasTracks = false;
            return;
        }
        Ask("status cd media present", answer);
    }
    if (!ToBool(Trim(answer)).value_or(false)) {
        CdHasTracks = false;
        CdReady = false;
        return;
    }
    const bool newDisc = !CdReady;
    if (newDisc) {
        Ask("status cd number of tracks wait", answer);
        CdTracks = static_cast<int16_t>(LeadingNumber(Trim(answer)));
        // One track is a data disc; an unreadable count is no audio disc.
        if (CdTracks < 2) {
            CdHasTracks = false;
            return;
        }
        Ask("status cd length wait", answer);
        for (int i = 1; i <= CdTracks; ++i) Ask("status cd length track " + std::to_string(i), answer);
        CdHasTracks = true;
        CdReady = true;
        Seek(1);
    }
    Ask("status cd position", answer);
    CdTrack = static_cast<int16_t>(LeadingNumber(answer.substr(0, 2)));
    if (newDisc && CdTrack != 1) Seek(1);
    Ask("status cd position", answer);
    CdTrack = static_cast<int16_t>(LeadingNumber(answer.substr(0, 2)));
    Ask("status cd mode", answer);
    CdPlaying = SameText(Trim(answer), "playing");
}

void CdPanel::Form_Load() {
    view_.SetCdTimer(false);
    cd_.Open();
    tmrCD_Timer();
    view_.SetCdTimer(true);
}

void CdPanel::MoveSelector(int value) {
    if (view_.TrackValue() == value) return;
    view_.SetTrackValue(value);
    hsvTrack_Change();
}

void CdPanel::SetChecked(bool checked) {
    if (view_.CdChecked() == checked) return;
    view_.SetCdChecked(checked);
    chkCD_Click();
}

void CdPanel::tmrCD_Timer() {
    cd_.CdRefresh();
    view_.SetCdEnabled(cd_.CdHasTracks);
    if (cd_.CdHasTracks) {
        if (view_.TrackValue() != cd_.CdTrack) {
            view_.SetTrackRange(1, cd_.CdTracks);
            MoveSelector(cd_.CdTrack);
        }
        if (view_.RepeatChecked() && view_.CdChecked() && cd_.CdTrack == cd_.CdTracks && !cd_.CdPlaying)
            MoveSelector(1);
        view_.SetTrackLabel(TrackLabel(cd_.CdTrack));
    } else {
        SetChecked(false);
        MoveSelector(1);
        cd_.CdTrack = 0;
        view_.SetTrackLabel(TrackLabel(0));
    }
}

void CdPanel::chkCD_Click() {
    if (view_.CdChecked()) {
        if (cd_.CdHasTracks) cd_.CdPlay(view_.TrackValue());
        return;
    }
    view_.SetCdEnabled(false);
    pump_.DoEvents();
    cd_.CdStopAndRewind();
    // The controls come back only while there is a disc to play.
    view_.SetCdEnabled(cd_.CdHasTracks);
}

void CdPanel::hsvTrack_Change() {
    if (Loading) return;
    view_.SetCdTimer(false);
    if (cd_.CdHasTracks) {
        cd_.CdTrack = static_cast<int16_t>(view_.TrackValue());
        view_.SetTrackLabel(TrackLabel(cd_.CdTrack));
        pump_.DoEvents();
        if (!cd_.CdPlaying) {
            cd_.CdCmd = "seek cd to " + std::to_string(cd_.CdTrack);
            cd_.CdCommand(cd_.CdCmd);
        }
        if (view_.CdChecked()) cd_.CdPlay(cd_.CdTrack);
    }
    view_.SetCdTimer(true);
}

void CdPanel::hsvTrack_Scroll() {
    view_.SetCdTimer(false);
    if (!cd_.CdHasTracks) return;
    cd_.CdTrack = static_cast<int16_t>(view_.TrackValue());
    view_.SetTrackLabel(TrackLabel(cd_.CdTrack));
}

}  // namespace vm
