// Vellmora's entry point: one instance, the platform ports, then the
// start-up sequence. A fatal configuration error has already been shown in
// the message window when ProgramEnd arrives here; the program then ends.
#include <windows.h>

#include <commctrl.h>

#include "app/startup.h"
#include "config/main_window.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A second start, in this session or another, ends at once, silently.
    // The mutex stays held until the program ends.
    HANDLE single = nullptr;
    const bool first = vm::FirstInstance([&single](const std::string& name) {
        HANDLE h = CreateMutexA(nullptr, TRUE, name.c_str());
        const DWORD error = GetLastError();
        if (h && error == ERROR_ALREADY_EXISTS) {
            CloseHandle(h);
            return vm::InstanceMutex::Exists;
        }
        if (h) {
            single = h;
            return vm::InstanceMutex::Created;
        }
        // Another user's copy holds the global one.
        return error == ERROR_ACCESS_DENIED ? vm::InstanceMutex::Exists : vm::InstanceMutex::Refused;
    });
    if (!first) return 0;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    const int code = vm::RunProgram();
    if (single) CloseHandle(single);
    return code;
}
