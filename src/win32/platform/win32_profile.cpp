#include "platform/win32_profile.h"

#include <windows.h>

#include <vector>

namespace vm {

namespace {
const char* Arg(const std::string* s) { return s ? s->c_str() : nullptr; }
}  // namespace

std::string Win32Profile::Get(const std::string* section, const std::string* key, const std::string& def,
                              unsigned bufSize, const std::string& file) {
    std::vector<char> buf(bufSize + 1u, '\0');
    DWORD n = GetPrivateProfileStringA(Arg(section), Arg(key), def.c_str(), buf.data(), bufSize, file.c_str());
    if (n > bufSize) n = bufSize;
    return std::string(buf.data(), n);
}

bool Win32Profile::Put(const std::string* section, const std::string* key, const std::string* value,
                       const std::string& file) {
    return WritePrivateProfileStringA(Arg(section), Arg(key), Arg(value), file.c_str()) != FALSE;
}

}  // namespace vm
