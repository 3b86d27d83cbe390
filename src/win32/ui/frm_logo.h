// frmLogo: the borderless start-up window in which the logo zooms and fades in.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/window.h"
#include "ui/logo.h"

namespace vm {

class frmLogo : public Window {
public:
    int16_t EffectNo = LogoEffect::kEffect;
    int16_t WinVer = 0;
    // Tests: called after each frame is drawn and its opacity applied, with
    // the time (timeGetTime) at which the frame was started.
    std::function<void(const LogoFrame&, uint32_t startedMs)> onFrame;

    // Creates the window, shows it and runs the effect to its end.
    void Form_Load();
    void Unload() { Destroy(); }
    ~frmLogo() override;

    static int GetWinVersion();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void RunEffect();
    void DrawFrame(uint32_t now);
    void ApplyAlpha();
    void MakeLogo();

    LogoEffect effect_;
    bool Busy = false;
    HDC OrgDC = nullptr, CanvasDC = nullptr, FadeDC = nullptr;
    HBITMAP org_ = nullptr, canvas_ = nullptr, fade_ = nullptr;
    HGDIOBJ oldOrg_ = nullptr, oldCanvas_ = nullptr, oldFade_ = nullptr;
};

}  // namespace vm
