#include "sim/fsuipc.h"

#include <cstring>
#include <iterator>

namespace vm {

namespace {
const char* const kResultTexts[] = {
    "Okay",
    "Attempt to Open when already Open",
    "Cannot link to FSUIPC or WideClient",
    "Failed to Register common message with Windows",
    "Failed to create Atom for mapping filename",
    "Failed to create a file mapping object",
    "Failed to open a view to the file map",
    "Incorrect version of FSUIPC, or not FSUIPC",
    "Sim is not version requested",
    "Call cannot execute, link not Open",
    "Call cannot execute: no requests accumulated",
    "IPC timed out all retries",
    "IPC sendmessage failed all retries",
    "IPC request contains bad data",
    "Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC",
    "Read or Write request cannot be added, memory for Process is full",
};

const char* const kSimNames[] = {"Any", "FS98", "FS2K", "CFS2", "CFS1", "FLY", "FS2002", "FSNEXT", "FSYETANOTHER"};

constexpr int kOpenAttempts = 5;
constexpr unsigned kOpenPauseMs = 100;
constexpr int kSendRetries = 10;
constexpr unsigned kSendPauseMs = 100;
constexpr int kConnectRounds = 50;
constexpr unsigned kConnectPauseMs = 100;
// A simulator whose window is there but does not answer: the connect gives
// up after this long, and the next watch tick tries again.
constexpr uint32_t kConnectGiveUpMs = 10000;

}  // namespace

std::string IpcResultText(int code) {
    if (code < 0 || code >= int(std::size(kResultTexts))) return {};
    return kResultTexts[code];
}

std::string SimCodeName(uint32_t code) {
    if (code >= std::size(kSimNames)) return {};
    return kSimNames[code];
}

Fsuipc::Fsuipc(IpcTransport& transport, Clock& clock, Pump& pump)
    : transport_(transport), clock_(clock), pump_(pump) {}

Fsuipc::~Fsuipc() { IpcClose(); }

void Fsuipc::IpcReset() {
    IpcServerWindow = 0;
    IpcMessage = 0;
    IpcAtom = 0;
    IpcMapping = 0;
    IpcView = nullptr;
    next_ = 0;
    pending_.clear();
}

bool Fsuipc::Fail(int code, int& result) {
    result = code;
    IpcClose();
    return false;
}

bool Fsuipc::IpcOpen(uint32_t requested, int& result) {
    IpcVersion = 0;
    IpcSimCode = 0;
    if (IpcView) {
        result = kIpcAlreadyOpen;
        return false;
    }

    viaSimWindow_ = false;
    IpcServerWindow = transport_.FindServerWindow(kIpcServerClass);
    if (!IpcServerWindow) {
        IpcServerWindow = transport_.FindServerWindow(kSimWindowClass);
        viaSimWindow_ = true;
    }
    if (!IpcServerWindow) {
        result = kIpcNoServer;
        return false;
    }

    IpcMessage = transport_.RegisterMessage(kIpcMessageName);
    if (!IpcMessage) {
        result = kIpcRegisterFailed;
        return false;
    }

    counter_ = 0;
    ++counter_;
    const std::string name = IpcMappingName(transport_.ProcessId(), counter_);
    IpcAtom = transport_.AddAtom(name);
    if (!IpcAtom) return Fail(kIpcAtomFailed, result);

    uint32_t lastError = 0;
    IpcMapping = transport_.CreateMapping(name, kIpcMapSize, lastError);
    if (!IpcMapping || lastError == IpcTransport::kErrorAlreadyExists) return Fail(kIpcMappingFailed, result);

    IpcView = transport_.MapView(IpcMapping);
    if (!IpcView) return Fail(kIpcViewFailed, result);
    next_ = 0;
    pending_.clear();

    uint8_t version[4] = {};
    uint8_t simCode[4] = {};
    uint8_t libVersion[2];
    PutLe16(libVersion, IpcLibVersion);
    for (int attempt = 0; attempt < kOpenAttempts && (IpcVersion == 0 || IpcSimCode == 0); ++attempt) {
        if (!IpcQueueRead(kIpcVersionOffset, 4, version, result)) return Fail(result, result);
        if (!IpcQueueRead(kIpcSimCodeOffset, 4, simCode, result)) return Fail(result, result);
        if (attempt == 0 && !IpcQueueWrite(kIpcLibVersionOffset, 2, libVersion, result))
            return Fail(result, result);
        if (!IpcProcess(result)) return Fail(result, result);
        IpcVersion = GetLe32(version);
        IpcSimCode = GetLe32(simCode);
        PumpingWait(clock_, pump_, kOpenPauseMs);
    }

    if (int32_t(IpcVersion) < kIpcLowestVersion || (IpcSimCode >> 16) != kIpcFade)
        return Fail(viaSimWindow_ ? kIpcWideClient : kIpcWrongVersion, result);

    IpcSimCode &= 0xFFFF;
    if (requested != 0 && requested != IpcSimCode) return Fail(kIpcWrongSim, result);

    result = kIpcOk;
    return true;
}

bool Fsuipc::IpcQueueRead(uint32_t offset, uint32_t size, void* dest, int& result) {
    if (!IpcView) {
        result = kIpcNotOpen;
        return false;
    }
    if (uint64_t(next_) + kIpcTerminator + kIpcReadHeader + size > kIpcMaxQueued) {
        result = kIpcFull;
        return false;
    }
    uint32_t token = 0;
    if (dest) {
        pending_.push_back({static_cast<uint8_t*>(dest), size});
        token = uint32_t(pending_.size());
    }
    uint8_t* at = IpcView + next_;
    PutLe32(at, kIpcReadId);
    PutLe32(at + 4, offset);
    PutLe32(at + 8, size);
    PutLe32(at + 12, token);
    std::memset(at + kIpcReadHeader, 0, size);
    next_ += kIpcReadHeader + size;
    result = kIpcOk;
    return true;
}

bool Fsuipc::IpcQueueWrite(uint32_t offset, uint32_t size, const void* source, int& result) {
    if (!IpcView) {
        result = kIpcNotOpen;
        return false;
    }
    if (uint64_t(next_) + kIpcTerminator + kIpcWriteHeader + size > kIpcMaxQueued) {
        result = kIpcFull;
        return false;
    }
    if (!source && size != 0) {
        result = kIpcBadData;
        return false;
    }
    uint8_t* at = IpcView + next_;
    PutLe32(at, kIpcWriteId);
    PutLe32(at + 4, offset);
    PutLe32(at + 8, size);
    if (size) std::memcpy(at + kIpcWriteHeader, source, size);
    next_ += kIpcWriteHeader + size;
    result = kIpcOk;
    return true;
}

bool Fsuipc::IpcProcess(int& result) {
    if (!IpcView) {
        result = kIpcNotOpen;
        return false;
    }
    if (next_ == 0) {
        result = kIpcNothingQueued;
        return false;
    }
    // One exchange at a time: an event from inside a running one's wait
    // never lays a second block over the first.
    const OperationScope exchange(GuardOfPump(pump_), Operation::Exchange);
    if (!exchange) {
        // What was laid is dropped as by any exchange: the next one starts
        // from an empty block, and no destination outlives its caller.
        next_ = 0;
        pending_.clear();
        result = kIpcSendFailed;
        return false;
    }
    PutLe32(IpcView + next_, 0);
    next_ = 0;
    // The table of destinations is needed by the walk below; the block itself
    // is reusable from here on whatever the outcome.
    std::vector<IpcPending> pending;
    pending.swap(pending_);

    uintptr_t answer = 0;
    uint32_t lastError = 0;
    if (OutOfTime()) {
        result = kIpcTimedOut;
        return false;
    }
    bool sent = transport_.Send(IpcServerWindow, IpcMessage, IpcAtom, kIpcTimeoutMs, answer, lastError);
    for (int retry = 0; !sent && retry < kSendRetries && !OutOfTime(); ++retry) {
        PumpingWait(clock_, pump_, kSendPauseMs);
        if (OutOfTime()) break;
        sent = transport_.Send(IpcServerWindow, IpcMessage, IpcAtom, kIpcTimeoutMs, answer, lastError);
    }
    if (!sent) {
        result = lastError ? kIpcSendFailed : kIpcTimedOut;
        return false;
    }
    if (answer != 1) {
        result = kIpcBadData;
        return false;
    }
    if (!DeliverIpcAnswer(IpcView, kIpcMapSize, pending)) {
        result = kIpcBadData;
        return false;
    }
    result = kIpcOk;
    return true;
}

void Fsuipc::IpcClose() {
    IpcLinked = false;
    IpcOpened = false;
    IpcServerWindow = 0;
    IpcMessage = 0;
    if (IpcAtom) {
        transport_.DeleteAtom(IpcAtom);
        IpcAtom = 0;
    }
    if (IpcView) {
        transport_.UnmapView(IpcView);
        IpcView = nullptr;
    }
    if (IpcMapping) {
        transport_.CloseMapping(IpcMapping);
        IpcMapping = 0;
    }
    next_ = 0;
    pending_.clear();
}

bool Fsuipc::OutOfTime() const {
    if (!putBack_ && EndAsked(pump_)) return true;
    // A send that would end past the connect's time is not begun.
    return connecting_ && clock_.TickMs() - connectStart_ + kIpcTimeoutMs > kConnectGiveUpMs;
}

void Fsuipc::IpcConnect() {
    const OperationScope operation(GuardOfPump(pump_), Operation::Connect);
    if (!operation) return;
    connecting_ = true;
    connectStart_ = clock_.TickMs();
    struct Leave {
        bool& flag;
        ~Leave() { flag = false; }
    } leave{connecting_};
    for (int round = 0; round < kConnectRounds; ++round) {
        if (!SimRunning || IpcOpened) return;
        IpcReset();
        IpcOpened = true;
        if (IpcOpen(0, lastConnectResult_)) {
            IpcLinked = true;
            return;
        }
        IpcClose();
        if (OutOfTime()) return;
        PumpingWait(clock_, pump_, kConnectPauseMs);
    }
}

}  // namespace vm
