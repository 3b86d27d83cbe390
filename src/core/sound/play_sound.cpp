#include "sound/play_sound.h"

#include "common/fileproc.h"
#include "sound/reg_read.h"

namespace vm {

void clsPlaySound::Play() {
    if (FileCheck(env_, FilePath) == "Error") {
        ErrFlg = true;
        ErrCode = 1;
        return;
    }
    ErrFlg = false;
    ErrCode = 0;
    env_.sound->PlayAsync(FilePath);
}

bool PlayButtonSound(Env& env, const Settings& s) {
    if (s.ButtonSoundFile.empty()) return false;
    clsPlaySound snd(env);
    snd.FilePath = s.ButtonSoundFile;
    snd.Play();
    return !snd.ErrFlg;
}

void PlayAutoRandomSound(Env& env, const Settings& s) {
    if (s.AutoRandomSoundFile.empty()) {
        env.sound->Beep();
        return;
    }
    clsPlaySound snd(env);
    snd.FilePath = s.AutoRandomSoundFile;
    snd.Play();
    if (snd.ErrFlg) env.sound->Beep();
}

std::string SystemSoundSubKey(uint8_t style) {
    if ((style & 48) == 48) return "SystemExclamation\\.Current";
    if ((style & 32) == 32) return "SystemQuestion\\.Current";
    if ((style & 16) == 16) return "SystemHand\\.Current";
    if ((style & 64) == 64) return "SystemAsterisk\\.Current";
    return "";
}

void PlaySystemSound(Env& env, const Settings& s, uint8_t style) {
    if (PlayButtonSound(env, s)) return;
    clsRegRead reg(env);
    reg.RootName = Registry::kUsers;
    reg.SubKey = ".DEFAULT\\AppEvents\\Schemes\\Apps\\.Default";
    reg.SubKey2 = SystemSoundSubKey(style);
    reg.ValueName = "";
    clsPlaySound snd(env);
    snd.FilePath = reg.RegData();
    snd.Play();
}

}  // namespace vm
