// Win32 implementations of the small ports: registry, clock, message pump,
// sounds and the font catalogue.
#pragma once

#include <windows.h>

#include "common/ports.h"

namespace vm {

class Win32Registry : public Registry {
public:
    Key Open(Key parent, const std::string& subKey, uint32_t access) override;
    std::optional<std::string> Query(Key key, const std::string& valueName, unsigned bufSize) override;
    void Close(Key key) override;
};

class Win32Clock : public Clock {
public:
    double Now() override;
    uint32_t TickMs() override;
    void Sleep(unsigned ms) override;
};

// Lets every pending message of this thread run; dialog keys (Tab, Enter,
// Esc, mnemonics) go to the active window.
class Win32Pump : public Pump {
public:
    void DoEvents() override;
};
// One pass of the pump; false once WM_QUIT was seen (it is posted again).
bool PumpPending();

class Win32Sound : public Sound {
public:
    void PlayAsync(const std::string& path) override;
    void Beep() override;
};

class Win32Fonts : public FontCatalog {
public:
    void Enumerate(const std::function<void(const FontFace&)>& each) override;
};

class Win32Random : public Random {
public:
    Win32Random();
    double Next() override;

private:
    uint64_t state_;
};

// A FILETIME (UTC) as the old DATE in local time.
double FileTimeToDate(const FILETIME& utc);

}  // namespace vm
