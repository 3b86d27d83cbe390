// The AutoRandom set dialog's logic: which groups take part, in which order,
// and writing the choices back to cloud.ini.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"
#include "sets/auto_random.h"
#include "sets/catalogue.h"

namespace vm {

inline constexpr const char* kRandSelCaption = "AutoRandom Data Selection";
inline constexpr const char* kIniChangedTitle = "Ini changed";
inline constexpr const char* kIniChangedText =
    "Ini file was changed during run Vellmora.\r\nDon't change the Ini file on running Vellmora.\r\n"
    "Vellmora will be Stopped...";

// What the dialog's logic needs of its window.
class RandSelView {
public:
    enum class List { lstSet, lstOrder };
    virtual ~RandSelView() = default;
    virtual void Clear(List list) = 0;
    virtual void Add(List list, const std::string& text) = 0;
    virtual int Count(List list) = 0;
    virtual void Select(List list, int index) = 0;
    // Check marks of lstSet; SetChecked raises no event.
    virtual bool Checked(int index) = 0;
    virtual void SetChecked(int index, bool checked) = 0;
    // Chooses optOrder (order mode) or optRnd and shows lstOrder or lstSet.
    virtual void ShowMode(bool orderMode) = 0;
    virtual void EnableButtons(bool enabled) = 0;  // cmdOK and cmdCancel
    virtual void PopupMenu() = 0;                  // mnuPopUp
    virtual void SetSetToolTip(const std::string& text) = 0;
    // Installs or removes the drag handling of lstOrder.
    virtual void DragHandling(bool on) = 0;
    // Closes the dialog (its unload follows).
    virtual void Close() = 0;
    // Closes the main window, which ends the program.
    virtual void EndProgram() = 0;
    virtual void EnableMainWindow() = 0;
};

class RandSelController {
public:
    RandSelController(Env& env, Settings& s, Catalogue& cat, AutoRandomData& ar, RandSelView& view)
        : env_(env), s_(s), cat_(cat), ar_(ar), view_(view) {}

    void Form_Load();
    // After OK or Cancel; a close without either is Cancel.
    void Form_Unload();
    void cmdOk_Click();
    void cmdCancel_Click();
    void lstSet_ItemCheck(int item, bool checked);
    void lstSet_LostFocus();
    void lstSet_MouseDown(int button);
    void lstOrder_Click(const std::string& text);
    void lstOrder_LostFocus();
    void optOrder_Click();
    void optRnd_Click();
    void mnuSelAll_Click() { CheckAll(true); }
    void mnuClearAll_Click() { CheckAll(false); }

    // The group number of every lstSet item.
    const std::vector<int>& Groups() const { return groups_; }

private:
    void CheckAll(bool checked);
    void FillOrder();
    // The random flags, orders and order mode as the dialog found them.
    void PutSavedBack();

    Env& env_;
    Settings& s_;
    Catalogue& cat_;
    AutoRandomData& ar_;
    RandSelView& view_;
    std::vector<int> groups_;
    std::vector<bool> savedRandom_;
    std::vector<int16_t> savedOrder_;
    bool savedOrderMode_ = false;
    bool iniChanged_ = false;
    bool answered_ = false;  // OK or Cancel closed the dialog
    bool unloaded_ = false;
};

}  // namespace vm
