#include "platform/win32_ports.h"

#include <mmsystem.h>

namespace vm {

namespace {
// The simulator is a 32-bit program: its keys live in the 32-bit view.
REGSAM ViewFor(Registry::Key parent) {
#ifdef _WIN64
    if (parent == Registry::kLocalMachine) return KEY_WOW64_32KEY;
#endif
    (void)parent;
    return 0;
}

HKEY ToHkey(Registry::Key k) { return reinterpret_cast<HKEY>(k); }
}  // namespace

Registry::Key Win32Registry::Open(Key parent, const std::string& subKey, uint32_t access) {
    HKEY out = nullptr;
    if (RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access | ViewFor(parent), &out) != ERROR_SUCCESS)
        return 0;
    return reinterpret_cast<Key>(out);
}

std::optional<std::string> Win32Registry::Query(Key key, const std::string& valueName, unsigned bufSize) {
    std::string buf(bufSize, '\0');
    DWORD size = bufSize;
    DWORD type = 0;
    LONG r = RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buf.data()), &size);
    if (r == ERROR_MORE_DATA) {
        // A longer value is cut to what fits the caller's buffer.
        std::string whole(size, '\0');
        r = RegQueryValueExA(ToHkey(key), valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(whole.data()), &size);
        if (r == ERROR_SUCCESS) buf.assign(whole, 0, bufSize);
    }
    if (r != ERROR_SUCCESS) return std::nullopt;
    return buf;
}

void Win32Registry::Close(Key key) {
    if (key) RegCloseKey(ToHkey(key));
}

double FileTimeToDate(const FILETIME& utc) {
    FILETIME local;
    FileTimeToLocalFileTime(&utc, &local);
    ULARGE_INTEGER u;
    u.LowPart = local.dwLowDateTime;
    u.HighPart = local.dwHighDateTime;
    // 1899-12-30 as a FILETIME count of 100 ns since 1601-01-01.
    const double epoch = 94353120000000000.0;
    return (static_cast<double>(u.QuadPart) - epoch) / 864000000000.0;
}

double Win32Clock::Now() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return FileTimeToDate(ft);
}

uint32_t Win32Clock::TickMs() { return timeGetTime(); }

void Win32Clock::Sleep(unsigned ms) { ::Sleep(ms); }

bool PumpPending() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return false;
        }
        HWND active = GetActiveWindow();
        if (active && IsDialogMessageA(active, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return true;
}

void Win32Pump::DoEvents() { PumpPending(); }

void Win32Sound::PlayAsync(const std::string& path) { sndPlaySoundA(path.c_str(), SND_ASYNC); }

void Win32Sound::Beep() { MessageBeep(MB_OK); }

namespace {
int CALLBACK FontProc(const LOGFONTA* lf, const TEXTMETRICA*, DWORD fontType, LPARAM lp) {
    const auto& each = *reinterpret_cast<const std::function<void(const FontFace&)>*>(lp);
    FontFace f;
    f.name.assign(lf->lfFaceName, strnlen(lf->lfFaceName, LF_FACESIZE));
    f.fontType = fontType;
    f.pitchAndFamily = lf->lfPitchAndFamily;
    f.charSet = lf->lfCharSet;
    each(f);
    return 1;
}
}  // namespace

void Win32Fonts::Enumerate(const std::function<void(const FontFace&)>& each) {
    HDC dc = GetDC(nullptr);
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc, &lf, FontProc, reinterpret_cast<LPARAM>(&each), 0);
    ReleaseDC(nullptr, dc);
}

Win32Random::Win32Random() {
    LARGE_INTEGER c;
    QueryPerformanceCounter(&c);
    state_ = static_cast<uint64_t>(c.QuadPart) ^ 0x9E3779B97F4A7C15ull;
}

double Win32Random::Next() {
    // xorshift64*: plenty for picking sets.
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const uint64_t r = state_ * 2685821657736338717ull;
    return static_cast<double>(r >> 11) / 9007199254740992.0;
}

}  // namespace vm
