#include "sim/layer_table.h"

#include <algorithm>
#include <cstring>

#include "sim/ipc_block.h"

namespace vm {

std::vector<LayerRecord> DecodeLayerTable(const uint8_t* table) {
    std::vector<LayerRecord> out;
    for (size_t r = 0; r < kLayerRecords; ++r) {
        const uint8_t* p = table + r * kLayerRecordSize;
        if (p[0] == 0 || (p[2] == 255 && p[3] == 255)) break;
        LayerRecord l;
        l.top = int16_t(GetLe16(p + 4));
        l.base = int16_t(GetLe16(p + 6));
        l.deviation = int16_t(GetLe16(p + 8));
        l.coverage = p[10];
        l.type = p[12];
        l.turbulence = p[14];
        l.icing = p[16];
        l.precBase = int16_t(GetLe16(p + 18));
        l.precType = p[20];
        l.precRate = p[22];
        out.push_back(l);
    }
    return out;
}

void EncodeLayerTable(const std::vector<LayerRecord>& layers, uint8_t* table) {
    std::memset(table, 0, kLayerTableSize);
    const size_t n = std::min(layers.size(), kLayerRecords);
    for (size_t i = 0; i < n; ++i) {
        const LayerRecord& l = layers[i];
        uint8_t* p = table + i * kLayerRecordSize;
        p[0] = uint8_t(kLayerRecordSize);
        p[2] = uint8_t(n - 1 - i);
        PutLe16(p + 4, uint16_t(l.top));
        PutLe16(p + 6, uint16_t(l.base));
        PutLe16(p + 8, uint16_t(l.deviation));
        p[10] = l.coverage;
        p[12] = l.type;
        p[14] = l.turbulence;
        p[16] = l.icing;
        PutLe16(p + 18, uint16_t(l.precBase));
        p[20] = l.precType;
        p[22] = l.precRate;
    }
    if (n < kLayerRecords) {
        uint8_t* end = table + n * kLayerRecordSize;
        end[2] = 255;
        end[3] = 255;
    }
}

}  // namespace vm
