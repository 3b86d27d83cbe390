#include "sim/situation.h"

#include <utility>
#include <vector>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sets/backup.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";
const std::string kSection = "Vellmora";

std::string Trimmed(const std::string& t) { return Trim(t); }

}  // namespace

std::string TrimLeadingBreaks(const std::string& text) {
    std::string t = Trimmed(text);
    while (t == kCrLf || (t.size() >= 3 && t.compare(0, 2, kCrLf) == 0)) t.erase(0, 2);
    return Trimmed(t);
}

std::string TrimTrailingBreaks(const std::string& text) {
    std::string t = Trimmed(text);
    while (t == kCrLf || (t.size() >= 3 && t.compare(t.size() - 2, 2, kCrLf) == 0)) t.erase(t.size() - 2);
    return Trimmed(t);
}

std::string SituationController::FilePath(const std::string& name, const char* ext) const {
    return s_.SituationDir + "\\" + name + ext;
}

CfgTarget ResolveCfgFile(const Settings& s) {
    CfgTarget t;
    const std::pair<const char*, const std::string*> given[] = {
        {"CfgFile", &s.SituationCfgFile}, {"Section", &s.SituationSection}, {"Key", &s.SituationKey}};
    for (const auto& [key, value] : given)
        if (Trim(*value).empty()) {
            t.missing = key;
            return t;
        }
    const std::string& v = s.SituationCfgFile;
    t.place = CfgTarget::Outside;
    // A drive, a stream, a root or a share, and characters no file name has.
    if (v.find_first_of(":*?\"<>|") != std::string::npos || v[0] == '\\' || v[0] == '/') return t;
    std::vector<std::string> parts;
    std::string segment;
    for (size_t i = 0; i <= v.size(); ++i) {
        if (i < v.size() && v[i] != '\\' && v[i] != '/') {
            segment += v[i];
            continue;
        }
        if (segment == "..") {
            if (parts.empty()) return t;  // above the simulator folder
            parts.pop_back();
        } else if (!segment.empty() && segment != ".") {
            // "...", ". ." and the like: the platform trims such names to
            // something else.
            if (segment.find_first_not_of(". ") == std::string::npos) return t;
            parts.push_back(segment);
        }
        segment.clear();
    }
    if (parts.empty()) return t;  // the simulator folder itself
    t.path = s.FsDir;
    for (const std::string& part : parts) t.path += "\\" + part;
    t.place = CfgTarget::Ok;
    return t;
}

std::string SituationController::CfgFileToWrite(bool quietWhenMissing) {
    const CfgTarget t = ResolveCfgFile(s_);
    if (t.place == CfgTarget::Outside) {
        env_.msg->ShowMsg("[Situation] CfgFile must name a file inside the simulator folder." + kCrLf +
                              "CfgFile=" + s_.SituationCfgFile,
                          48, "CfgFile Error");
        return std::string();
    }
    if (t.place == CfgTarget::NotGiven) {
        if (!quietWhenMissing)
            env_.msg->ShowMsg("Not found [Situation] " + t.missing + " in cloud.ini", 48, "File Not Found");
        return std::string();
    }
    if (!FileExists(env_, t.path)) {
        if (!quietWhenMissing) env_.msg->ShowMsg("Not found " + s_.SituationCfgFile, 48, "File Not Found");
        return std::string();
    }
    return t.path;
}

bool SituationController::WriteCfg(const std::string& cfg, const std::string& value) {
    // A read-only file is refused here: some platforms write it all the same.
    if (const auto a = env_.fs->Attributes(cfg); a && (*a & kAttrReadOnly)) return false;
    clsCfgWrite writer(env_);
    writer.FileName = cfg;
    writer.Section = s_.SituationSection;
    writer.Key = s_.SituationKey;
    writer.Value = value;
    return writer.cWrite();
}

void SituationController::CannotWrite() {
    env_.msg->ShowMsg("Can't write to " + s_.SituationCfgFile + kCrLf +
                          "The file may be read-only or in use by the simulator.",
                      16, "File Write Error");
}

std::string SituationController::Selected() {
    const int i = view_.Selected(Lst::lstFLT);
    return i < 0 || i >= view_.Count(Lst::lstFLT) ? std::string() : view_.Item(Lst::lstFLT, i);
}

void SituationController::Beep() {
    if (env_.sound) env_.sound->Beep();
}

void SituationController::FillSituationList() {
    view_.Clear(Lst::lstFLT);
    if (!s_.SituationEnabled) return;
    const std::vector<FindData> found = env_.fs->Find(s_.SituationDir + "\\*.flt");
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        if (it->attributes & kAttrDirectory || it->name.size() < 4) continue;
        const std::string name = it->name.substr(0, it->name.size() - 4);
        if (SameText(FileCheck(env_, FilePath(name, ".wx")), "OK")) view_.Add(Lst::lstFLT, name);
    }
}

