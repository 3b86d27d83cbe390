// The main window's set logic: the set and file lists and their events, the
// button states, installation with backup, restore and re-backup, and the
// last-installed report. The window forwards its events here; everything
// reaches the window back through SetsView.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "common/operation_guard.h"
#include "common/ports.h"
#include "config/settings.h"
#include "sets/catalogue.h"
#include "sets/sets_view.h"

namespace vm {

class clsCfgRead;

class SetsController {
public:
    SetsController(Env& env, Settings& settings, Catalogue& cat, SetsState& state, SetsView& view,
                   SetsHooks& hooks)
        : env_(env), s_(settings), cat_(cat), state_(state), view_(view), hooks_(hooks) {}

    // --- set and file lists ---
    // Empties cmbClouds, cmbOption, lstClouds, lstOption and lstSky (before a
    // catalogue rebuild).
    void ClearLists();
    void FillSetLists();
    void FillCloudFiles(const std::string& setName);
    void FillOptionFiles(const std::string& optionName);
    void ShowPreview(const std::string& folder);
    // Selects item `index` of cmbClouds and runs its click handler.
    void ChooseSet(int index);

    void cmbClouds_Click();
    void cmbOption_Click();
    void LstSky_Click();
    void lstSkyFil_Click();
    void lblFilter_Click(int index);
    void lstClouds_Click();
    void lstOption_Click();
    void lstClouds_MouseDown(int button);
    void lstOption_MouseDown(int button);
    void lblOption_Click();
    void mnuCheckCloudAll_Click();
    void mnuClearCloudAll_Click();
    void mnuCheckOptionAll_Click();
    void mnuClearOptionAll_Click();
    void optSky_Click();

    // --- buttons ---
    void ButtonCtrl(bool enable);
    void cmdCont();

    // --- installation ---
    bool InstallSet();
    bool InstallFiles(const std::vector<std::string>& sources, const std::vector<std::string>& names);
    void cmdInst_Click();
    // The install confirmation's lines about bitmaps that are none, are cut
    // short, or differ in size or format from the texture they replace.
    std::string BitmapChecks(const std::vector<std::string>& sources, const std::vector<std::string>& names);

    // --- backup ---
    bool BackupCopy(const std::string& source, const std::string& dest, bool overwriteIfChanged, bool useShell);
    bool BackupExists(const std::string& name);
    // With `installed`, a texture file that is byte for byte a data set's
    // file of the same name is no original: it is left out and named there.
    bool BackupList(const std::vector<std::string>& names, bool overwriteIfChanged, bool useShell,
                    std::vector<std::string>* installed = nullptr);
    bool BackupAll(bool overwriteIfChanged, bool useShell, std::vector<std::string>* installed = nullptr);
    // The first backup while cloud.ini is loaded: runs when the backup
    // function is on and the backup folder does not exist. Reads
    // [ToBeBackuped] through the loader's reader, or a reader of its own.
    void BackupAtLoad(clsCfgRead& reader);
    void BackupAtLoad();

    // --- restore and re-backup ---
    void cmdToOrg_Click();
    bool RestoreFiles(const std::vector<std::string>& names);
    void cmdBackUp_Click();
    void cmdBackUp_MouseDown(int button);
    void mnuBkAll_Click();

    // --- last-installed record ---
    void mnuLastInst_Click();

    // A copy loop (install, restore, backup) runs and lets messages through:
    // ending the program now would lose its record.
    bool Busy() const { return busy_ > 0; }
    // Sets the enabled state of the main window's buttons, lists and
    // simulator choice from the state as it is now.
    void ApplyStates();

private:
    friend class BusyScope;

    bool AutoRandomOn();
    // ShowMsg, answered with its first button (Yes or OK) while AutoRandom is on.
    int Ask(const std::string& text, uint8_t style, const std::string& title);
    bool PlayButtonSound();
    void DoEvents();
    // Text of the selected item; the empty text when none.
    std::string Text(Lst list);
    int Find(Lst list, const std::string& text);
    // Selects the item (running the handler that a change of selection runs).
    void SelectIndex(Lst list, int index);
    void SetAllChecks(Lst list, bool checked);
    // Unchecks in `other` every name that is checked in `winner`.
    void KeepChecksApart(Lst winner, Lst other);
    std::vector<std::string> CheckedItems(Lst list);
    // Creates the backup folder, or clears it of stale temporary copies.
    bool EnsureBackupDir();
    // The backup copy of `source` is missing, or (overwriteIfChanged) its
    // time stamp differs.
    bool BackupDue(const std::string& source, const std::string& dest, bool overwriteIfChanged);
    // The record learns the backups made (leaving out the set files named in `installed`).
    void NoteBackups(std::vector<std::string> names, const std::vector<std::string>* installed);
    bool SameAsAny(const std::string& file, const std::vector<std::string>& others);
    // Every file below DataDir by its upper-cased name, and the names in the
    // order first listed.
    struct FilesByName {
        std::vector<std::string> names;
        std::unordered_map<std::string, std::vector<std::string>> byName;
    };
    FilesByName DataSetFiles();
    // Backs up TextureDir\name, or, with `sets` and `installed`, names it
    // there instead when it is one of the sets' files.
    bool BackupOne(const std::string& name, bool overwriteIfChanged, bool useShell, const FilesByName* sets,
                   std::vector<std::string>* installed);
    std::string CloudFolder();
    // The program's end is asked: a copy loop ends between two files.
    bool EndAsked() const;

    Env& env_;
    Settings& s_;
    Catalogue& cat_;
    SetsState& state_;
    SetsView& view_;
    SetsHooks& hooks_;
    int busy_ = 0;  // BusyScopes open
    size_t copied_ = 0;  // files the last InstallFiles copied
    bool cutShort_ = false;  // the last InstallFiles was ended by the program's end
};

// A copy loop as an operation of the guard: the ButtonCtrl controls are
// disabled while it runs, and their states are computed afresh when it
// ends. Refused (false) when it would begin inside another operation's pump.
class BusyScope {
public:
    BusyScope(SetsController& c, Operation op);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    explicit operator bool() const { return static_cast<bool>(scope_); }

private:
    SetsController& c_;
    OperationScope scope_;
};

// The first picture of "*.jpg", "*.jpeg", "*.gif" in the folder, or the empty
// text.
std::string PickPreview(Env& env, const std::string& folder);

}  // namespace vm
