#include "ui/dialog.h"

#include <commdlg.h>

#include "common/convert.h"
#include "common/fileproc.h"
#include "ui/split.h"

namespace vm {

std::string cDialog::ShowOpen(HWND owner, DWORD flags, const std::string& filter, int filterIndex,
                              const std::string& title, const std::string& defaultName) {
    const size_t size = 10000;
    std::string file = DialogFileBuffer(defaultName, size);
    std::string fileTitle(size, '\0');
    const std::string conv = ConvertFilter(filter);
    OPENFILENAMEA ofn{};
    // The classic record size: no places bar, as the old dialog had.
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner == reinterpret_cast<HWND>(-1) ? GetForegroundWindow() : owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = conv.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(filterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(size);
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(size);
    const bool useDir = !Trim(StartDir).empty() && SameText(DirCheck(env_, StartDir), "OK");
    ofn.lpstrInitialDir = useDir ? StartDir.c_str() : nullptr;
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // No hook procedure is given, so the hook bit is dropped.
    ofn.Flags = flags & ~static_cast<DWORD>(OFN_ENABLEHOOK);
    if (!GetOpenFileNameA(&ofn)) return std::string();
    return DialogResult(file);
}

}  // namespace vm
