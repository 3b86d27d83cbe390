// The sound desk's arithmetic and list rules: the volume scale, the pause
// between two files of a channel, the interval bar, the audio-file filter,
// file names of paths, the music file dialog's result, and how a channel
// follows the aircraft through a thunderstorm layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/weather.h"

namespace vm {

// The player volume (hundredths of a decibel) of a volume bar value 0..100:
// 0 is silent (-9640), 99 and 100 are the loudest (0).
long LogVolume(int barValue);

// The pause after a channel's file, in milliseconds: a random part of the
// interval (seconds) plus one millisecond, at least 1. `u` is in [0, 1).
uint32_t PauseDelayMs(int intervalSeconds, double u);

// The interval bar keeps 0..60 by wrapping: 61 gives 0, -1 gives 60.
int WrapInterval(int value);

// Keeps the paths whose last characters are one of the audio extensions
// ("mp3", "m3u", "wav", "snd", "au", "aif", "aifc", "aiff", "mid", "midi",
// "rmi"), compared without case.
void FilterAudioFiles(std::vector<std::string>& paths);

// The message shown when a path ends in a backslash while its file name is
// taken (UTF-8; the ANSI code page cannot hold it).
extern const char* const kTrailingSeparatorText;

// The part of a path after its last backslash (the whole text without one).
// `trailingSeparator` is set when the path ends in a backslash.
std::string FileNamePart(const std::string& path, bool* trailingSeparator = nullptr);

// The filter of the music file dialog.
extern const char* const kMusicFilter;
// Appends the files of a file dialog's result (NUL-separated: one full path,
// or the folder followed by the names) to `list`, and gives the folder to
// remember; the empty result adds nothing and gives the empty text.
std::string AppendDialogSelection(const std::string& result, std::vector<std::string>& list);

// Where the aircraft is among the cloud layers.
struct LayerPlace {
    int index = 0;        // 1-based index of the first layer holding the altitude; 0 for none
    bool inside = false;  // that layer is a thunderstorm (type 10)
    double ratio = 0;     // 2 at its base, 1 in its middle, 0 at its top
};
LayerPlace FindLayerAt(const LayerLists& layers, double altitudeFeet);

// The followed volume bar value of a channel.
int FollowVolume(const LayerPlace& place, int minVol, int maxVol);
// How many pauses a following channel waits between two files: fewer the
// denser the layer the aircraft is in; 4 outside every layer.
int FollowTickLimit(const LayerPlace& place, const LayerLists& layers);

}  // namespace vm
