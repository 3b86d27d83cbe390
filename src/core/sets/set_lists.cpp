// Set and file lists of the main window and their events.
#include "common/convert.h"
#include "common/fileproc.h"
#include "sets/buttons.h"
#include "sets/sets_controller.h"

namespace vm {

namespace {

bool EndsWithBmp(const std::string& path) { return path.size() >= 4 && SameText(path.substr(path.size() - 4), ".bmp"); }

// The text after the last "\" (the whole text when there is none).
std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string PickPreview(Env& env, const std::string& folder) {
    std::vector<std::string> pictures;
    for (const char* pattern : {"*.jpg", "*.jpeg", "*.gif"}) ListFiles(env, folder, pattern, pictures);
    return pictures.empty() ? std::string() : pictures.front();
}

bool SetsController::AutoRandomOn() { return hooks_.autoRandomOn ? hooks_.autoRandomOn() : s_.AutoRandomTime != 0; }

int SetsController::Ask(const std::string& text, uint8_t style, const std::string& title) {
    if (AutoRandomOn()) return (style & 4) == 4 || (style & 3) == 3 ? 6 : 1;
    return env_.msg->ShowMsg(text, style, title);
}

bool SetsController::PlayButtonSound() { return hooks_.playButtonSound && hooks_.playButtonSound(); }

void SetsController::DoEvents() {
    if (env_.pump) env_.pump->DoEvents();
}

std::string SetsController::Text(Lst list) {
    const int i = view_.Selected(list);
    return i >= 0 && i < view_.Count(list) ? view_.Item(list, i) : std::string();
}

int SetsController::Find(Lst list, const std::string& text) {
    const int n = view_.Count(list);
    for (int i = 0; i < n; ++i)
        if (SameText(view_.Item(list, i), text)) return i;
    return -1;
}

void SetsController::SelectIndex(Lst list, int index) {
    if (index < 0 || view_.Selected(list) == index) return;
    view_.Select(list, index);
    switch (list) {
        case Lst::cmbClouds: cmbClouds_Click(); break;
        case Lst::cmbOption: cmbOption_Click(); break;
        case Lst::lstSky: LstSky_Click(); break;
        case Lst::lstSkyFil: lstSkyFil_Click(); break;
        default: break;
    }
}

void SetsController::ChooseSet(int index) {
    if (index < 0 || index >= view_.Count(Lst::cmbClouds)) return;
    view_.Select(Lst::cmbClouds, index);
    cmbClouds_Click();
}

void SetsController::ClearLists() {
    for (Lst l : {Lst::cmbClouds, Lst::cmbOption, Lst::lstClouds, Lst::lstOption, Lst::lstSky}) view_.Clear(l);
}

void SetsController::FillSetLists() {
    view_.Clear(Lst::cmbClouds);
    view_.Clear(Lst::lstSky);
    for (const DataEntry& e : cat_.entries) {
        view_.Add(Lst::cmbClouds, e.name);
        view_.Add(Lst::lstSky, e.name);
    }
    if (view_.Count(Lst::cmbClouds) > 0) ChooseSet(0);
}

void SetsController::FillCloudFiles(const std::string& setName) {
    const std::string folder = SubPath(s_.DataDir, setName);
    std::vector<std::string> files;
    ListFiles(env_, folder, "*.*", files);
    view_.Clear(Lst::lstClouds);
    for (const std::string& f : files)
        if (EndsWithBmp(f)) view_.Add(Lst::lstClouds, FileNameOf(f));
    for (int i = view_.Count(Lst::lstClouds) - 1; i >= 0; --i) view_.SetChecked(Lst::lstClouds, i, true);

    std::vector<std::string> options;
    ListDirs(env_, folder, options);
    view_.Clear(Lst::cmbOption);
    view_.Clear(Lst::lstOption);
    for (const std::string& o : options) view_.Add(Lst::cmbOption, o);
    if (!options.empty()) SelectIndex(Lst::cmbOption, 0);
    cmdCont();
}

void SetsController::FillOptionFiles(const std::string& optionName) {
    std::vector<std::string> files;
    ListFiles(env_, SubPath(SubPath(s_.DataDir, Text(Lst::cmbClouds)), optionName), "*.*", files);
    view_.Clear(Lst::lstOption);
    for (const std::string& f : files)
        if (EndsWithBmp(f)) view_.Add(Lst::lstOption, FileNameOf(f));
}

void SetsController::ShowPreview(const std::string& folder) { view_.ShowPicture(PickPreview(env_, folder)); }

void SetsController::cmbClouds_Click() {
    const std::string name = Text(Lst::cmbClouds);
    state_.CurrentSet = name;
    if (!SameText(Text(Lst::lstSky), name)) {
        // Both lists hold the catalogue in the same order: prefer the same
        // position, so that two entries of one name stay apart.
        const int same = view_.Selected(Lst::cmbClouds);
        const bool samePos = same >= 0 && same < view_.Count(Lst::lstSky) && view_.Item(Lst::lstSky, same) == name;
        SelectIndex(Lst::lstSky, samePos ? same : Find(Lst::lstSky, name));
    }
    FillCloudFiles(name);
    if (!state_.RandomMode) ShowPreview(SubPath(s_.DataDir, name));
    DoEvents();
    if (!state_.RandomMode) view_.SetCaption(Ctl::lblMsg, name);
}

void SetsController::cmbOption_Click() {
    const std::string name = Text(Lst::cmbOption);
    FillOptionFiles(name);
    view_.SetCaption(Ctl::lblMsg, name);
}

void SetsController::LstSky_Click() {
    const std::string name = Text(Lst::lstSky);
    if (SameText(name, Text(Lst::cmbClouds))) return;
    const int same = view_.Selected(Lst::lstSky);
    const bool samePos =
        same >= 0 && same < view_.Count(Lst::cmbClouds) && view_.Item(Lst::cmbClouds, same) == name;
    SelectIndex(Lst::cmbClouds, samePos ? same : Find(Lst::cmbClouds, name));
}

void SetsController::lstSkyFil_Click() {
    if (view_.Count(Lst::lstSkyFil) == 0) return;
    SelectIndex(Lst::lstSky, Find(Lst::lstSky, Text(Lst::lstSkyFil)));
}

void SetsController::lblFilter_Click(int index) {
    if (state_.RandomMode || index < 0 || index > 5) return;
    for (int i = 0; i < 6; ++i) {
        view_.SetFilterColor(i, kFilterColor);
        DoEvents();
    }
    view_.SetFilterColor(index, kFilterChosenColor);
    if (index == 0) {
        if (view_.Count(Lst::lstSky) > 0) SelectIndex(Lst::lstSky, 0);
        view_.SetVisible(Ctl::lstSky, true);
        view_.SetVisible(Ctl::lstSkyFil, false);
        return;
    }
    view_.Clear(Lst::lstSkyFil);
    for (const std::string& name : FilterNames(cat_, static_cast<int16_t>(index))) view_.Add(Lst::lstSkyFil, name);
    if (view_.Count(Lst::lstSkyFil) > 0) {
        SelectIndex(Lst::lstSkyFil, 0);
        view_.SetVisible(Ctl::lstSkyFil, true);
        view_.SetVisible(Ctl::lstSky, false);
    }
}

std::vector<std::string> SetsController::CheckedItems(Lst list) {
    std::vector<std::string> items;
    const int n = view_.Count(list);
    for (int i = 0; i < n; ++i)
        if (view_.Checked(list, i)) items.push_back(view_.Item(list, i));
    return items;
}

void SetsController::KeepChecksApart(Lst winner, Lst other) {
    const std::vector<std::string> checked = CheckedItems(winner);
    if (checked.empty()) return;
    const int n = view_.Count(other);
    for (int i = 0; i < n; ++i) {
        if (!view_.Checked(other, i)) continue;
        const std::string item = view_.Item(other, i);
        for (const std::string& c : checked)
            if (SameText(c, item)) {
                view_.SetChecked(other, i, false);
                break;
            }
    }
}

void SetsController::lstClouds_Click() {
    if (!AutoRandomOn() && !state_.RandomMode && s_.ShowSkyFiles) view_.SetCaption(Ctl::lblMsg, Text(Lst::lstClouds));
    KeepChecksApart(Lst::lstClouds, Lst::lstOption);
    cmdCont();
}

void SetsController::lstOption_Click() {
    if (!AutoRandomOn() && !state_.RandomMode) view_.SetCaption(Ctl::lblMsg, Text(Lst::lstOption));
    KeepChecksApart(Lst::lstOption, Lst::lstClouds);
    cmdCont();
}

void SetsController::lstClouds_MouseDown(int button) {
    if (button == 2 && view_.Count(Lst::lstClouds) > 0) view_.Popup(Menu::mnuPopUpCloud);
}

void SetsController::lstOption_MouseDown(int button) {
    if (button == 2 && view_.Count(Lst::lstOption) > 0) view_.Popup(Menu::mnuPopUpOption);
}

void SetsController::lblOption_Click() { view_.Popup(Menu::mnuPopUpForm); }

void SetsController::SetAllChecks(Lst list, bool checked) {
    for (int i = view_.Count(list) - 1; i >= 0; --i) view_.SetChecked(list, i, checked);
    // Checking a whole list takes its names out of the other one.
    if (checked) KeepChecksApart(list, list == Lst::lstClouds ? Lst::lstOption : Lst::lstClouds);
    cmdCont();
}

void SetsController::mnuCheckCloudAll_Click() { SetAllChecks(Lst::lstClouds, true); }
void SetsController::mnuClearCloudAll_Click() { SetAllChecks(Lst::lstClouds, false); }
void SetsController::mnuCheckOptionAll_Click() { SetAllChecks(Lst::lstOption, true); }
void SetsController::mnuClearOptionAll_Click() { SetAllChecks(Lst::lstOption, false); }

void SetsController::optSky_Click() {
    PlayButtonSound();
    if (!state_.RandomMode && s_.BackupEnabled) {
        view_.SetEnabled(Ctl::cmdBackUp, true);
        view_.SetEnabled(Ctl::cmdToOrg, true);
    }
    view_.SetVisible(Ctl::lstFLT, false);
    // Back from the situation view: the backup buttons and the set's own
    // preview come back too.
    view_.SetVisible(Ctl::cmdBackUp, s_.BackupEnabled);
    view_.SetVisible(Ctl::cmdToOrg, s_.BackupEnabled);
    view_.SetVisible(Ctl::imgSky, true);
    if (!state_.RandomMode && !Text(Lst::cmbClouds).empty()) ShowPreview(SubPath(s_.DataDir, Text(Lst::cmbClouds)));
    if (s_.ShowSkyFiles) {
        if (!state_.RandomMode)
            for (Ctl c : {Ctl::cmbClouds, Ctl::lstClouds, Ctl::cmbOption, Ctl::lstOption}) view_.SetVisible(c, true);
        view_.SetVisible(Ctl::lblFilter, false);
    } else {
        view_.SetVisible(Ctl::lstSkyFil, false);
        if (!state_.RandomMode) {
            view_.SetVisible(Ctl::lstSky, true);
            view_.SetVisible(Ctl::lblFilter, true);
        }
    }
    view_.SetCaption(Ctl::lblFunc, "Sky");
    if (Text(Lst::cmbClouds).empty() && view_.Count(Lst::cmbClouds) > 0) ChooseSet(0);
}

void SetsController::ButtonCtrl(bool enable) {
    // While a copy loop runs (an AutoRandom stop from inside it), the
    // controls stay as the state makes them: off until it ends.
    if (enable && busy_ > 0) {
        ApplyStates();
        return;
    }
    ApplyPlan(view_, ButtonCtrlPlan(enable, view_.OptionChosen(Ctl::optFLT), view_.Count(Lst::lstFLT), s_.BackupEnabled));
    // The simulator choice goes with them: a switch would reload everything
    // under a running copy loop or AutoRandom.
    view_.SetEnabled(Ctl::optFs0, enable && state_.FsAvailable[0]);
    view_.SetEnabled(Ctl::optFs1, enable && state_.FsAvailable[1]);
}

void SetsController::cmdCont() {
    const bool any = !CheckedItems(Lst::lstClouds).empty() || !CheckedItems(Lst::lstOption).empty();
    ApplyPlan(view_, CmdContPlan(view_.OptionChosen(Ctl::optFLT), AutoRandomOn(), state_.RandomMode, any, s_.BackupEnabled));
}

BusyScope::BusyScope(SetsController& c, Operation op) : c_(c), scope_(GuardOf(c.env_), op) {
    if (!scope_) return;
    ++c_.busy_;
    c_.ButtonCtrl(false);
}

BusyScope::~BusyScope() {
    if (!scope_) return;
    scope_.Leave();
    // The outermost loop: the states as they now are (still all off while
    // the operation around it goes on).
    if (--c_.busy_ == 0) c_.ApplyStates();
}

bool SetsController::EndAsked() const { return vm::EndAsked(env_); }

void SetsController::ApplyStates() {
    const OperationGuard* guard = GuardOf(env_);
    MainState m;
    m.busy = busy_ > 0 || (guard && guard->Holding(hold::kTextures));
    m.periodSet = AutoRandomOn();
    m.autoRandomRunning = hooks_.autoRandomRunning ? hooks_.autoRandomRunning() : m.periodSet;
    m.randomMode = state_.RandomMode;
    m.fltChosen = view_.OptionChosen(Ctl::optFLT);
    m.fltCount = view_.Count(Lst::lstFLT);
    m.anyChecked = !CheckedItems(Lst::lstClouds).empty() || !CheckedItems(Lst::lstOption).empty();
    m.backupEnabled = s_.BackupEnabled;
    m.fsAvailable[0] = state_.FsAvailable[0];
    m.fsAvailable[1] = state_.FsAvailable[1];
    ApplyPlan(view_, ComputeMainControls(m));
}

}  // namespace vm
