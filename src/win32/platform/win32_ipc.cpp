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

namespace {
struct SendCall {
    HWND window;
    UINT message;
    WPARAM atom;
    UINT timeoutMs;
    DWORD_PTR result = 0;
    LRESULT sent = 0;
    DWORD error = 0;
};

DWORD WINAPI SendOnWorker(LPVOID p) {
    auto* c = static_cast<SendCall*>(p);
    SetLastError(0);
    c->sent = SendMessageTimeoutA(c->window, c->message, c->atom, 0, SMTO_BLOCK, c->timeoutMs, &c->result);
    c->error = c->sent ? 0 : GetLastError();
    return 0;
}
}  // namespace

bool Win32IpcTransport::Send(Handle window, uint32_t message, uint16_t atom, unsigned timeoutMs, uintptr_t& answer,
                             uint32_t& lastError) {
    SendCall call{reinterpret_cast<HWND>(window), message, atom, timeoutMs};
    HANDLE worker = pump_ ? CreateThread(nullptr, 0, SendOnWorker, &call, 0, nullptr) : nullptr;
    if (worker) {
        // Messages run at least every 20 ms while the simulator is slow to answer.
        constexpr DWORD kSliceMs = 20;
        while (MsgWaitForMultipleObjects(1, &worker, FALSE, kSliceMs, QS_ALLINPUT) != WAIT_OBJECT_0)
            pump_->DoEvents();
        CloseHandle(worker);
    } else {
        SendOnWorker(&call);
    }
    lastError = call.error;
    answer = call.result;
    return call.sent != 0;
}

}  // namespace vm
