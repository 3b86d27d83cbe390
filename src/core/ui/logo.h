// The logo window's zoom-and-fade effect (number 6): the logo grows from
// 128 x 128 to 256 x 256 pixels around (130, 130) while the window's opacity
// rises from 1 to 255, one frame per 20 ms or more.
#pragma once

#include <cstdint>

namespace vm {

struct LogoFrame {
    int DrawX = 0, DrawY = 0;  // top-left corner of the logo
    int size = 0;              // width and height of the drawn logo
    int Alpha = 0;             // opacity of this frame
};

class LogoEffect {
public:
    static constexpr int kFrameMs = 20;
    static constexpr int kEffect = 6;

    int16_t EffectNo = kEffect;  // -1 once the effect has finished
    int32_t Step = 64;
    int16_t Alpha = 0;

    bool Finished() const { return EffectNo == -1; }
    // Computes the next frame and advances: after the frame with Step 128 the
    // effect is finished.
    LogoFrame NextFrame();
    // The frame loop's pacing rule: a frame is due when more than kFrameMs
    // passed since the last one.
    static bool FrameDue(uint32_t now, uint32_t last) { return now - last > static_cast<uint32_t>(kFrameMs); }
};

// GetWinVersion: platform id 1 gives 98, 2 gives 2000, anything else 0.
int WinVersionOf(uint32_t platformId);

}  // namespace vm
