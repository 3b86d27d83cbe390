#include "platform/win32_ipc.h"

namespace vm {

IpcTransport::Handle Win32IpcTransport::FindServerWindow(const std::string& className) {
    return reinterpret_cast<Handle>(FindWindowExA(nullptr, nullptr, className.c_str(), nullptr));
}

uint32_t Win32IpcTransport::RegisterMessage(const std::string& name) { return RegisterWindowMessageA(name.c_str()); }

uint32_t Win32IpcTransport::ProcessId() { return GetCurrentProcessId(); }

uint16_t Win32IpcTransport::AddAtom(const std::string& name) { return GlobalAddAtomA(name.c_str()); }

void Win32IpcTransport::DeleteAtom(uint16_t atom) { GlobalDeleteAtom(atom); }

IpcTransport::Handle Win32IpcTransport::CreateMapping(const std::string& name, uint32_t size, uint32_t& lastError) {
    SetLastError(0);
    HANDLE h = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
    lastError = GetLastError();
    return reinterpret_cast<Handle>(h);
}

uint8_t* Win32IpcTransport::MapView(Handle mapping) {
    return static_cast<uint8_t*>(MapViewOfFile(reinterpret_cast<HANDLE>(mapping), FILE_MAP_WRITE, 0, 0, 0));
}

void Win32IpcTransport::UnmapView(uint8_t* view) { UnmapViewOfFile(view); }

void Win32IpcTransport::CloseMapping(Handle mapping) { CloseHandle(reinterpret_cast<HANDLE>(mapping)); }

bool Win32IpcTransport::Send(Handle window, uint32_t message, uint16_t atom, unsigned timeoutMs, uintptr_t& answer,
                             uint32_t& lastError) {
    DWORD_PTR result = 0;
    SetLastError(0);
    const LRESULT sent = SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, atom, 0, SMTO_BLOCK,
                                             timeoutMs, &result);
    lastError = sent ? 0 : GetLastError();
    answer = result;
    return sent != 0;
}

}  // namespace vm
