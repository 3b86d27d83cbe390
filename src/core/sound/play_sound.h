// Feedback sounds: one wave file played asynchronously, the button sound, the
// AutoRandom sound and the system sound of a message's icon.
#pragma once

#include <cstdint>
#include <string>

#include "common/ports.h"
#include "config/settings.h"

namespace vm {

// One instance per playback.
class clsPlaySound {
public:
    explicit clsPlaySound(Env& env) : env_(env) {}

    std::string FilePath;
    bool ErrFlg = false;   // the file was not found
    uint8_t ErrCode = 0;   // 1 when the file was not found

    void Play();

private:
    Env& env_;
};

// True when the configured button sound was started; false when none is
// configured or its file is missing.
bool PlayButtonSound(Env& env, const Settings& s);

// Always makes a noise: the configured file, or a beep.
void PlayAutoRandomSound(Env& env, const Settings& s);

// The registry key below the sound scheme for a message style's icon, or the
// empty text when the style has no icon.
std::string SystemSoundSubKey(uint8_t style);

// The message window's sound: the button sound if there is one, otherwise the
// system sound that belongs to the style's icon.
void PlaySystemSound(Env& env, const Settings& s, uint8_t style);

}  // namespace vm
