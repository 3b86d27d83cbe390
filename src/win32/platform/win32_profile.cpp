#include "platform/win32_profile.h"

#include <windows.h>

#include <vector>

#include "config/ini_profile.h"

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

std::unique_ptr<Profile> Win32Profile::Snapshot(const std::string& file) {
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    std::string text;
    char buf[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr) != FALSE) && got > 0) text.append(buf, got);
    CloseHandle(h);
    if (!ok) return nullptr;
    return IniProfile::SnapshotOf(std::move(text));
}

}  // namespace vm
