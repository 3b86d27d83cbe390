// An in-process IpcTransport: windows, atoms and mappings kept in memory,
// every message handed straight to a SimServer. Time passes through the
// Clock port, so a fake clock makes time-outs and delays instant. Platform
// failures can be switched on one by one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/ports.h"
#include "sim/ipc_transport.h"
#include "fakesim/sim_server.h"

namespace vm {

class IpcLoopback : public IpcTransport {
public:
    static constexpr Handle kServerWindow = 0x1001;  // "UIPCMAIN"
    static constexpr Handle kSimWindow = 0x1002;     // "FS98MAIN"
    static constexpr uint32_t kMessageId = 0xC0DE;
    static constexpr uint32_t kErrorTimeout = 1460;

    IpcLoopback(SimServer& server, Clock& clock);

    // Platform failures.
    bool simRunning = true;         // false: neither window exists
    bool failRegister = false;
    bool failAtom = false;
    bool failMapping = false;
    bool mappingExists = false;     // a mapping of the name is already there
    bool failView = false;
    int failSends = 0;              // the next n sends fail with `sendError`
    uint32_t sendError = 0;         // GetLastError after a failed send
    uint32_t processId = 0x2A5C;

    // What was done.
    int sends = 0;
    int OpenAtoms() const { return int(atoms_.size()); }
    int OpenMappings() const { return int(mappingHandles_.size()); }
    int OpenViews() const { return int(views_.size()); }
    std::string LastMappingName() const { return lastName_; }

    Handle FindServerWindow(const std::string& className) override;
    uint32_t RegisterMessage(const std::string& name) override;
    uint32_t ProcessId() override { return processId; }
    uint16_t AddAtom(const std::string& name) override;
    void DeleteAtom(uint16_t atom) override;
    Handle CreateMapping(const std::string& name, uint32_t size, uint32_t& lastError) override;
    uint8_t* MapView(Handle mapping) override;
    void UnmapView(uint8_t* view) override;
    void CloseMapping(Handle mapping) override;
    bool Send(Handle window, uint32_t message, uint16_t atom, unsigned timeoutMs, uintptr_t& answer,
              uint32_t& lastError) override;

private:
    using Memory = std::shared_ptr<std::vector<uint8_t>>;
    SimServer& server_;
    Clock& clock_;
    std::map<uint16_t, std::string> atoms_;
    uint16_t nextAtom_ = 0xC001;
    std::map<std::string, std::weak_ptr<std::vector<uint8_t>>> names_;
    std::map<Handle, Memory> mappingHandles_;
    Handle nextMapping_ = 0x40;
    std::map<uint8_t*, Memory> views_;
    std::string lastName_;
};

}  // namespace vm
