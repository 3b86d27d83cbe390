// The AutoRandom set dialog's logic: which groups take part, in which order,
// and writing the choices back to cloud.ini.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/dispatch.h"
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
    enum class Button { cmdOK, cmdCancel };
    virtual ~RandSelView() = default;
    virtual void Clear(List list) = 0;
    virtual void Add(List list, const std::string& text) = 0;
    virtual int Count(List list) = 0;
    virtual void Select(List list, int index) = 0;
    // The text of the selected line; nothing when none is selected.
    virtual std::optional<std::string> SelectedLine(List list) = 0;
    // Takes the focus as a mouse click does (the list in use loses it).
    virtual void Focus(Button button) = 0;
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
    // A click or key on lstSet: each item's check mark as the list shows it.
    void lstSet_Click();
    void lstSet_LostFocus();
    void lstSet_MouseDown(int button);
    void lstOrder_Click(const std::string& text);
    void lstOrder_LostFocus();
    // A drag moved line `from` of lstOrder to line `to`.
    void lstOrder_Moved(int from, int to);
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

// The dialog's controls, menu commands and window events: the keys of its
// table (control ids are the window's own).
struct RandSelIds : ControlCodes {
    enum Id {
        lstSet = 101, lstOrder, optRnd, optOrder, cmdOK, cmdCancel,
        mnuSelAll = 201, mnuClearAll,
        // The close box, and a drag of lstOrder about to begin.
        evClose = 301, evDragBegin,
    };
    static constexpr int kRightDown = kMouseDown + 2;
};

// The dialog's table: the choices are the dialog's own (refused only while
// a message of its own waits); OK writes cloud.ini; the close box is Cancel
// once the dialog's own handler has ended.
class RandSelTable : public RandSelIds {
public:
    RandSelTable(OperationGuard& guard, RandSelController& logic, RandSelView& view);
    EventTable& Events() { return events_; }
    // A drag of the order is a choice like the others: it begins only when
    // the table lets one start.
    bool MayDrag() { return events_.Fire(evDragBegin) == Fired::Ran; }

private:
    EventTable events_;
};

}  // namespace vm
