#include "sim/splash.h"

#include <cmath>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sets/backup.h"

namespace vm {

namespace {

std::string Numbered(const Settings& s, int n) { return s.SplashDir + "\\dlgsplash" + std::to_string(n) + ".bmp"; }

}  // namespace

std::string SplashFile(const Settings& s) { return s.FsDir + "\\UIRES\\dlgsplash.bmp"; }
std::string SplashOriginal(const Settings& s) { return s.FsDir + "\\UIRES\\dlgsplash(org).bmp"; }

int SplashSetup(Env& env, Settings& s) {
    if (!s.SplashEnabled) return 0;
    if (SameText(DirCheck(env, s.SplashDir), "Error")) {
        s.SplashEnabled = false;
        return 0;
    }
    // The simulator's own splash, saved once; a save that fails is tried
    // again at the next selection, and until then nothing replaces it.
    if (FileExists(env, SplashFile(s)) && !FileExists(env, SplashOriginal(s)))
        ReplaceCopy(env, SplashFile(s), SplashOriginal(s));
    int count = 0;
    while (FileExists(env, Numbered(s, count + 1))) ++count;
    return count;
}

int NextSplashNumber(Env& env, const std::string& mode, int lastNo, int count) {
    if (count <= 1) return 1;
    if (SameText(mode, "random") && env.random) {
        // A few tries find another number; a random source that keeps
        // answering the same falls back to the next one in order.
        for (int tries = 0; tries < 64; ++tries) {
            const int k = static_cast<int>(std::floor(env.random->Next() * count + 1));
            if (k != lastNo && k >= 1 && k <= count) return k;
        }
    }
    const int k = lastNo + 1;
    return k < 1 || k > count ? 1 : k;
}

bool RotateSplash(Env& env, Settings& s, int count) {
    if (!s.SplashEnabled || count == 0) return true;
    const int k = NextSplashNumber(env, s.SplashMode, s.SplashLastNo, count);
    s.SplashLastNo = static_cast<int16_t>(k);
    clsCfgWrite writer(env, s);
    writer.FileName = IniPath(env, s);
    writer.Section = "Splash Screen";
    writer.Key = "LastNo";
    writer.Value = std::to_string(k);
    writer.cWrite();
    // The platform's time stamp may lag the write a little.
    if (env.clock) env.clock->Sleep(50);
    StoreIniTime(env, s);
    const std::string chosen = Numbered(s, k);
    if (!FileExists(env, chosen)) return true;
    // Never over a splash whose original has not been saved.
    if (FileExists(env, SplashFile(s)) && !FileExists(env, SplashOriginal(s))) return false;
    if (env.pump) env.pump->DoEvents();
    return ReplaceCopy(env, chosen, SplashFile(s));
}

}  // namespace vm
