#include "platform/win32_media.h"

#include <control.h>
#include <dshow.h>
#include <evcode.h>

#include <vector>

namespace vm {

namespace {

template <class T>
void ReleaseInto(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// DirectShow's reference time: 100 ns units.
constexpr double kUnitsPerSecond = 1e7;

}  // namespace

bool DirectShowGraph::Open(const std::string& path, HWND notify, UINT message) {
    Close();
    if (path.empty() || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph_)))) {
        graph_ = nullptr;
        return false;
    }
    // RenderFile answers a success code also when only part of the file
    // (say, the video of a clip) could be rendered; what matters here is the
    // audio, checked below.
    const std::wstring wide = Widen(path);
    if (FAILED(graph_->RenderFile(wide.c_str(), nullptr)) ||
        FAILED(graph_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_))) ||
        FAILED(graph_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&events_)))) {
        Close();
        return false;
    }
    if (FAILED(graph_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_))))
        seeking_ = nullptr;
    if (FAILED(graph_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio_))))
        audio_ = nullptr;
    long probe = 0;
    if (!audio_ || FAILED(audio_->get_Volume(&probe))) {
        // A graph that renders nothing audible is no sound file.
        Close();
        return false;
    }
    if (seeking_) seeking_->SetTimeFormat(&TIME_FORMAT_MEDIA_TIME);
    events_->SetNotifyWindow(reinterpret_cast<OAHWND>(notify), message, 0);
    return true;
}

void DirectShowGraph::Close() {
    if (control_) control_->Stop();
    if (events_) events_->SetNotifyWindow(0, 0, 0);
    ReleaseInto(events_);
    ReleaseInto(audio_);
    ReleaseInto(seeking_);
    ReleaseInto(control_);
    ReleaseInto(graph_);
}

bool DirectShowGraph::Run() { return control_ && SUCCEEDED(control_->Run()); }
bool DirectShowGraph::Pause() { return control_ && SUCCEEDED(control_->Pause()); }
bool DirectShowGraph::Stop() { return control_ && SUCCEEDED(control_->Stop()); }

double DirectShowGraph::Position() const {
    LONGLONG now = 0;
    if (!seeking_ || FAILED(seeking_->GetCurrentPosition(&now))) return 0;
    return static_cast<double>(now) / kUnitsPerSecond;
}

double DirectShowGraph::Duration() const {
    LONGLONG length = 0;
    if (!seeking_ || FAILED(seeking_->GetDuration(&length))) return 0;
    return static_cast<double>(length) / kUnitsPerSecond;
}

bool DirectShowGraph::SetPosition(double seconds) {
    if (!seeking_) return false;
    LONGLONG at = static_cast<LONGLONG>((seconds < 0 ? 0 : seconds) * kUnitsPerSecond);
    return SUCCEEDED(seeking_->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                            AM_SEEKING_NoPositioning));
}

bool DirectShowGraph::SetVolume(long volume) {
    if (volume > 0) volume = 0;
    if (volume < -10000) volume = -10000;
    return audio_ && SUCCEEDED(audio_->put_Volume(volume));
}

bool DirectShowGraph::GetVolume(long& volume) const {
    return audio_ && SUCCEEDED(audio_->get_Volume(&volume));
}

DirectShowGraph::Outcome DirectShowGraph::DrainEvents() {
    Outcome outcome = Outcome::None;
    if (!events_) return outcome;
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events_ && SUCCEEDED(events_->GetEvent(&code, &p1, &p2, 0))) {
        events_->FreeEventParams(code, p1, p2);
        switch (code) {
            case EC_COMPLETE:
                if (outcome == Outcome::None) outcome = Outcome::Complete;
                break;
            case EC_ERRORABORT:
            case EC_USERABORT:
            case EC_ERRORABORTEX:
            case EC_STREAM_ERROR_STOPPED:
                outcome = Outcome::Failed;
                break;
            default:
                break;
        }
    }
    return outcome;
}

}  // namespace vm
