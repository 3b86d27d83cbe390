// Weather over the link: number helpers, layer conversions and bounds,
// altitude, readiness, and save/clear/restore against the in-process server.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/weather.h"

namespace vm {
namespace {

struct WeatherRig {
    FakeClock clock;
    CountingPump pump;
    SimServer server;
    IpcLoopback transport{server, clock};
    Fsuipc link{transport, clock, pump};
    ComIpc weather{link};

    WeatherRig() {
        link.SimRunning = true;
        link.IpcConnect();
        EXPECT_TRUE(link.IpcLinked);
        server.ClearWrites();
    }
};

LayerRecord Record(uint8_t type, uint8_t coverage, int16_t base, int16_t top) {
    LayerRecord r;
    r.type = type;
    r.coverage = coverage;
    r.base = base;
    r.top = top;
    return r;
}

TEST(WeatherNumbers, WholePartCutsTowardZeroWithinLongRange) {
    const struct {
        double in;
        int32_t out;
    } cases[] = {
        {1234.9, 1234},        {-5.5, -5},           {0.5, 0},          {-0.5, 0},
        {2147483647.4, 2147483647}, {2147483647.5, 0}, {-2147483648.5, -2147483648}, {-2147483649.0, 0},
        {1e20, 0},             {NAN, 0},             {0.000015, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(WholePart(c.in), c.out) << c.in;
}

TEST(WeatherNumbers, BytesToNumberReadsLittleEndianWithTheWidthsSign) {
    const uint8_t b[4] = {0xFE, 0xFF, 0xFF, 0x80};
    EXPECT_EQ(BytesToNumber(b, 0, 0), 254);
    EXPECT_EQ(BytesToNumber(b, 1, 0), -2);
    EXPECT_EQ(BytesToNumber(b, 2, 0), 0xFFFFFE);
    EXPECT_EQ(BytesToNumber(b, 3, 0), int32_t(0x80FFFFFE));
    EXPECT_EQ(BytesToNumber(b, 0, 1), 0);  // empty range
}

TEST(WeatherNumbers, CloudTypeCodes) {
    EXPECT_EQ(CloudTypeCode("Cirrus"), 1);
    EXPECT_EQ(CloudTypeCode("STRATUS"), 8);
    EXPECT_EQ(CloudTypeCode("cumulus"), 9);
    EXPECT_EQ(CloudTypeCode("Thunder"), 10);
    EXPECT_EQ(CloudTypeCode("Smoke"), 0);
}

TEST(WeatherLayers, ReadingAppliesTheBounds) {
    WeatherRig rig;
    LayerRecord a = Record(9, 3, 0, 32000);
    a.deviation = 700;   // 2296 ft
    a.precBase = 500;    // above the base
    LayerRecord b = Record(8, 5, 1000, 1200);
    b.deviation = 100;
    b.precBase = 900;    // 2952 ft, below the base
    b.turbulence = 3;
    b.icing = 2;
    b.precType = 1;
    b.precRate = 4;
    LayerRecord c = Record(1, 2, -100, 8000);
    rig.server.SetLayers({a, b, c});

    ASSERT_EQ(rig.weather.ReadLayers(), 3);
    const LayerLists& l = rig.weather.Layers;
    EXPECT_EQ(l.list[kLayerType], (std::vector<int32_t>{9, 8, 1}));
    EXPECT_EQ(l.list[kLayerCoverage], (std::vector<int32_t>{3, 5, 2}));
    EXPECT_EQ(l.list[kLayerTop], (std::vector<int32_t>{100000, 3937, 26246}));
    EXPECT_EQ(l.list[kLayerBase], (std::vector<int32_t>{1, 3280, 1}));
    EXPECT_EQ(l.list[kLayerDeviation], (std::vector<int32_t>{2000, 328, 0}));
    EXPECT_EQ(l.list[kLayerPrecBase], (std::vector<int32_t>{0, 2952, 0}));
    EXPECT_EQ(l.list[kLayerTurbulence][1], 3);
    EXPECT_EQ(l.list[kLayerIcing][1], 2);
    EXPECT_EQ(l.list[kLayerPrecType][1], 1);
    EXPECT_EQ(l.list[kLayerPrecRate][1], 4);
}

TEST(WeatherLayers, TableEndsAtAnEmptyRecordOrTheEndMarker) {
    WeatherRig rig;
    rig.server.SetLayers({Record(9, 3, 100, 200), Record(9, 4, 300, 400)});
    uint8_t* t = rig.server.LayerTable();
    t[24] = 0;  // second record empty
    EXPECT_EQ(rig.weather.ReadLayers(), 1);
    t[0] = 0;
    EXPECT_EQ(rig.weather.ReadLayers(), 0);
    EXPECT_EQ(rig.weather.Layers.Count(), 0u);
    for (auto& list : rig.weather.Layers.list) EXPECT_TRUE(list.empty());
}

LayerLists OneLayer(int32_t baseFeet, int32_t deviationFeet, int32_t precBaseFeet) {
    LayerLists l;
    const int32_t values[10] = {9, 4, 6000, baseFeet, deviationFeet, 1, 2, precBaseFeet, 1, 3};
    for (int i = 0; i < 10; ++i) l.list[i].push_back(values[i]);
    return l;
}

TEST(WeatherLayers, WritingRoundsToMetresWithTheDeviationAndPrecipitationRules) {
    const struct {
        int32_t base, dev, prec;
        int16_t baseM, devM, precM;
    } cases[] = {
        {3280, 2000, 0, 1000, 609, 0},     // 610 m would read back above 2000 ft
        {3280, 1990, 0, 1000, 607, 0},
        {3280, 5000, 0, 1000, 609, 0},
        {1000, 0, 1000, 305, 0, 304},      // at the base: one metre lower
        {1000, 0, 998, 305, 0, 304},       // 304 m reads back as 997.4 ft, below base - 1: kept
        {1000, 0, 990, 305, 0, 302},
        {1000, 0, 1500, 305, 0, 456},      // above the base: 457.2 - 1 m
        {3280, 0, 3280, 1000, 0, 999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.base << " " << c.dev << " " << c.prec);
        const std::vector<LayerRecord> r = LayersToRecords(OneLayer(c.base, c.dev, c.prec));
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(r[0].base, c.baseM);
        EXPECT_EQ(r[0].deviation, c.devM);
        EXPECT_EQ(r[0].precBase, c.precM);
        EXPECT_EQ(r[0].top, 1829);
    }
}

TEST(WeatherLayers, WriteSendsTheTableWithCountsAndEndMarker) {
    WeatherRig rig;
    rig.weather.Layers = OneLayer(3280, 1990, 0);
    ASSERT_TRUE(rig.weather.WriteLayers());
    ASSERT_EQ(rig.server.Writes().size(), 1u);
    const SimWrite& w = rig.server.Writes()[0];
    EXPECT_EQ(w.offset, 0x560000u);
    ASSERT_EQ(w.data.size(), 6144u);
    const uint8_t* rec = w.data.data();
    EXPECT_EQ(rec[0], 24);
    EXPECT_EQ(rec[2], 0);
    EXPECT_EQ(GetLe16(rec + 4), 1829);
    EXPECT_EQ(GetLe16(rec + 6), 1000);
    EXPECT_EQ(GetLe16(rec + 8), 607);
    EXPECT_EQ(rec[10], 4);
    EXPECT_EQ(rec[12], 9);
    EXPECT_EQ(rec[14], 1);
    EXPECT_EQ(rec[16], 2);
    EXPECT_EQ(rec[20], 1);
    EXPECT_EQ(rec[22], 3);
    EXPECT_EQ(rec[24 + 2], 255);
    EXPECT_EQ(rec[24 + 3], 255);
    // Read back through the simulator, the layer is the same in feet.
    ASSERT_EQ(rig.weather.ReadLayers(), 1);
    EXPECT_EQ(rig.weather.Layers.list[kLayerBase][0], 3280);
    EXPECT_EQ(rig.weather.Layers.list[kLayerDeviation][0], 1991);
}

TEST(WeatherLayers, ShortListsAndTooManyLayersAreSafe) {
    LayerLists l;
    l.list[kLayerType] = std::vector<int32_t>(300, 9);  // other lists empty
    const std::vector<LayerRecord> r = LayersToRecords(l);
    ASSERT_EQ(r.size(), kLayerRecords);
    EXPECT_EQ(r[0].coverage, 0);
    EXPECT_EQ(r[0].type, 9);
    // Heights beyond the 16-bit range are held at its ends.
    LayerLists big = OneLayer(200000, 0, 0);
    EXPECT_EQ(LayersToRecords(big)[0].base, 32767);
}

TEST(WeatherAltitude, FeetToOneDecimalAndUntouchedOnFailure) {
    WeatherRig rig;
    rig.server.Options().altitude = {{0, 1000.5}};
    double feet = -1;
    ASSERT_TRUE(rig.weather.ReadAltitude(feet));
    EXPECT_DOUBLE_EQ(feet, 3282.5);  // 3282.48...
    rig.server.Options().altitude = {{0, -10.25}};
    ASSERT_TRUE(rig.weather.ReadAltitude(feet));
    EXPECT_DOUBLE_EQ(feet, -33.6);
    rig.server.Options().answer = 0;
    EXPECT_FALSE(rig.weather.ReadAltitude(feet));
    EXPECT_DOUBLE_EQ(feet, -33.6);
    rig.link.IpcClose();
    EXPECT_FALSE(rig.weather.ReadAltitude(feet));
}

TEST(WeatherLink, ReadyOnlyWithTheFlagAndAnAcceptedLink) {
    WeatherRig rig;
    EXPECT_TRUE(rig.weather.LinkReady());
    rig.server.Options().ready = false;
    EXPECT_FALSE(rig.weather.LinkReady());
    rig.server.Options().ready = true;
    const int exchanges = rig.server.Exchanges();
    rig.link.SimRunning = false;
    EXPECT_FALSE(rig.weather.LinkReady());
    rig.link.SimRunning = true;
    rig.link.IpcLinked = false;
    EXPECT_FALSE(rig.weather.LinkReady());
    EXPECT_EQ(rig.server.Exchanges(), exchanges);
}

TEST(WeatherSave, ClearThenRestoreBringsEveryBlockBack) {
    WeatherRig rig;
    const std::vector<LayerRecord> layers = {Record(9, 3, 1000, 2000), Record(1, 2, 8000, 8500)};
    rig.server.SetLayers(layers);
    std::vector<std::vector<uint8_t>> before;
    for (int b = 0; b < kWeatherBlocks; ++b) before.push_back(rig.server.Block(b));

    rig.weather.SaveWeather();
    rig.weather.ClearWeather();
    EXPECT_TRUE(rig.server.Layers().empty());
    rig.weather.RestoreWeather();
    EXPECT_EQ(rig.server.Layers(), layers);
    for (int b = 0; b < kWeatherBlocks; ++b) EXPECT_EQ(rig.server.Block(b), before[b]) << b;

    std::vector<uint32_t> offsets;
    for (const SimWrite& w : rig.server.Writes()) offsets.push_back(w.offset);
    EXPECT_EQ(offsets, (std::vector<uint32_t>{0x550000, 0x160000, 0x260000, 0x360000, 0x460000, 0x560000}));
}

TEST(WeatherSave, BlocksThatCouldNotBeSavedAreNotWrittenBack) {
    WeatherRig rig;
    rig.server.SetLayers({Record(9, 3, 1000, 2000)});
    rig.weather.SaveWeather();           // a good save first
    rig.server.SetLayers({Record(8, 6, 300, 600)});
    rig.server.Options().answer = 0;    // then one that fails
    rig.weather.SaveWeather();
    rig.server.Options().answer = 1;
    rig.server.ClearWrites();
    rig.weather.RestoreWeather();
    EXPECT_TRUE(rig.server.Writes().empty());
    EXPECT_EQ(rig.server.Layers(), (std::vector<LayerRecord>{Record(8, 6, 300, 600)}));
}

}  // namespace
}  // namespace vm
