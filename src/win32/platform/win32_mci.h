// The Mci port over mciSendStringA.
#pragma once

#include <windows.h>

#include "sound/cd.h"

namespace vm {

class Win32Mci : public Mci {
public:
    // Notifications of commands sent with "notify" go to `callback`.
    explicit Win32Mci(HWND callback = nullptr) : callback_(callback) {}
    uint32_t Send(const std::string& command, std::string* answer) override;

private:
    HWND callback_;
};

}  // namespace vm
