// The IPC client of the simulator link: opens the shared block with the
// server, queues read and write requests, hands them over in one exchange and
// delivers the answers. Also the connect procedure and the link flags that
// the rest of the program tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/operation_guard.h"
#include "common/ports.h"
#include "sim/ipc_block.h"
#include "sim/ipc_transport.h"
#include "sim/protocol.h"

namespace vm {

// Result codes of the link operations; 0 is success.
enum IpcResult : int {
    kIpcOk = 0,
    kIpcAlreadyOpen = 1,
    kIpcNoServer = 2,
    kIpcRegisterFailed = 3,
    kIpcAtomFailed = 4,
    kIpcMappingFailed = 5,
    kIpcViewFailed = 6,
    kIpcWrongVersion = 7,
    kIpcWrongSim = 8,
    kIpcNotOpen = 9,
    kIpcNothingQueued = 10,
    kIpcTimedOut = 11,
    kIpcSendFailed = 12,
    kIpcBadData = 13,
    kIpcWideClient = 14,
    kIpcFull = 15,
};

// The description of a result code; empty for codes outside 0..15.
std::string IpcResultText(int code);
// The name of a simulator code ("Any", "FS98", ... "FSYETANOTHER"); empty
// for unknown codes.
std::string SimCodeName(uint32_t code);

class Fsuipc {
public:
    Fsuipc(IpcTransport& transport, Clock& clock, Pump& pump);
    ~Fsuipc();
    Fsuipc(const Fsuipc&) = delete;
    Fsuipc& operator=(const Fsuipc&) = delete;

    // Forgets every handle without releasing it (used before each open).
    void IpcReset();
    // Opens the link. `requested` 0 accepts any simulator.
    bool IpcOpen(uint32_t requested, int& result);
    // Lays a read request; `dest` (may be null) receives `size` bytes when
    // IpcProcess succeeds, and must stay valid until then.
    bool IpcQueueRead(uint32_t offset, uint32_t size, void* dest, int& result);
    // Lays a write request, copying `size` bytes from `source` at once.
    bool IpcQueueWrite(uint32_t offset, uint32_t size, const void* source, int& result);
    // Sends everything queued in one exchange and delivers the read data.
    bool IpcProcess(int& result);
    // Releases everything and clears IpcLinked and IpcOpened.
    void IpcClose();
    // Opens with retries while the simulator runs; callers test IpcLinked.
    void IpcConnect();

    // Bytes laid since the last exchange (IpcNext - IpcView).
    uint32_t Queued() const { return next_; }
    // True when the last open found only the simulator's own window.
    bool ViaSimWindow() const { return viaSimWindow_; }
    // Result of the last open made by IpcConnect (not shown to the user).
    int LastConnectResult() const { return lastConnectResult_; }

    // While one lives, exchanges put the simulator's layers or weather back:
    // the program's end does not cut them short (they fail only when the
    // link is gone).
    class PutBack {
    public:
        explicit PutBack(Fsuipc& link) : link_(link), was_(link.putBack_) { link_.putBack_ = true; }
        ~PutBack() { link_.putBack_ = was_; }
        PutBack(const PutBack&) = delete;
        PutBack& operator=(const PutBack&) = delete;

    private:
        Fsuipc& link_;
        bool was_;
    };

    // Link state.
    IpcTransport::Handle IpcServerWindow = 0;
    uint32_t IpcMessage = 0;
    uint16_t IpcAtom = 0;
    IpcTransport::Handle IpcMapping = 0;
    uint8_t* IpcView = nullptr;
    uint32_t IpcVersion = 0;
    uint32_t IpcSimCode = 0;
    uint16_t IpcLibVersion = 0;
    bool SimRunning = false;
    bool IpcOpened = false;
    bool IpcLinked = false;

private:
    bool Fail(int code, int& result);
    // The program's end was asked (and this is no put-back), or the
    // connect's time would run out before another send could end.
    bool OutOfTime() const;

    IpcTransport& transport_;
    Clock& clock_;
    Pump& pump_;
    uint32_t next_ = 0;
    uint32_t counter_ = 0;
    bool viaSimWindow_ = false;
    int lastConnectResult_ = 0;
    bool connecting_ = false;
    bool putBack_ = false;
    uint32_t connectStart_ = 0;
    std::vector<IpcPending> pending_;
};

// True when the simulator folder holds "\Modules\FSUIPC.dll".
bool IpcModulePresent(Env& env, const std::string& fsDir);

}  // namespace vm
