#include "sim/weather.h"

#include <algorithm>
#include <cmath>

#include "common/convert.h"

namespace vm {

namespace {
constexpr uint32_t kWeatherReadyWord = 0xFADE;

int16_t Metres16(double metres) {
    const double r = RoundHalfEven(metres);
    return int16_t(std::clamp(r, -32768.0, 32767.0));
}

double ReadBackFeet(int16_t metres) { return metres * 100 / 30.48; }
}  // namespace

int32_t WholePart(double number) {
    if (!std::isfinite(number)) return 0;
    const double r = RoundHalfEven(number);
    if (r < -2147483648.0 || r > 2147483647.0) return 0;
    return int32_t(std::trunc(number));
}

int32_t BytesToNumber(const uint8_t* bytes, int high, int low) {
    const int n = high - low + 1;
    if (n < 1 || n > 4) return 0;
    uint32_t v = 0;
    for (int i = high; i >= low; --i) v = v << 8 | bytes[i];
    if (n == 2) return int16_t(uint16_t(v));
    return int32_t(v);
}

int CloudTypeCode(std::string_view name) {
    if (SameText(name, "Cirrus")) return 1;
    if (SameText(name, "Stratus")) return 8;
    if (SameText(name, "Cumulus")) return 9;
    if (SameText(name, "Thunder")) return 10;
    return 0;
}

int32_t MetresToFeet(double metres) { return WholePart(metres * 100 / 30.48); }

std::vector<LayerRecord> LayersToRecords(const LayerLists& layers) {
    const size_t n = std::min(layers.Count(), kLayerRecords);
    std::vector<LayerRecord> out(n);
    for (size_t i = 0; i < n; ++i) {
        LayerRecord& r = out[i];
        r.top = Metres16(layers.At(kLayerTop, i) * 30.48 / 100);
        r.base = Metres16(layers.At(kLayerBase, i) * 30.48 / 100);
        r.deviation = Metres16(layers.At(kLayerDeviation, i) * 30.48 / 100);
        // 610 m would read back as more than 2000 ft.
        if (ReadBackFeet(r.deviation) > kMaxDeviationFeet) r.deviation = kDeviationCapMetres;
        r.coverage = uint8_t(layers.At(kLayerCoverage, i));
        r.type = uint8_t(layers.At(kLayerType, i));
        r.turbulence = uint8_t(layers.At(kLayerTurbulence, i));
        r.icing = uint8_t(layers.At(kLayerIcing, i));
        const double precFeet = layers.At(kLayerPrecBase, i);
        r.precBase = Metres16(precFeet * 30.48 / 100);
        if (r.precBase != 0 && ReadBackFeet(r.precBase) > ReadBackFeet(r.base) - 1)
            r.precBase = Metres16(precFeet * 30.48 / 100 - 1);
        r.precType = uint8_t(layers.At(kLayerPrecType, i));
        r.precRate = uint8_t(layers.At(kLayerPrecRate, i));
    }
    return out;
}

void RecordsToLayers(const std::vector<LayerRecord>& records, LayerLists& layers) {
    layers.Clear();
    for (const LayerRecord& r : records) {
        const int32_t base = std::max(MetresToFeet(r.base), 1);
        layers.list[kLayerType].push_back(r.type);
        layers.list[kLayerCoverage].push_back(r.coverage);
        layers.list[kLayerTop].push_back(std::min(MetresToFeet(r.top), kMaxTopFeet));
        layers.list[kLayerBase].push_back(base);
        layers.list[kLayerDeviation].push_back(std::min(MetresToFeet(r.deviation), kMaxDeviationFeet));
        layers.list[kLayerTurbulence].push_back(r.turbulence);
        layers.list[kLayerIcing].push_back(r.icing);
        layers.list[kLayerPrecBase].push_back(std::min(MetresToFeet(r.precBase), base - 1));
        layers.list[kLayerPrecType].push_back(r.precType);
        layers.list[kLayerPrecRate].push_back(r.precRate);
    }
}

ComIpc::ComIpc(Fsuipc& link) : link_(link) {
    for (int b = 0; b < kWeatherBlocks; ++b) SavedWeather[b].assign(kWeatherBlockSizes[b], 0);
}

bool ComIpc::ReadAltitude(double& feet) {
    uint8_t b[8] = {};
    int r = 0;
    if (!link_.IpcQueueRead(kOffAltitude, kAltitudeSize, b, r) || !link_.IpcProcess(r)) return false;
    const double whole = BytesToNumber(b, 7, 4);
    const double fraction = b[3] / 256.0 + b[2] / 65536.0 + b[1] / 16777216.0 + b[0] / 4294967296.0;
    const std::optional<double> rounded = ToDouble(FormatNumber((whole + fraction) * 100 / 30.48, ".0"));
    if (!rounded) return false;
    feet = *rounded;
    return true;
}

bool ComIpc::LinkReady() {
    if (!link_.SimRunning || !link_.IpcLinked) return false;
    uint8_t b[2] = {};
    int r = 0;
    if (!link_.IpcQueueRead(kOffWeatherReady, kWeatherReadySize, b, r) || !link_.IpcProcess(r)) return false;
    return uint32_t(BytesToNumber(b, 1, 0) & 0xFFFF) == kWeatherReadyWord;
}

bool ComIpc::SaveWeather() {
    bool all = true;
    for (int b = 0; b < kWeatherBlocks; ++b) {
        std::vector<uint8_t> block(kWeatherBlockSizes[b], 0);
        int r = 0;
        if (link_.IpcQueueRead(kWeatherReadOffsets[b], kWeatherBlockSizes[b], block.data(), r) &&
            link_.IpcProcess(r)) {
            SavedWeather[b] = std::move(block);
            savedOk_[b] = true;
        } else {
            savedOk_[b] = false;
            all = false;
        }
    }
    return all;
}

void ComIpc::ClearWeather() {
    int r = 0;
    if (link_.IpcQueueWrite(kOffClearWeather, 0, nullptr, r)) link_.IpcProcess(r);
}

void ComIpc::RestoreWeather() {
    const Fsuipc::PutBack back(link_);
    for (int b = 0; b < kWeatherBlocks; ++b) {
        // A block that could not be read is not written: writing stale bytes
        // would replace the simulator's weather with something else.
        if (!savedOk_[b]) continue;
        int r = 0;
        if (link_.IpcQueueWrite(kWeatherWriteOffsets[b], kWeatherBlockSizes[b], SavedWeather[b].data(), r))
            link_.IpcProcess(r);
    }
}

int ComIpc::ReadLayers() {
    Layers.Clear();
    layersRead_ = false;
    std::vector<uint8_t> table(kLayerTableSize, 0);
    int r = 0;
    if (!link_.IpcQueueRead(kWeatherReadOffsets[kLayerBlock], kLayerTableSize, table.data(), r) ||
        !link_.IpcProcess(r))
        return 0;
    layersRead_ = true;
    RecordsToLayers(DecodeLayerTable(table.data()), Layers);
    return int(Layers.Count());
}

bool ComIpc::WriteLayers() {
    std::vector<uint8_t> table(kLayerTableSize);
    EncodeLayerTable(LayersToRecords(Layers), table.data());
    int r = 0;
    return link_.IpcQueueWrite(kWeatherWriteOffsets[kLayerBlock], kLayerTableSize, table.data(), r) &&
           link_.IpcProcess(r);
}

}  // namespace vm
