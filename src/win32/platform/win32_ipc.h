// The IPC transport over the Win32 calls: window search, registered
// message, global atom, paging-file mapping and the blocking send.
#pragma once

#include <windows.h>

#include "common/ports.h"
#include "sim/ipc_transport.h"

namespace vm {

// The send is made from a worker thread while this thread lets messages
// run through `pump` (every 50 ms at the latest): a simulator that does not
// answer holds the exchange, never the window. Without a pump the send is
// made here and blocks, as the plain call does.
class Win32IpcTransport : public IpcTransport {
public:
    explicit Win32IpcTransport(Pump* pump = nullptr) : pump_(pump) {}
    Handle FindServerWindow(const std::string& className) override;
    uint32_t RegisterMessage(const std::string& name) override;
    uint32_t ProcessId() override;
    uint16_t AddAtom(const std::string& name) override;
    void DeleteAtom(uint16_t atom) override;
    Handle CreateMapping(const std::string& name, uint32_t size, uint32_t& lastError) override;
    uint8_t* MapView(Handle mapping) override;
    void UnmapView(uint8_t* view) override;
    void CloseMapping(Handle mapping) override;
    bool Send(Handle window, uint32_t message, uint16_t atom, unsigned timeoutMs, uintptr_t& answer,
              uint32_t& lastError) override;

private:
    Pump* pump_;
};

}  // namespace vm
