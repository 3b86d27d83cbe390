// cDialog: the open-file dialog, returning the selection as one text.
#pragma once

#include <windows.h>

#include <string>

#include "common/ports.h"

namespace vm {

class cDialog {
public:
    explicit cDialog(Env& env) : env_(env) {}
    std::string StartDir;
    // owner -1 means the current foreground window. Returns the empty text
    // when the user cancels or the dialog fails.
    std::string ShowOpen(HWND owner, DWORD flags, const std::string& filter, int filterIndex,
                         const std::string& title, const std::string& defaultName);

private:
    Env& env_;
};

}  // namespace vm
