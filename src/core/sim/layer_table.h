// The simulator's cloud-layer table: 256 records of 24 bytes, heights in
// whole metres, little-endian. A table ends before the first record whose
// length byte is 0 or whose bytes 2 and 3 are both 255.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vm {

constexpr size_t kLayerRecordSize = 24;
constexpr size_t kLayerRecords = 256;
constexpr size_t kLayerTableSize = kLayerRecordSize * kLayerRecords;  // 6144

struct LayerRecord {
    uint8_t type = 0;      // 1 cirrus, 8 stratus, 9 cumulus, 10 thunderstorm
    uint8_t coverage = 0;  // eighths
    int16_t top = 0;       // metres
    int16_t base = 0;
    int16_t deviation = 0;
    uint8_t turbulence = 0;
    uint8_t icing = 0;
    int16_t precBase = 0;  // metres
    uint8_t precType = 0;
    uint8_t precRate = 0;

    bool operator==(const LayerRecord&) const = default;
};

// The layers of a table of kLayerTableSize bytes, in table order.
std::vector<LayerRecord> DecodeLayerTable(const uint8_t* table);
// Fills a table of kLayerTableSize bytes: zeroes it, lays the records with
// their length byte and the count of records that follow, then the end
// marker in the record after the last one when there is room. Records past
// the 256th are not laid.
void EncodeLayerTable(const std::vector<LayerRecord>& layers, uint8_t* table);

}  // namespace vm
