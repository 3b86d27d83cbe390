#include "platform/win32_mci.h"

#include <mmsystem.h>

namespace vm {

uint32_t Win32Mci::Send(const std::string& command, std::string* answer) {
    // The status answers fit a 30-character buffer.
    char buf[30] = {};
    const MCIERROR e = mciSendStringA(command.c_str(), answer ? buf : nullptr, answer ? sizeof buf : 0, callback_);
    if (answer) *answer = std::string(buf, strnlen(buf, sizeof buf));
    return static_cast<uint32_t>(e);
}

}  // namespace vm
