#include "fakesim/ipc_loopback.h"

#include <algorithm>
#include <cctype>

#include "sim/ipc_block.h"

namespace vm {

namespace {
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

IpcLoopback::IpcLoopback(SimServer& server, Clock& clock) : server_(server), clock_(clock) {}

IpcTransport::Handle IpcLoopback::FindServerWindow(const std::string& className) {
    if (!simRunning) return 0;
    if (SameName(className, kIpcServerClass)) return server_.Options().fs98Only ? 0 : kServerWindow;
    if (SameName(className, kSimWindowClass)) return kSimWindow;
    return 0;
}

uint32_t IpcLoopback::RegisterMessage(const std::string& name) {
    if (failRegister) return 0;
    return SameName(name, kIpcMessageName) ? kMessageId : kMessageId + 1;
}

uint16_t IpcLoopback::AddAtom(const std::string& name) {
    if (failAtom) return 0;
    atoms_[nextAtom_] = name;
    return nextAtom_++;
}

void IpcLoopback::DeleteAtom(uint16_t atom) { atoms_.erase(atom); }

IpcTransport::Handle IpcLoopback::CreateMapping(const std::string& name, uint32_t size, uint32_t& lastError) {
    lastName_ = name;
    lastError = 0;
    if (failMapping) return 0;
    Memory memory = names_[name].lock();
    if (memory || mappingExists) {
        lastError = kErrorAlreadyExists;
        if (!memory) memory = std::make_shared<std::vector<uint8_t>>(size, 0);
    } else {
        memory = std::make_shared<std::vector<uint8_t>>(size, 0);
    }
    names_[name] = memory;
    const Handle h = nextMapping_++;
    mappingHandles_[h] = memory;
    return h;
}

uint8_t* IpcLoopback::MapView(Handle mapping) {
    auto it = mappingHandles_.find(mapping);
    if (failView || it == mappingHandles_.end()) return nullptr;
    uint8_t* view = it->second->data();
    views_[view] = it->second;
    return view;
}

void IpcLoopback::UnmapView(uint8_t* view) { views_.erase(view); }

void IpcLoopback::CloseMapping(Handle mapping) { mappingHandles_.erase(mapping); }

bool IpcLoopback::Send(Handle window, uint32_t message, uint16_t atom, unsigned timeoutMs, uintptr_t& answer,
                       uint32_t& lastError) {
    ++sends;
    lastError = 0;
    if (failSends > 0) {
        --failSends;
        lastError = sendError;
        return false;
    }
    if (!simRunning || (window != kServerWindow && window != kSimWindow)) {
        lastError = 1400;  // invalid window handle
        return false;
    }
    const SimOptions& o = server_.Options();
    if (o.noAnswer || o.delayMs >= timeoutMs) {
        clock_.Sleep(timeoutMs);
        lastError = sendError;
        return false;
    }
    if (o.delayMs) clock_.Sleep(o.delayMs);
    answer = 0;
    if (message != kMessageId) return true;  // not the server's message: 0
    auto a = atoms_.find(atom);
    if (a == atoms_.end()) return true;
    Memory memory = names_[a->second].lock();
    if (!memory) return true;
    answer = server_.Handle(memory->data(), memory->size(), clock_.TickMs());
    return true;
}

}  // namespace vm
