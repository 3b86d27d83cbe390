// The stand-in simulator's IPC server: an offset space with the version
// words, the altitude, the weather-link flag, the five weather blocks and the
// clear-weather command, and the handler that performs a request block. The
// same core runs inside fakesim.exe and, in-process, behind IpcLoopback.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/layer_table.h"
#include "sim/protocol.h"

namespace vm {

// A point of the altitude path: at `ms` after the start, `metres`.
// Between points the altitude moves linearly; outside them it holds.
struct AltitudePoint {
    uint32_t ms = 0;
    double metres = 0;
};

struct SimOptions {
    uint32_t version = 0x39990000;  // "3.999"
    uint16_t simCode = 6;           // FS2002
    bool fs98Only = false;          // no "UIPCMAIN" window: the WideClient path
    bool ready = true;              // weather link ready (0x04D6)
    std::vector<LayerRecord> layers;
    std::vector<AltitudePoint> altitude;
    // Faults.
    bool noAnswer = false;     // never answers in time
    uint32_t answer = 1;       // the answer given to an accepted block
    unsigned delayMs = 0;      // pause before each message is handled
    bool corruptSize = false;  // the first request's size is spoilt in the answer
    bool corruptId = false;    // the first request's identifier is spoilt in the answer
    // Files (fakesim only).
    std::string logPath;
    std::string statePath;  // the weather as it stands, rewritten after each exchange that wrote
};

// Reads one "key=value" option (or a bare switch) into `o`. Keys: version,
// simcode, fs98only, notready, layers, alt, noanswer, answer, delay, corrupt,
// log, state. False with a message for an unknown key or a bad value.
bool ParseSimOption(const std::string& option, SimOptions& o, std::string& error);
// The lines of a small ini text: "key=value" lines, blank lines, ";"
// comments and "[section]" lines (ignored).
bool ParseSimIni(const std::string& text, SimOptions& o, std::string& error);

struct SimWrite {
    uint32_t ms = 0;
    uint32_t offset = 0;
    std::vector<uint8_t> data;
};

class SimServer {
public:
    explicit SimServer(SimOptions options = {});

    SimOptions& Options() { return options_; }
    const SimOptions& Options() const { return options_; }

    // Performs every request of the block in order (reads fill their data
    // areas, writes apply) and gives the answer to return to the client:
    // the configured answer, or 0 when the block is malformed. Applies the
    // corruption faults to the answered block.
    uint32_t Handle(uint8_t* block, size_t size, uint32_t nowMs);

    // Every write received, in order.
    const std::vector<SimWrite>& Writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }
    // Called after each write is applied.
    std::function<void(const SimWrite&)> onWrite;

    std::vector<LayerRecord> Layers() const;
    void SetLayers(const std::vector<LayerRecord>& layers);
    // The raw cloud-layer table, kLayerTableSize bytes.
    uint8_t* LayerTable() { return blocks_[kLayerBlock].data(); }
    const std::vector<uint8_t>& Block(int i) const { return blocks_[i]; }
    // The five weather blocks in hex, one line each: two servers hold the
    // same weather when these texts are equal.
    std::string WeatherText() const;
    double AltitudeAt(uint32_t ms) const;
    uint16_t LibVersion() const { return libVersion_; }
    int Exchanges() const { return exchanges_; }

private:
    void Read(uint32_t offset, uint8_t* out, uint32_t size, uint32_t nowMs) const;
    void Write(uint32_t offset, const uint8_t* data, uint32_t size, uint32_t nowMs);
    uint8_t ByteAt(uint32_t addr, const uint8_t* altitude) const;

    SimOptions options_;
    std::array<std::vector<uint8_t>, kWeatherBlocks> blocks_;
    std::map<uint32_t, uint8_t> memory_;  // everything else written
    std::vector<SimWrite> writes_;
    uint16_t libVersion_ = 0xFFFF;
    int exchanges_ = 0;
};

// Altitude in metres as the 8 bytes of offset 0x0570.
void EncodeAltitude(double metres, uint8_t* out);

}  // namespace vm
