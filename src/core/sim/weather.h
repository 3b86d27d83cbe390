// The simulator's weather over the IPC link: altitude, weather-link
// readiness, saving, clearing and restoring the weather, and the cloud
// layers as the program edits them (feet, ten parallel lists).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "common/ports.h"
#include "sim/fsuipc.h"
#include "sim/layer_table.h"
#include "sim/protocol.h"

namespace vm {

// The ten lists of LayerLists, by index.
enum LayerList : int {
    kLayerType = 0,
    kLayerCoverage = 1,
    kLayerTop = 2,
    kLayerBase = 3,
    kLayerDeviation = 4,
    kLayerTurbulence = 5,
    kLayerIcing = 6,
    kLayerPrecBase = 7,
    kLayerPrecType = 8,
    kLayerPrecRate = 9,
};

// One entry per layer in table order in each list; heights in feet.
struct LayerLists {
    std::array<std::vector<int32_t>, 10> list;

    size_t Count() const { return list[kLayerType].size(); }
    void Clear() {
        for (auto& l : list) l.clear();
    }
    // Entry `i` (0-based) of list `l`, 0 when that list is shorter.
    int32_t At(int l, size_t i) const { return i < list[l].size() ? list[l][i] : 0; }
};

constexpr int32_t kMaxTopFeet = 100000;
constexpr int32_t kMaxDeviationFeet = 2000;
constexpr int16_t kDeviationCapMetres = 609;

// Integer part (toward zero) of a number that converts to a signed 32-bit
// integer; 0 otherwise.
int32_t WholePart(double number);
// The bytes from `high` down to `low` as one little-endian number: 2 bytes
// signed 16-bit, 4 bytes signed 32-bit, 1 or 3 bytes unsigned. 0 for an
// empty or longer range.
int32_t BytesToNumber(const uint8_t* bytes, int high, int low);
// "Cirrus" 1, "Stratus" 8, "Cumulus" 9, "Thunder" 10 (any case), else 0.
int CloudTypeCode(std::string_view name);
// Metres to whole feet, cut toward zero.
int32_t MetresToFeet(double metres);

// The table records for `layers`, with the write rules: heights rounded to
// metres, the deviation capped to 609 m, the precipitation base kept below
// the cloud base.
std::vector<LayerRecord> LayersToRecords(const LayerLists& layers);
// The lists for table records, with the read bounds applied.
void RecordsToLayers(const std::vector<LayerRecord>& records, LayerLists& layers);

class ComIpc {
public:
    explicit ComIpc(Fsuipc& link);

    // Altitude in feet to one decimal; `feet` is untouched on failure.
    bool ReadAltitude(double& feet);
    // The simulator runs, the link is accepted and 0x04D6 reads 0xFADE.
    bool LinkReady();
    // True when every weather block was read.
    bool SaveWeather();
    void ClearWeather();
    void RestoreWeather();
    // Replaces Layers with the simulator's cloud layers; gives their number.
    int ReadLayers();
    // Whether the last ReadLayers got the table (no layers may also mean the
    // exchange failed).
    bool LayersRead() const { return layersRead_; }
    // Sends Layers as the new cloud-layer table. False when the queue or the
    // exchange failed.
    bool WriteLayers();

    LayerLists Layers;
    std::array<std::vector<uint8_t>, kWeatherBlocks> SavedWeather;
    bool RefreshBusy = false;
    bool StopRefresh = false;

private:
    Fsuipc& link_;
    std::array<bool, kWeatherBlocks> savedOk_{};  // block read by the last SaveWeather
    bool layersRead_ = false;
};

}  // namespace vm
