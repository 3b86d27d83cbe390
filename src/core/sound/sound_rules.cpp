#include "sound/sound_rules.h"

#include <cmath>

#include "common/convert.h"
#include "ui/split.h"

namespace vm {

const char* const kTrailingSeparatorText = "ファイル名とりこみでパス名の最後に￥がありました。";

const char* const kMusicFilter =
    "MP3 (*.mp3;*.m3u)|*.mp3;*.m3u|WAV MP3 (*.mp3;*.m3u;*.wav)|*.mp3;*.m3u;*.wav|WAV (*.wav)|*.wav|"
    "MIDI (*.mid;*.midi;*.rmi)|*.mid;*.midi;*.rmi|"
    "AUDIO (*.mp3;*.m3u;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;*.wma)|"
    "*.mp3;*.m3u;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;*.wma|";

long LogVolume(int barValue) {
    if (barValue < 0) barValue = 0;
    const double v = std::floor(96.4 * (100.0 / std::log(100.0)) * std::log(barValue + 1.0)) - 9640;
    return v > 0 ? 0 : static_cast<long>(v);
}

uint32_t PauseDelayMs(int intervalSeconds, double u) {
    const double span = static_cast<double>(intervalSeconds < 0 ? 0 : intervalSeconds) * 1000 + 1;
    const double d = std::floor(span * u);
    return d < 1 ? 1 : static_cast<uint32_t>(d);
}

int WrapInterval(int value) {
    if (value > 60) return 0;
    if (value < 0) return 60;
    return value;
}

void FilterAudioFiles(std::vector<std::string>& paths) {
    static const char* const kExt[] = {"mp3", "m3u", "wav", "snd", "au", "aif",
                                       "aifc", "aiff", "mid", "midi", "rmi"};
    std::vector<std::string> kept;
    for (const std::string& p : paths) {
        const std::string low = LCase(p);
        for (const char* e : kExt) {
            const std::string ext(e);
            if (low.size() >= ext.size() && low.compare(low.size() - ext.size(), ext.size(), ext) == 0) {
                kept.push_back(p);
                break;
            }
        }
    }
    paths.swap(kept);
}

std::string FileNamePart(const std::string& path, bool* trailingSeparator) {
    if (trailingSeparator) *trailingSeparator = !path.empty() && path.back() == '\\';
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AppendDialogSelection(const std::string& result, std::vector<std::string>& list) {
    if (result.empty()) return {};
    cSplit parts;
    parts.SplitText(result, std::string(1, '\0'));
    if (parts.Count() == 1) {
        list.push_back(parts.Item(1));
        const size_t slash = result.rfind('\\');
        return slash == std::string::npos ? std::string() : result.substr(0, slash);
    }
    const std::string folder = parts.Item(1);
    for (int i = 2; i <= parts.Count(); ++i) list.push_back(folder + "\\" + parts.Item(i));
    return folder;
}

LayerPlace FindLayerAt(const LayerLists& layers, double altitudeFeet) {
    LayerPlace place;
    for (size_t i = 0; i < layers.Count(); ++i) {
        const double top = layers.At(kLayerTop, i), base = layers.At(kLayerBase, i);
        if (!(base <= altitudeFeet && altitudeFeet <= top)) continue;
        place.index = static_cast<int>(i) + 1;
        place.inside = layers.At(kLayerType, i) == 10;
        const double thickness = std::fabs(top - base);
        const double middle = (top - base) / 2 + base;
        // A layer without thickness holds the aircraft in its middle.
        place.ratio = thickness > 0 ? 1 - (altitudeFeet - middle) / (thickness / 2) : 1;
        break;
    }
    return place;
}

int FollowVolume(const LayerPlace& place, int minVol, int maxVol) {
    if (!place.inside) return minVol;
    const double v = RoundHalfEven(minVol + (maxVol - minVol) * place.ratio);
    return v > 100 ? 100 : v < 0 ? 0 : static_cast<int>(v);
}

int FollowTickLimit(const LayerPlace& place, const LayerLists& layers) {
    if (place.index == 0) return 4;
    const int cover = layers.At(kLayerCoverage, static_cast<size_t>(place.index - 1));
    const auto n = ToInt16(FormatNumber((9 - cover) / 2.0, "0"));
    return n && *n > 0 ? *n : 1;
}

}  // namespace vm
