// The stand-in simulator's server core: its options, its offset space and
// its handling of request blocks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/ipc_block.h"
#include "fakesim/sim_server.h"

namespace vm {
namespace {

// Lays requests into a block the way a client does.
struct BlockWriter {
    std::vector<uint8_t> block = std::vector<uint8_t>(kIpcMapSize, 0);
    size_t pos = 0;
    size_t Read(uint32_t offset, uint32_t size) {
        PutLe32(&block[pos], 1);
        PutLe32(&block[pos + 4], offset);
        PutLe32(&block[pos + 8], size);
        const size_t data = pos + 16;
        pos = data + size;
        return data;
    }
    void Write(uint32_t offset, std::vector<uint8_t> bytes) {
        PutLe32(&block[pos], 2);
        PutLe32(&block[pos + 4], offset);
        PutLe32(&block[pos + 8], uint32_t(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), block.begin() + long(pos) + 12);
        pos += 12 + bytes.size();
    }
};

TEST(SimOptions, ParsesEveryKey) {
    SimOptions o;
    std::string error;
    for (const char* opt : {"version=0x19980005", "/simcode=2", "-fs98only", "notready", "layers=9:3:1000:2000,8:5:300:600:50",
                            "alt=0:100,10:1100", "answer=7", "delay=25", "corrupt=id", "log=Z:\\tmp\\sim.log",
                            "state=Z:\\tmp\\sim.state"})
        ASSERT_TRUE(ParseSimOption(opt, o, error)) << opt << ": " << error;
    EXPECT_EQ(o.version, 0x19980005u);
    EXPECT_EQ(o.simCode, 2);
    EXPECT_TRUE(o.fs98Only);
    EXPECT_FALSE(o.ready);
    ASSERT_EQ(o.layers.size(), 2u);
    EXPECT_EQ(o.layers[0].type, 9);
    EXPECT_EQ(o.layers[0].coverage, 3);
    EXPECT_EQ(o.layers[0].base, 1000);
    EXPECT_EQ(o.layers[0].top, 2000);
    EXPECT_EQ(o.layers[1].deviation, 50);
    ASSERT_EQ(o.altitude.size(), 2u);
    EXPECT_EQ(o.altitude[1].ms, 10000u);
    EXPECT_EQ(o.answer, 7u);
    EXPECT_EQ(o.delayMs, 25u);
    EXPECT_TRUE(o.corruptId);
    EXPECT_FALSE(o.corruptSize);
    EXPECT_EQ(o.logPath, "Z:\\tmp\\sim.log");
    EXPECT_EQ(o.statePath, "Z:\\tmp\\sim.state");
    ASSERT_TRUE(ParseSimIni("[fakesim]\r\n; comment\r\n\r\nsimcode = 3\r\n", o, error)) << error;
    EXPECT_EQ(o.simCode, 3);
}

TEST(SimOptions, RefusesBadValues) {
    for (const char* opt : {"colour=red", "version=abc", "simcode=70000", "layers=9:3:1000", "layers=9:300:1:2",
                            "layers=9:3:40000:2", "alt=5:10,2:20", "delay=-1", "corrupt=both", "fs98only=maybe"}) {
        SimOptions o;
        std::string error;
        EXPECT_FALSE(ParseSimOption(opt, o, error)) << opt;
        EXPECT_FALSE(error.empty()) << opt;
    }
}

TEST(SimServer, AltitudeFollowsThePathInFixedPoint) {
    SimOptions o;
    o.altitude = {{1000, 100}, {3000, 300.5}};
    SimServer s(o);
    EXPECT_DOUBLE_EQ(s.AltitudeAt(0), 100);
    EXPECT_DOUBLE_EQ(s.AltitudeAt(2000), 200.25);
    EXPECT_DOUBLE_EQ(s.AltitudeAt(9000), 300.5);

    BlockWriter w;
    const size_t at = w.Read(kOffAltitude, 8);
    ASSERT_EQ(s.Handle(w.block.data(), w.block.size(), 3000), 1u);
    EXPECT_EQ(GetLe32(&w.block[at + 4]), 300u);
    EXPECT_EQ(GetLe32(&w.block[at]), 0x80000000u);

    uint8_t negative[8];
    EncodeAltitude(-1.25, negative);
    EXPECT_EQ(int32_t(GetLe32(negative + 4)), -2);
    EXPECT_EQ(GetLe32(negative), 0xC0000000u);
}

TEST(SimServer, OtherOffsetsKeepWhatWasWritten) {
    SimServer s;
    BlockWriter w;
    w.Write(0x0BC0, {1, 2, 3});
    const size_t at = w.Read(0x0BBF, 5);
    ASSERT_EQ(s.Handle(w.block.data(), w.block.size(), 0), 1u);
    EXPECT_EQ(std::vector<uint8_t>(&w.block[at], &w.block[at + 5]), (std::vector<uint8_t>{0, 1, 2, 3, 0}));
}

TEST(SimServer, MalformedBlockIsRefused) {
    SimServer s;
    BlockWriter w;
    w.Read(0x3304, 4);
    PutLe32(&w.block[w.pos], 9);  // unknown identifier
    EXPECT_EQ(s.Handle(w.block.data(), w.block.size(), 0), 0u);
    BlockWriter big;
    PutLe32(&big.block[0], 1);
    PutLe32(&big.block[8], kIpcMapSize);  // data area past the block
    EXPECT_EQ(s.Handle(big.block.data(), big.block.size(), 0), 0u);
}

TEST(LayerTable, FullTableHasNoEndMarkerAndReadsBackWhole) {
    std::vector<uint8_t> table(kLayerTableSize);
    EncodeLayerTable(std::vector<LayerRecord>(300), table.data());  // more than fit
    EXPECT_EQ(DecodeLayerTable(table.data()).size(), kLayerRecords);
    EXPECT_EQ(table[2], 255);  // 255 records follow the first
    EXPECT_EQ(table[3], 0);
}

}  // namespace
}  // namespace vm
