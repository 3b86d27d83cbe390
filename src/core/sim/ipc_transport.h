// The platform side of the IPC link: window search, the registered message,
// the atom that carries the mapping name, the shared mapping and the send.
// The Windows build implements it with user32/kernel32 calls; tests and the
// in-process server use IpcLoopback.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

class IpcTransport {
public:
    using Handle = uintptr_t;  // window or mapping handle; 0 = none
    static constexpr uint32_t kErrorAlreadyExists = 183;

    virtual ~IpcTransport() = default;

    // FindWindowExA(no parent, no child-after, className, no title).
    virtual Handle FindServerWindow(const std::string& className) = 0;
    // RegisterWindowMessageA; 0 on failure.
    virtual uint32_t RegisterMessage(const std::string& name) = 0;
    virtual uint32_t ProcessId() = 0;
    // GlobalAddAtomA; 0 on failure.
    virtual uint16_t AddAtom(const std::string& name) = 0;
    virtual void DeleteAtom(uint16_t atom) = 0;
    // CreateFileMappingA on the paging file, read-write, `size` bytes.
    // `lastError` receives GetLastError() after the call (183 when a mapping
    // of that name already existed; the handle is then still returned).
    virtual Handle CreateMapping(const std::string& name, uint32_t size, uint32_t& lastError) = 0;
    // MapViewOfFile(FILE_MAP_WRITE) of the whole mapping; null on failure.
    virtual uint8_t* MapView(Handle mapping) = 0;
    virtual void UnmapView(uint8_t* view) = 0;
    virtual void CloseMapping(Handle mapping) = 0;
    // SendMessageTimeoutA(window, message, atom, 0, SMTO_BLOCK, timeoutMs).
    // False when the call returned 0; `lastError` is GetLastError() then.
    virtual bool Send(Handle window, uint32_t message, uint16_t atom, unsigned timeoutMs,
                      uintptr_t& answer, uint32_t& lastError) = 0;
};

}  // namespace vm