void SituationController::lstFLT_Click() {
    view_.SetCaption(Ctl::lblMsg, "");
    const std::string name = Selected();
    if (name.empty()) return;
    bool described = false;
    if (FileExists(env_, FilePath(name, ".txt"))) {
        const std::string text = TrimTrailingBreaks(TrimLeadingBreaks(env_.fs->Read(FilePath(name, ".txt")).value_or("")));
        if (!text.empty()) {
            if (hooks_.setListTip) hooks_.setListTip(text);
            view_.SetCaption(Ctl::lblMsg, text);
            described = true;
        }
    }
    if (!described) {
        clsCfgRead reader(env_);
        reader.FileName = FilePath(name, ".flt");
        reader.Section = kSection;
        reader.Key = "ShownText";
        const std::string shown = Trim(reader.Data());
        view_.SetCaption(Ctl::lblMsg, shown.empty() || SameText(shown, "Error") ? name : shown);
    }
    const std::string picture = FilePath(name, ".jpg");
    if (FileExists(env_, picture)) {
        view_.ShowPicture(picture);
        view_.SetVisible(Ctl::imgSky, true);
    } else {
        view_.SetVisible(Ctl::imgSky, false);
    }
}

void SituationController::optFLT_Click() {
    if (hooks_.playButtonSound) hooks_.playButtonSound();
    for (Ctl c : {Ctl::lstSky, Ctl::lblFilter, Ctl::cmdToOrg, Ctl::cmdBackUp}) view_.SetVisible(c, false);
    view_.SetVisible(Ctl::lstFLT, true);
    view_.SetCaption(Ctl::lblFunc, "Situation");
    if (s_.ShowSkyFiles) {
        for (Ctl c : {Ctl::cmbClouds, Ctl::lstClouds, Ctl::cmbOption, Ctl::lstOption}) view_.SetVisible(c, false);
    } else {
        view_.SetVisible(Ctl::lstSkyFil, false);
    }
    if (view_.Selected(Lst::lstFLT) >= 0) {
        lstFLT_Click();
    } else if (view_.Count(Lst::lstFLT) > 0) {
        view_.Select(Lst::lstFLT, 0);
        lstFLT_Click();
    }
}

void SituationController::optFLT_MouseDown(int button) {
    if (button == 2) view_.Popup(Menu::mnuPopUpClearSituaion);
}

bool SituationController::InstallSituation() {
    const OperationScope operation(GuardOf(env_), Operation::Situation);
    if (!operation) return false;
    const std::string name = Selected();
    if (name.empty()) {
        env_.msg->ShowMsg("No situation file is selected.", 64, "No Slection");
        Beep();
        return false;
    }
    // The sky sets the situation names, up to the first gap; each kept only
    // when its folder holds bitmaps.
    std::vector<std::string> folders;
    clsCfgRead reader(env_);
    reader.FileName = FilePath(name, ".flt");
    reader.Section = kSection;
    for (int i = 1;; ++i) {
        reader.Key = "SkyFolder" + std::to_string(i);
        const std::string v = Trim(reader.Data());
        if (env_.pump) env_.pump->DoEvents();
        if (reader.ReadFailed || v.empty() || SameText(v, "Error")) break;
        if (!env_.fs->Find(s_.DataDir + "\\" + v + "\\*.bmp").empty()) folders.push_back(v);
    }
    const bool autoRandomOff = !hooks_.autoRandomTime || hooks_.autoRandomTime() == 0;
    // The current selection stands in only when none of the named sets could
    // be chosen: a set that was chosen and then cancelled or not copied is
    // not installed a second time.
    bool chosen = false;
    for (const std::string& v : folders) {
        if (EndAsked(env_)) break;
        int index = -1;
        for (int i = 0; i < view_.Count(Lst::lstSky) && index < 0; ++i)
            if (SameText(view_.Item(Lst::lstSky, i), v)) index = i;
        if (index < 0) continue;  // not among the sets: skipped
        chosen = true;
        view_.Select(Lst::lstSky, index);
        sets_.LstSky_Click();
        sets_.InstallSet();
    }
    if (!chosen && autoRandomOff) sets_.InstallSet();
    lstFLT_Click();

    const std::string cfg = CfgFileToWrite(false);
    if (cfg.empty()) {
        Beep();
        return true;
    }
    if (!WriteCfg(cfg, s_.SituationLoc + "\\" + name)) {
        CannotWrite();
        Beep();
    } else if (!hooks_.playButtonSound || !hooks_.playButtonSound()) {
        Beep();
    }
    return true;
}

void SituationController::ClearSituation() {
    const std::string cfg = CfgFileToWrite(true);
    if (cfg.empty()) return;
    if (!WriteCfg(cfg, "")) CannotWrite();  // no value: the key goes
}

}  // namespace vm
