// DirectShowGraph: one media file played through the platform's DirectShow
// filter graph. It knows nothing of windows beyond the one it tells about its
// graph events; the owner drains those events on that window's thread.
#pragma once

#include <windows.h>

#include <string>

struct IGraphBuilder;
struct IMediaControl;
struct IMediaSeeking;
struct IBasicAudio;
struct IMediaEventEx;

namespace vm {

class DirectShowGraph {
public:
    // What a graph's queued events amount to.
    enum class Outcome { None, Complete, Failed };

    DirectShowGraph() = default;
    DirectShowGraph(const DirectShowGraph&) = delete;
    DirectShowGraph& operator=(const DirectShowGraph&) = delete;
    ~DirectShowGraph() { Close(); }

    // Builds a graph for the file (an ANSI path) and posts `message` to
    // `notify` whenever the graph queues an event. Any earlier graph is torn
    // down first. False, and no graph, when the file cannot be rendered.
    bool Open(const std::string& path, HWND notify, UINT message);
    // Releases the graph; a no-op without one.
    void Close();
    bool IsOpen() const { return graph_ != nullptr; }

    bool Run();
    bool Pause();
    bool Stop();
    // Seconds from the start; 0 without a graph or a seekable stream.
    double Position() const;
    double Duration() const;
    bool SetPosition(double seconds);
    // Hundredths of a decibel (0 loudest, -10000 silent). False when the
    // graph has no audio to set it on.
    bool SetVolume(long volume);
    bool GetVolume(long& volume) const;

    // Takes every queued event off the graph: Complete when the stream
    // ended, Failed when the graph gave up, None otherwise.
    Outcome DrainEvents();

private:
    IGraphBuilder* graph_ = nullptr;
    IMediaControl* control_ = nullptr;
    IMediaSeeking* seeking_ = nullptr;
    IBasicAudio* audio_ = nullptr;
    IMediaEventEx* events_ = nullptr;
};

}  // namespace vm
