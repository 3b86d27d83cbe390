// The IPC protocol between the program and the simulator's IPC module: the
// shared block's limits and request layout, the window classes and message
// name, and the simulator offsets the program reads and writes. The client
// and the stand-in simulator both take their constants from here.
#pragma once

#include <cstdint>

namespace vm {

// Windows and message.
constexpr char kIpcMessageName[] = "FSASMLIB:IPC";
constexpr char kIpcServerClass[] = "UIPCMAIN";
constexpr char kSimWindowClass[] = "FS98MAIN";
constexpr unsigned kIpcTimeoutMs = 2000;

// The shared block and its requests.
constexpr uint32_t kIpcMapSize = 0x8000;     // bytes of the shared mapping
constexpr uint32_t kIpcMaxQueued = 0x7F00;   // requests plus the terminator
constexpr uint32_t kIpcReadId = 1;
constexpr uint32_t kIpcWriteId = 2;
constexpr uint32_t kIpcReadHeader = 16;      // id, offset, size, destination token
constexpr uint32_t kIpcWriteHeader = 12;     // id, offset, size
constexpr uint32_t kIpcTerminator = 4;

// The module's own offsets.
constexpr uint32_t kIpcVersionOffset = 0x3304;     // 4 bytes, version word
constexpr uint32_t kIpcSimCodeOffset = 0x3308;     // 4 bytes, 0xFADE << 16 | simulator code
constexpr uint32_t kIpcLibVersionOffset = 0x330A;  // 2 bytes written by the client
constexpr int32_t kIpcLowestVersion = 0x19980005;
constexpr uint32_t kIpcFade = 0xFADE;

// Aircraft and weather offsets.
constexpr uint32_t kOffAltitude = 0x0570;      // 8 bytes, metres in 32.32 fixed point
constexpr uint32_t kAltitudeSize = 8;
constexpr uint32_t kOffWeatherReady = 0x04D6;  // 2 bytes, 0xFADE when ready
constexpr uint32_t kWeatherReadySize = 2;
constexpr uint32_t kOffClearWeather = 0x550000;  // header-only write
constexpr int kWeatherBlocks = 5;
constexpr uint32_t kWeatherReadOffsets[kWeatherBlocks] = {0x140000, 0x240000, 0x340000, 0x440000, 0x540000};
constexpr uint32_t kWeatherWriteOffsets[kWeatherBlocks] = {0x160000, 0x260000, 0x360000, 0x460000, 0x560000};
constexpr uint32_t kWeatherBlockSizes[kWeatherBlocks] = {10, 8, 12, 16, 6144};
constexpr int kLayerBlock = 4;  // index of the cloud-layer table among the blocks

}  // namespace vm
