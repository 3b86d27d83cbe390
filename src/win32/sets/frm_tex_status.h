// frmTexStatus: the "Texture Status" window. A report list of every texture
// file the program backed up or installed, a line of totals and three
// buttons; the logic is TextureStatus's, every event goes through the
// window's own table with the program's guard.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window.h"
#include "sets/texture_status.h"

namespace vm {

class frmTexStatus : public Window, public StatusView, public TextureStatusIds {
public:
    static constexpr char kClass[] = "VellmoraTexStatus";

    frmTexStatus(Env& env, const Settings& settings, OperationGuard& guard);
    ~frmTexStatus() override;

    // Loads the window (once), shows it and reads the status.
    void Show(HWND owner, const std::string& simName);
    bool Loaded() const { return hwnd() != nullptr; }
    HWND Control(int id) const { return GetDlgItem(hwnd(), id); }
    EventTable& Events() { return table_.Events(); }
    TextureStatus* Logic() { return status_.get(); }
    // A cell of the list as shown (row from the top, column 0..3).
    std::string Cell(int row, int column) const;
    int Rows() const;

    // StatusView.
    void SetTitle(const std::string& title) override;
    void ShowLines(const std::vector<StatusLine>& lines) override;
    void ShowTotals(const std::string& totals) override;
    void ShowNote(const std::string& note) override;
    void EnableButtons(bool enable) override;
    void Close() override { Destroy(); }

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Form_Load(HWND owner);

    Env& env_;
    const Settings& settings_;
    std::unique_ptr<TextureStatus> status_;
    TextureStatusTable table_;
    HFONT font_ = nullptr;
};

}  // namespace vm
