// Vellmora's entry point: one instance, the platform ports, then the
// start-up sequence. A fatal configuration error has already been shown in
// the message window when ProgramEnd arrives here; the program then ends.
#include <windows.h>

#include <commctrl.h>

#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A second start ends at once, silently.
    HANDLE single = CreateMutexA(nullptr, TRUE, "Vellmora.SingleInstance");
    if (!single || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    const int code = vm::RunProgram();
    CloseHandle(single);
    return code;
}
