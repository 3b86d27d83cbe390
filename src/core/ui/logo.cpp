#include "ui/logo.h"

namespace vm {

LogoFrame LogoEffect::NextFrame() {
    LogoFrame f;
    f.DrawX = f.DrawY = 130 - Step;
    f.size = 2 * (130 - f.DrawX);
    // Integer arithmetic for 2 x floor((Step - 64) / 128 x 255) + 1.
    Alpha = static_cast<int16_t>(2 * ((Step - 64) * 255 / 128) + 1);
    f.Alpha = Alpha;
    ++Step;
    if (Step > 128) EffectNo = -1;
    return f;
}

int WinVersionOf(uint32_t platformId) {
    if (platformId == 1) return 98;
    if (platformId == 2) return 2000;
    return 0;
}

}  // namespace vm
