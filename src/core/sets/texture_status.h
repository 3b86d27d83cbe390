// The "Texture Status" window's logic: one line per recorded texture file
// (what it holds now, since when, the state of its backup), the totals,
// and "Restore All Originals".
#pragma once

#include <functional>

#include <string>
#include <vector>

#include "common/dispatch.h"
#include "common/ports.h"
#include "config/settings.h"
#include "sets/texture_record.h"

namespace vm {

struct StatusLine {
    std::string file, now, since, backup;
    double sinceDays = 0;  // for sorting by "Since"
};

// What only the window can do.
class StatusView {
public:
    virtual ~StatusView() = default;
    virtual void SetTitle(const std::string& title) = 0;
    virtual void ShowLines(const std::vector<StatusLine>& lines) = 0;
    virtual void ShowTotals(const std::string& totals) = 0;
    // A note above the list (a rebuilt record); empty: none.
    virtual void ShowNote(const std::string& note) = 0;
    virtual void EnableButtons(bool enable) = 0;
    // Unloads the window.
    virtual void Close() = 0;
};

inline constexpr const char* kNowOriginal = "Original";
inline constexpr const char* kNowChanged = "Changed outside Vellmora";
inline constexpr const char* kNowMissing = "Missing";
inline constexpr const char* kBackupOk = "OK";
inline constexpr const char* kBackupNone = "None";
inline constexpr const char* kBackupDiffers = "Differs from the original";

// The line of one entry as last observed.
StatusLine LineOf(const TextureEntry& e);
std::string TotalsText(const std::vector<StatusLine>& lines);
// "yyyy-mm-dd hh:nn" of a date-time in days; empty for 0.
std::string DateText(double days);

class TextureStatus {
public:
    TextureStatus(Env& env, const Settings& s, StatusView& view) : env_(env), s_(s), view_(view) {}

    // Reads every recorded file (those unchanged since the record was
    // written are not read again) inside the guard, letting messages run
    // between files; the program's end or `stopReading` leaves the lines
    // read so far. The record is written afterwards.
    bool Refresh();
    // "Restore All Originals": one question, then every file whose backup is
    // its recorded original goes back by the safe replace; then the report.
    void RestoreAllOriginals();
    // Sorts by column 0..3; the same column again reverses.
    void SortBy(int column);

    std::string simName;  // the window's title names the simulator
    // The reading ends early (the window's close is asked).
    std::function<bool()> stopReading;

    const std::vector<StatusLine>& Lines() const { return lines_; }
    const TextureRecord& Record() const { return record_; }

private:
    void Show();

    Env& env_;
    const Settings& s_;
    StatusView& view_;
    TextureRecord record_;
    std::vector<StatusLine> lines_;
    int sortColumn_ = 0;
    bool sortDown_ = false;
};

// The window's controls and close box: the keys of its table (control ids
// are the window's own).
struct TextureStatusIds : ControlCodes {
    enum Id { lvwFiles = 4001, lblNote, lblTotals, cmdRestoreAll, cmdRefresh, cmdClose, evClose = 4901 };
    static constexpr int kColumnClick = 0x300;  // Event::a: the column
};

// The window's table: reading holds nothing, so it goes on beside an
// install; restoring needs the textures. The close box and "Close" wait for
// the window's own handler, whose reading ends early for them.
class TextureStatusTable : public TextureStatusIds {
public:
    TextureStatusTable(OperationGuard& guard, StatusView& view);
    EventTable& Events() { return events_; }
    // The logic of the loaded window; null: none (its events do nothing).
    void Attach(TextureStatus* status);

private:
    TextureStatus* status_ = nullptr;
    EventTable events_;
};

}  // namespace vm
