#include "fakesim/sim_server.h"

#include <cmath>
#include <cstring>

#include "sim/ipc_block.h"

namespace vm {

void EncodeAltitude(double metres, uint8_t* out) {
    if (!(metres > -2147483648.0)) metres = -2147483648.0;  // also NaN
    if (metres > 2147483647.0) metres = 2147483647.0;
    const double whole = std::floor(metres);
    const double fraction = metres - whole;
    PutLe32(out, uint32_t(fraction * 4294967296.0));
    PutLe32(out + 4, uint32_t(int32_t(whole)));
}

SimServer::SimServer(SimOptions options) : options_(std::move(options)) {
    for (int b = 0; b < kWeatherBlocks; ++b) {
        blocks_[b].assign(kWeatherBlockSizes[b], 0);
        // Recognisable contents for the blocks the program only saves and
        // writes back.
        if (b != kLayerBlock)
            for (size_t i = 0; i < blocks_[b].size(); ++i) blocks_[b][i] = uint8_t(0x10 * (b + 1) + i);
    }
    SetLayers(options_.layers);
}

std::vector<LayerRecord> SimServer::Layers() const { return DecodeLayerTable(blocks_[kLayerBlock].data()); }

void SimServer::SetLayers(const std::vector<LayerRecord>& layers) {
    EncodeLayerTable(layers, blocks_[kLayerBlock].data());
}

std::string SimServer::WeatherText() const {
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (const std::vector<uint8_t>& block : blocks_) {
        for (uint8_t b : block) {
            text += kHex[b >> 4];
            text += kHex[b & 15];
        }
        text += '\n';
    }
    return text;
}

double SimServer::AltitudeAt(uint32_t ms) const {
    const auto& path = options_.altitude;
    if (path.empty()) return 0;
    if (ms <= path.front().ms) return path.front().metres;
    for (size_t i = 1; i < path.size(); ++i) {
        if (ms <= path[i].ms) {
            const AltitudePoint& a = path[i - 1];
            const AltitudePoint& b = path[i];
            if (b.ms == a.ms) return b.metres;
            return a.metres + (b.metres - a.metres) * double(ms - a.ms) / double(b.ms - a.ms);
        }
    }
    return path.back().metres;
}

uint8_t SimServer::ByteAt(uint32_t addr, const uint8_t* altitude) const {
    if (addr >= kIpcVersionOffset && addr < kIpcVersionOffset + 4)
        return uint8_t(options_.version >> (8 * (addr - kIpcVersionOffset)));
    if (addr >= kIpcSimCodeOffset && addr < kIpcSimCodeOffset + 4) {
        const uint32_t word = kIpcFade << 16 | options_.simCode;
        return uint8_t(word >> (8 * (addr - kIpcSimCodeOffset)));
    }
    if (addr >= kOffAltitude && addr < kOffAltitude + kAltitudeSize) return altitude[addr - kOffAltitude];
    if (addr >= kOffWeatherReady && addr < kOffWeatherReady + kWeatherReadySize) {
        if (!options_.ready) return 0;
        return addr == kOffWeatherReady ? 0xDE : 0xFA;
    }
    for (int b = 0; b < kWeatherBlocks; ++b)
        if (addr >= kWeatherReadOffsets[b] && addr - kWeatherReadOffsets[b] < kWeatherBlockSizes[b])
            return blocks_[b][addr - kWeatherReadOffsets[b]];
    auto it = memory_.find(addr);
    return it == memory_.end() ? 0 : it->second;
}

void SimServer::Read(uint32_t offset, uint8_t* out, uint32_t size, uint32_t nowMs) const {
    uint8_t altitude[8];
    EncodeAltitude(AltitudeAt(nowMs), altitude);
    // The layer table is the one large read: copy it in one piece.
    if (offset == kWeatherReadOffsets[kLayerBlock] && size <= kLayerTableSize) {
        std::memcpy(out, blocks_[kLayerBlock].data(), size);
        return;
    }
    for (uint32_t i = 0; i < size; ++i) out[i] = ByteAt(offset + i, altitude);
}

void SimServer::Write(uint32_t offset, const uint8_t* data, uint32_t size, uint32_t nowMs) {
    if (offset == kOffClearWeather) {
        // Every layer goes until the blocks are written back.
        SetLayers({});
    } else if (offset == kIpcLibVersionOffset && size == 2) {
        libVersion_ = GetLe16(data);
    } else {
        for (uint32_t i = 0; i < size; ++i) {
            const uint32_t addr = offset + i;
            bool inBlock = false;
            for (int b = 0; b < kWeatherBlocks && !inBlock; ++b) {
                if (addr >= kWeatherWriteOffsets[b] && addr - kWeatherWriteOffsets[b] < kWeatherBlockSizes[b]) {
                    blocks_[b][addr - kWeatherWriteOffsets[b]] = data[i];
                    inBlock = true;
                }
            }
            if (!inBlock) memory_[addr] = data[i];
        }
    }
    writes_.push_back({nowMs, offset, std::vector<uint8_t>(data, data + size)});
    if (onWrite) onWrite(writes_.back());
}

uint32_t SimServer::Handle(uint8_t* block, size_t size, uint32_t nowMs) {
    ++exchanges_;
    size_t pos = 0;
    for (;;) {
        const IpcRequest r = ParseIpcRequest(block, size, pos);
        if (r.kind == IpcRequest::End) break;
        if (r.kind == IpcRequest::Bad) return 0;
        if (r.kind == IpcRequest::Read)
            Read(r.offset, block + r.data, r.size, nowMs);
        else
            Write(r.offset, block + r.data, r.size, nowMs);
        pos = r.next;
    }
    if (pos != 0) {
        if (options_.corruptSize) PutLe32(block + 8, 0xFFFFFF00u);
        if (options_.corruptId) PutLe32(block, 0x77);
    }
    return options_.answer;
}

}  // namespace vm
