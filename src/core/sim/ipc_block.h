// The shared request block of the IPC link: its size limits, the read and
// write request headers, the mapping name, and a bounds-checked parser that
// both the client and the server walk with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/protocol.h"

namespace vm {

inline uint32_t GetLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutLe32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint16_t GetLe16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline void PutLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// "FSASMLIB:IPC:<pid>:<counter>", both numbers in upper-case hex without
// leading zeros. At most 23 characters, so it fits the fixed 24-character
// field with its NUL.
std::string IpcMappingName(uint32_t processId, uint32_t counter);

// One request as laid in the block.
struct IpcRequest {
    enum Kind { End, Read, Write, Bad } kind = End;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t token = 0;  // reads only
    size_t data = 0;     // position of the data area in the block
    size_t next = 0;     // position of the following request
};

// Parses the request at `pos` of a block of `blockSize` bytes. Only the low
// 16 bits of the identifier count. Bad when the identifier is unknown, or
// when the header or its data area would reach past the block.
IpcRequest ParseIpcRequest(const uint8_t* block, size_t blockSize, size_t pos);

// Where the data of a queued read goes: the destination token of a read is
// its 1-based index in the client's table; 0 means no destination.
struct IpcPending {
    uint8_t* dest = nullptr;
    uint32_t size = 0;  // bytes queued for this destination
};

// Delivers the read data of an answered block. Copies at most the size that
// was queued for a destination. False when the block holds a request that
// cannot be parsed or a token that is not in the table.
bool DeliverIpcAnswer(const uint8_t* block, size_t blockSize, const std::vector<IpcPending>& pending);

}  // namespace vm
