// Reading arbitrary cloud-layer tables: the bounds hold for every layer, and
// writing the layers back gives a table that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fakes.h"
#include "fakesim/ipc_loopback.h"
#include "sim/weather.h"

namespace {
void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckBounds(const vm::LayerLists& l) {
    for (const auto& list : l.list) Check(list.size() == l.Count());
    Check(l.Count() <= vm::kLayerRecords);
    for (size_t i = 0; i < l.Count(); ++i) {
        Check(l.At(vm::kLayerTop, i) <= vm::kMaxTopFeet);
        Check(l.At(vm::kLayerBase, i) >= 1);
        Check(l.At(vm::kLayerDeviation, i) <= vm::kMaxDeviationFeet);
        Check(l.At(vm::kLayerPrecBase, i) <= l.At(vm::kLayerBase, i) - 1);
        Check(l.At(vm::kLayerCoverage, i) >= 0 && l.At(vm::kLayerCoverage, i) <= 255);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vm::FakeClock clock;
    vm::CountingPump pump;
    vm::SimServer server;
    std::memcpy(server.LayerTable(), data, size < vm::kLayerTableSize ? size : vm::kLayerTableSize);
    vm::IpcLoopback transport(server, clock);
    vm::Fsuipc link(transport, clock, pump);
    link.SimRunning = true;
    link.IpcConnect();
    Check(link.IpcLinked);
    vm::ComIpc weather(link);

    const int n = weather.ReadLayers();
    Check(n >= 0 && size_t(n) == weather.Layers.Count());
    CheckBounds(weather.Layers);

    const vm::LayerLists first = weather.Layers;
    Check(weather.WriteLayers());
    Check(weather.ReadLayers() == n);
    CheckBounds(weather.Layers);
    for (int l : {vm::kLayerType, vm::kLayerCoverage, vm::kLayerTurbulence, vm::kLayerIcing, vm::kLayerPrecType,
                  vm::kLayerPrecRate})
        Check(weather.Layers.list[l] == first.list[l]);
    return 0;
}
