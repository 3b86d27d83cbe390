// frmMusic: the playlist editor. Its list shows the music list by file name;
// lines are dragged into a new order (the music list makes the same moves)
// and selected lines are deleted. The sound desk is disabled while it is open.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "config/settings.h"
#include "platform/window.h"
#include "sound/desk_table.h"
#include "sound/sound_desk.h"
#include "ui/drag_list.h"

namespace vm {

class frmMusic : public Window, public MusicOrderView, public MusicOrderIds {
public:
    static constexpr char kClass[] = "VellmoraMusic";
    static constexpr char kCaption[] = "Music Order";

    // The editor of one opening of the desk; `deskCalls` counts the desk's
    // handlers running (DeskCall), the editor's own among them. Its buttons
    // and close box go through a table on the program's guard; they only
    // edit the music list, so they run while an operation runs too.
    frmMusic(SoundDesk& desk, Settings& settings, int& deskCalls, OperationGuard& guard);
    ~frmMusic() override;

    // Loads the window beside the desk's file button and shows it.
    void Show(HWND desk, HWND fileButton);
    void Unload();
    bool Loaded() const { return hwnd() != nullptr; }
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
    MusicOrder& Order() { return order_; }
    EventTable& Events() { return table_.Events(); }

    // MusicOrderView.
    void AddLine(const std::string& text) override;
    int LineCount() override;
    bool LineSelected(int line) override;
    void RemoveLine(int line) override;
    void Redraw() override;
    void Close() override { Unload(); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Settings& settings_;
    int& deskCalls_;
    MusicOrder order_;
    DragList drag_;
    HWND desk_ = nullptr;
    HFONT font_ = nullptr;
    MusicOrderTable table_;
};

}  // namespace vm
