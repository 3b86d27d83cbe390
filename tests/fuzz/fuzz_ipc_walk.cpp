// The client's walk over an answered block: whatever the server leaves in
// the shared memory, no read reaches past the block and no destination gets
// more than was queued for it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fakes.h"
#include "sim/fsuipc.h"

namespace {

// A transport whose server answers 1 after writing the fuzz bytes over the block.
class FuzzTransport : public vm::IpcTransport {
public:
    const uint8_t* data = nullptr;
    size_t size = 0;
    uint8_t* view = nullptr;
    std::vector<uint8_t> memory = std::vector<uint8_t>(vm::kIpcMapSize);

    Handle FindServerWindow(const std::string&) override { return 1; }
    uint32_t RegisterMessage(const std::string&) override { return 0xC000; }
    uint32_t ProcessId() override { return 1; }
    uint16_t AddAtom(const std::string&) override { return 0xC001; }
    void DeleteAtom(uint16_t) override {}
    Handle CreateMapping(const std::string&, uint32_t, uint32_t& lastError) override {
        lastError = 0;
        return 2;
    }
    uint8_t* MapView(Handle) override { return view = memory.data(); }
    void UnmapView(uint8_t*) override { view = nullptr; }
    void CloseMapping(Handle) override {}
    bool Send(Handle, uint32_t, uint16_t, unsigned, uintptr_t& answer, uint32_t& lastError) override {
        lastError = 0;
        if (!data) {  // the open: a plausible server
            for (size_t pos = 0;;) {
                vm::IpcRequest r = vm::ParseIpcRequest(view, vm::kIpcMapSize, pos);
                if (r.kind != vm::IpcRequest::Read && r.kind != vm::IpcRequest::Write) break;
                if (r.kind == vm::IpcRequest::Read && r.offset == vm::kIpcVersionOffset) vm::PutLe32(view + r.data, 0x39990000);
                if (r.kind == vm::IpcRequest::Read && r.offset == vm::kIpcSimCodeOffset) vm::PutLe32(view + r.data, 0xFADE0006);
                pos = r.next;
            }
        } else {
            std::memcpy(view, data, size < vm::kIpcMapSize ? size : vm::kIpcMapSize);
        }
        answer = 1;
        return true;
    }
};

constexpr uint8_t kGuard = 0xA5;

// A destination of `n` bytes with guard bytes on both sides.
struct Guarded {
    std::vector<uint8_t> bytes;
    explicit Guarded(size_t n) : bytes(n + 32, kGuard) {}
    uint8_t* dest() { return bytes.data() + 16; }
    bool Intact(size_t n) const {
        for (size_t i = 0; i < 16; ++i)
            if (bytes[i] != kGuard || bytes[16 + n + i] != kGuard) return false;
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vm::FakeClock clock;
    vm::CountingPump pump;
    FuzzTransport transport;
    vm::Fsuipc link(transport, clock, pump);
    int r = 0;
    if (!link.IpcOpen(0, r)) __builtin_trap();

    Guarded a(8), b(4), c(6144);
    const uint8_t bytes[3] = {1, 2, 3};
    link.IpcQueueRead(0x0570, 8, a.dest(), r);
    link.IpcQueueWrite(0x0BC0, 3, bytes, r);
    link.IpcQueueRead(0x3304, 0, b.dest(), r);
    link.IpcQueueRead(0x3304, 4, nullptr, r);
    link.IpcQueueRead(0x540000, 6144, c.dest(), r);
    transport.data = data;
    transport.size = size;
    const bool ok = link.IpcProcess(r);
    if (!a.Intact(8) || !b.Intact(0) || !c.Intact(6144)) __builtin_trap();
    if (ok != (r == vm::kIpcOk) || (!ok && r != vm::kIpcBadData)) __builtin_trap();
    if (link.Queued() != 0) __builtin_trap();
    return 0;
}
