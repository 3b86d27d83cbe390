// frmWeather: the weather editor window. It holds the controls and hands
// every event to the editor logic (WeatherEditor), which reads and writes
// the controls through the WeatherView it implements.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/ports.h"
#include "config/settings.h"
#include "platform/window.h"
#include "sim/weather_editor.h"

namespace vm {

class frmWeather : public Window, public WeatherView, public ScrollBars, public WeatherIds {
public:
    static constexpr char kClass[] = "VellmoraWeather";

    frmWeather(Fsuipc& link, ComIpc& weather, Clock& clock, Messages& messages, const Settings& settings,
               SimWatchSwitch& watch, OperationGuard& guard);
    ~frmWeather() override;

    // The main window's menu command: loads the window (once) and shows it;
    // a loaded window comes to the front. The activation that follows reads
    // the simulator's layers afresh.
    void Show(HWND owner);
    bool Loaded() const { return hwnd() != nullptr; }
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
    WeatherEditor* Editor() { return editor_.get(); }
    EventTable& Events() { return table_.Events(); }

    // WeatherView.
    std::string Text(WxText box) override;
    void SetText(WxText box, const std::string& text) override;
    void FocusText(WxText box) override;
    int ListIndex(WxList list) override;
    std::string ListText(WxList list) override;
    void SetListIndex(WxList list, int index) override;
    std::string LayerNo() override;
    void SetLayerNo(const std::string& text) override;
    void SetAltitude(const std::string& text) override;
    int ScrollPos() override;
    void SetScrollPos(int pos) override;
    void SetScrollRange(int min, int max) override;
    void SetEditingEnabled(bool enable) override;
    void SetButtonsEnabled(bool enable) override;
    void FocusButton(WxButton button) override;
    void SetRepeat(bool on) override;
    void Close() override { Form_Unload(); }

    // ScrollBars.
    BarState Bar(int id) override;
    void SetBarPos(int id, int pos) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Form_Load(HWND owner);
    void Form_Unload();
    void CreateControls();
    void DrawArrow(const DRAWITEMSTRUCT& d);
    static LRESULT CALLBACK ArrowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);

    Fsuipc& link_;
    ComIpc& weather_;
    Clock& clock_;
    Messages& messages_;
    const Settings& settings_;
    SimWatchSwitch& watch_;
    std::unique_ptr<WeatherEditor> editor_;
    WeatherTable table_;
    HFONT font_ = nullptr;
};

}  // namespace vm
