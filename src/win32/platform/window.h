// A small base for the program's windows: binds the C++ object to its HWND
// at WM_NCCREATE and sends messages to a virtual handler; helpers for child
// controls and twips.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ui/msg_layout.h"
#include "ui/scroll_motion.h"

namespace vm {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    void Destroy();

protected:
    // Registers the class once (per name) with this dispatcher.
    static void RegisterClassOnce(const char* name, HBRUSH background, HICON icon = nullptr);
    bool Create(const char* className, const char* title, DWORD style, DWORD exStyle, int x, int y,
                int w, int h, HWND parent);
    // A window whose client area has the size, in the middle of the screen.
    bool CreateCentred(const char* className, const char* title, DWORD style, int clientW, int clientH,
                       HWND owner);
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Called after the HWND is gone (WM_NCDESTROY).
    virtual void OnDestroyed() {}

    HWND Child(const char* cls, const char* text, DWORD style, int id, DWORD exStyle = 0);

    // One child control: its id, class, text, style (WS_CHILD is added),
    // place in pixels and extended style.
    struct ControlDef {
        int id;
        const char* cls;
        const char* text;
        DWORD style;
        int x, y, w, h;
        DWORD ex;
    };
    // Creates the controls in order (the tab order) with the font.
    void MakeControls(const ControlDef* defs, size_t count, HFONT font);

private:
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// Screen metrics in twips (15 per pixel at 96 dpi).
WinMetrics GetWinMetrics();
inline int TwipsToPx(double twips, int perPixel) {
    return static_cast<int>(twips / perPixel + (twips >= 0 ? 0.5 : -0.5));
}

// Stops the windows from redrawing for its lifetime (WM_SETREDRAW); each is
// redrawn once at its end. For filling lists line by line.
class RedrawOff {
public:
    explicit RedrawOff(std::initializer_list<HWND> windows);
    ~RedrawOff();
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    std::vector<HWND> windows_;
};

std::string GetText(HWND h);
// A scroll bar control's position, the thumb's place during a drag, and
// its range.
BarState ScrollBarState(HWND bar);
// The text of a list box's line; the empty text when there is no such line.
std::string ListLineText(HWND list, int index);
// Gives the control a tooltip of the tooltip window `tips` (owned by `owner`),
// replacing the one it had.
void SetControlTip(HWND tips, HWND owner, HWND control, const std::string& text);
HFONT MakeFont(const char* face, int points, bool bold);

}  // namespace vm
