#include "config/loader.h"

#include <optional>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/detect.h"

namespace vm {

namespace {

const char* const kReadError = "ini read Error";
const char* const kNoDataFolderTitle = "No Data Folder";

// The data folder is missing: the folder to make, and what goes in it.
std::string NoDataFolderText(const std::string& folder) {
    return "The data folder does not exist yet:\r\n" + folder +
           "\r\nCreate it and put your texture sets in it, one folder per set holding its .bmp files "
           "and a preview picture, named as the [Set1], [Set2] ... sections of cloud.ini name them.";
}

// A value read from cloud.ini is "Error" when its key is not given.
bool Absent(const std::string& v) { return SameText(v, "Error"); }
bool IsOn(const std::string& v) { return LCase(v) == "on"; }

std::optional<int16_t> IntOf(const std::string& v) {
    if (IntCheck(v) != "OK") return std::nullopt;
    return ToInt16(v);
}

// A backup folder name made only of dots names the data folder's parent
// itself (".") or the folder above it (".."), not a folder of its own.
bool OnlyDots(const std::string& name) {
    const std::string t = Trim(name);
    return !t.empty() && t.find_first_not_of('.') == std::string::npos;
}

// Whether two folder paths name the same folder: case is ignored, and so
// are the separators, blanks and dots that Windows drops from a path's end.
bool SamePlace(const std::string& a, const std::string& b) {
    auto norm = [](std::string p) {
        for (char& c : p)
            if (c == '/') c = '\\';
        while (!p.empty() && (p.back() == '\\' || p.back() == ' ' || p.back() == '.')) p.pop_back();
        return UCase(p);
    };
    return norm(a) == norm(b);
}

// One loader run: one reader for the whole file, the settings it fills.
class Loader {
public:
    Loader(Env& env, Settings& s, FontTable& fonts, ConfigView& view)
        : env_(env), s_(s), fonts_(fonts), view_(view), rd_(env) {
        rd_.FileName = IniPath(env, s);
    }

    clsCfgRead& Reader() { return rd_; }

    void ReadKeys() {
        Read("AppName", "Name", true);
        ReadDataFolder();
        const std::string wait = Read("Test", "RandomWait");
        s_.RandomWait = LongCheck(wait) == "OK" ? ToInt32(wait).value_or(0) : 0;
        ReadBackup();
        ReadSituation();
        s_.ShowSkyFiles = ReadBool("ShowSkyFiles", "ShowFiles");
        s_.UnloadAfterFsStart = ReadBool("Unload", "Unload_Me_After_FsStart");
        s_.StretchImage = LCase(Read("StretchMode", "Stretch")) != "off";
        view_.SetStretch(s_.StretchImage);
        ReadSoundFile("AutoRandomSound", s_.AutoRandomBeep, s_.AutoRandomSoundFile);
        ReadSoundFile("ButtonSound", s_.ButtonBeep, s_.ButtonSoundFile);
        const std::string sel = LCase(Read("StartSel", "Sel"));
        s_.StartSel = (sel == "sky" || sel == "situation") ? sel : "sky";
        s_.ShowErrSet = IsOn(Read("ShowErrSet", "Show"));
        ReadRandomTime();
        ReadRefresh();
        ReadSplash();
        ReadMusic();
        ReadIpcVolume();
        ReadLastInstalled();
        const std::string editor = Read("Editor", "Path");
        s_.EditorPath = !Absent(editor) && FileCheck(env_, editor) == "OK" ? editor : "";
        const auto time = IntOf(Read("WaitTime", "Time"));
        s_.WaitTime = !time || *time < 0 ? 100 : *time > 1000 ? 1000 : *time;
        ReadFonts();
        ReadToolTips();
    }

private:
    std::string Read(const std::string& section, const std::string& key, bool mandatory = false) {
        return ReadValue(env_, rd_, section, key, mandatory);
    }

    bool ReadBool(const std::string& section, const std::string& key) {
        const std::string v = Read(section, key);
        return IsBool(v) && ToBool(v).value_or(false);
    }

    std::string Expanded(std::string path) { return ExpandPath(env_, s_.FsDir, path); }

    void ReadDataFolder() {
        const std::string v = Read("DataDirName", "Name");
        const std::string own = s_.TextureDir + "\\" + v;
        if (DirCheck(env_, own) == "OK") {
            s_.DataDir = own;
            return;
        }
        // The other simulator's texture folder; an uninstalled one has no
        // folder to look in (an empty FsPath would name the drive's root).
        const int other = s_.FsIndex == 0 ? 1 : 0;
        if (!s_.FsPath[other].empty()) {
            const std::string there = s_.FsPath[other] + "\\texture\\" + v;
            if (DirCheck(env_, there) == "OK") {
                s_.DataDir = there;
                return;
            }
        }
        const std::string p = Read("DataPath", "Path", true);
        if (DirCheck(env_, p) == "OK") {
            s_.DataDir = p;
            return;
        }
        const std::string expanded = Expanded(p);
        if (DirCheck(env_, expanded) == "Error")
            Fatal(env_, kNoDataFolderTitle, NoDataFolderText(Absent(v) ? expanded : own));
        s_.DataDir = expanded;
    }

    void ReadBackup() {
        s_.BackupEnabled = IsOn(Read("BackUpFunc", "Func"));
        if (!s_.BackupEnabled) return;
        const std::string name = Read("BackUpDirName", "Name", true);
        // A blank name would make the backup folder the data folder's parent.
        if (Trim(name).empty()) Fatal(env_, kReadError, "BackUpDirName,Name can't read from ini file.");
        if (NameCheck(name) == "Error" || OnlyDots(name))
            Fatal(env_, kReadError, "A wrong character is included in BackUpDirName.");
        // The backup folder belongs to the selected simulator: its texture
        // folder's own, wherever the data folder was found. Derived from the
        // data folder, a data folder in the other simulator's texture folder
        // (or elsewhere) would give two simulators one backup folder.
        s_.BackupDir = s_.TextureDir + "\\" + name;
        if (SamePlace(s_.BackupDir, s_.TextureDir) || SamePlace(s_.BackupDir, s_.DataDir))
            Fatal(env_, kReadError,
                  "BackUpDirName names the Texture folder or the Cloud Data folder itself." + std::string("\r\n") +
                      s_.BackupDir);
    }

    void ReadSituation() {
        const std::string loc = Read("Situation", "Loc");
        if (Absent(loc)) {
            s_.SituationEnabled = false;
        } else {
            s_.SituationLoc = loc;
            s_.SituationDir = s_.FsDir + "\\" + loc;
            s_.SituationEnabled = DirCheck(env_, s_.SituationDir) == "OK";
        }
        SetIfPresent(s_.SituationCfgFile, Read("Situation", "CfgFile"));
        SetIfPresent(s_.SituationSection, Read("Situation", "Section"));
        SetIfPresent(s_.SituationKey, Read("Situation", "Key"));
    }

    static void SetIfPresent(std::string& field, const std::string& v) {
        if (!Absent(v)) field = v;
    }

    // [AutoRandomSound] and [ButtonSound]. With the sound switched off the
    // file is emptied, so that a reload after the switch was turned off does
    // not keep playing the file of the previous run.
    void ReadSoundFile(const std::string& section, bool& beep, std::string& file) {
        beep = IsOn(Read(section, "Beep"));
        if (!beep) {
            file.clear();
            return;
        }
        const std::string v = Read(section, "File");
        if (!Absent(v)) file = Expanded(v);
    }

    void ReadRandomTime() {
        const auto minutes = IntOf(Read("InitRndTime", "InitRndTime"));
        s_.AutoRandomTime = minutes && *minutes > 0 ? *minutes : 0;

        const std::string v = Read("InitRndTime", "TimeResUnder1sec");
        const auto d = IsNumeric(v) ? ToDouble(v) : std::nullopt;
        if (!d) {
            s_.TimeRes = 1;
            return;
        }
        const double x = *d * 10;
        if (x > 10)
            s_.TimeRes = 10;
        else if (x < 1)
            s_.TimeRes = 1;
        else
            s_.TimeRes = ToInt16(FormatNumber(x, "0.0")).value_or(1);
    }

    int16_t ReadTiming(const std::string& section, const std::string& key, int16_t absent,
                       const char* negativeText) {
        const std::string v = Read(section, key);
        if (Absent(v)) return absent;
        const std::string head = "Section:" + section + "  Key:" + key + "\r\n";
        const auto n = IntOf(v);
        if (!n) Fatal(env_, kReadError, head + "The data can't be changed Number(Integer).");
        if (*n < 0) Fatal(env_, kReadError, head + negativeText);
        return *n;
    }

    void ReadRefresh() {
        static const char* const kSections[2] = {"AutoRefresh", "AutoRefreshByInstallButton"};
        const bool ipc = IpcModulePresent(env_, s_);
        for (int i = 0; i < 2; ++i) {
            const std::string sec = kSections[i];
            s_.RefreshCloud[i] = IsOn(Read(sec, "RefreshCloud")) && ipc;
            s_.WaitTimeAfterClear[i] =
                ReadTiming(sec, "WaitTimeAfterClear", 20, "The data should be positive number.");
            s_.IncTime[i] = ReadTiming(sec, "IncTime", 0, "The data should be zero or positive number.");
            s_.DecTime[i] = ReadTiming(sec, "DecTime", 0, "The data should be zero or positive number.");
        }
    }

    void ReadSplash() {
        s_.SplashEnabled = IsOn(Read("Splash Screen", "Splash"));
        if (!s_.SplashEnabled) return;
        const std::string path = Read("Splash Screen", "Path");
        s_.SplashDir = Absent(path) ? s_.FsDir + "\\UIRES\\Vellmora" : Expanded(path);
        std::string folder = s_.SplashDir;
        TrimPathEnd(env_, folder);
        if (FileCheck(env_, folder + "\\*.bmp") == "Error") {
            s_.SplashEnabled = false;
            return;
        }
        s_.SplashLastNo = IntOf(Read("Splash Screen", "LastNo")).value_or(0);
        s_.SplashMode = LCase(Read("Splash Screen", "Mode")) == "order" ? "order" : "random";
    }

    static int16_t Bounded(std::optional<int16_t> n, int16_t fallback, int16_t low, int16_t high) {
        if (!n) return fallback;
        return *n > high ? high : *n < low ? low : *n;
    }

    void ReadMusic() {
        for (int i = 0; i < 2; ++i) {
            const std::string v = Read("Sound", "Ch" + std::to_string(i + 1) + "Path");
            if (Absent(v)) continue;
            const std::string dir = Expanded(v);
            s_.ChPath[i] = DirCheck(env_, dir) == "OK" ? dir : "";
        }
        for (int i = 0; i < 3; ++i)
            s_.ChVol[i] = Bounded(IntOf(Read("Sound", "Ch" + std::to_string(i + 1) + "Vol")), 50, 0, 100);
        for (int i = 0; i < 2; ++i)
            s_.ChIntvl[i] = Bounded(IntOf(Read("Sound", "Ch" + std::to_string(i + 1) + "Intvl")), 5, 0, 60);

        const std::string last = Read("Sound", "LastMusicPath");
        if (!Absent(last)) s_.LastMusicPath = DirCheck(env_, last) == "OK" ? last : "";

        s_.MusicList.clear();
        for (int n = 1;; ++n) {
            const std::string v = Read("Sound", "MusicFile" + std::to_string(n));
            if (Absent(v)) break;
            if (!Trim(v).empty() && FileCheck(env_, v) == "OK") s_.MusicList.push_back(v);
        }
    }

    void ReadIpcVolume() {
        if (IpcModulePresent(env_, s_)) {
            for (int i = 0; i < 2; ++i)
                s_.UseFsVol[i] = IsOn(Read("UseFSUIPforSound", "Ch" + std::to_string(i + 1)));
            s_.UseFsAny = s_.UseFsVol[0] || s_.UseFsVol[1];
        } else {
            // A simulator without the module cannot be followed: nothing kept
            // from the one chosen before.
            s_.UseFsVol[0] = s_.UseFsVol[1] = false;
            s_.UseFsAny = false;
        }
        for (int i = 0; i < 2; ++i) {
            const std::string ch = std::to_string(i + 1);
            const auto lo = IntOf(Read("UseFSUIPforSound", "MinVol" + ch));
            s_.MinVol[i] = lo && *lo >= 0 && *lo <= 100 ? *lo : 10;
            const auto hi = IntOf(Read("UseFSUIPforSound", "MaxVol" + ch));
            s_.MaxVol[i] = hi && *hi >= 0 && *hi <= 100 ? *hi : 100;
        }
    }

    void ReadLastInstalled() {
        const auto count = IntOf(Read("LastInstalled", "NumberOfDisp"));
        s_.LastInstCount = !count || *count < 0 ? 3 : *count == 0 ? 1 : *count;

        s_.LastInstalledSets.clear();
        s_.LastInstalledTypes.clear();
        for (int n = 1;; ++n) {
            const std::string v = Read("LastInstalled", std::to_string(n));
            if (Absent(v)) break;
            if (Trim(v).empty() || v.find(',') == std::string::npos) continue;
            const std::string set = LeftOf(v, ",");
            const std::string type = RightOf(v, ",");
            if (set.empty() && type.empty()) continue;
            s_.LastInstalledSets.push_back(set);
            s_.LastInstalledTypes.push_back(type);
        }
    }

    void ReadFonts() {
        const std::string prop = Read("Font", "Proportional");
        if (!Absent(prop)) s_.PropFont = Trim(prop);
        const std::string fix = Read("Font", "Fix");
        if (!Absent(fix)) s_.FixFont = Trim(fix);
        const std::string report = CheckFonts(env_, fonts_, s_.PropFont, s_.FixFont);
        if (!report.empty()) Fatal(env_, kReadError, report);
    }

    void ReadToolTips() {
        using Tips = Settings::ToolTips;
        struct Tip {
            const char* key;
            const char* control;
            int elements;  // 0: a single control
            std::string Tips::*field;
        };
        static const Tip kTips[] = {
            {"Sky", "optSky", 0, &Tips::Sky},
            {"Situation", "optFLT", 0, &Tips::Situation},
            {"Random", "cmdRandom", 0, &Tips::Random},
            {"Inst&RunFs", "cmdInstAndStart", 0, &Tips::InstRunFs},
            {"Install", "cmdInst", 0, &Tips::Install},
            {"AutoInstall", "lblAutoRandom", 0, &Tips::AutoInstall},
            {"RndomTime/Off", "lblTime", 0, &Tips::RndomTime},
            {"Option", "lblOption", 0, &Tips::Option},
            {"FilterOfList", "lblFilter", 6, &Tips::FilterOfList},
            {"DataList", "lstSky", 0, &Tips::DataList},
        };
        for (const Tip& t : kTips) {
            const std::string v = Read("ToolTipsText", t.key);
            if (Absent(v) || Trim(v).empty()) continue;
            s_.Tips.*t.field = v;
            if (t.elements == 0)
                view_.SetToolTip(t.control, -1, v);
            else
                for (int i = 0; i < t.elements; ++i) view_.SetToolTip(t.control, i, v);
        }
    }

    Env& env_;
    Settings& s_;
    FontTable& fonts_;
    ConfigView& view_;
    clsCfgRead rd_;
};

}  // namespace

void FindIni(Env& env, Settings& s) {
    s.IniName = "cloud.ini";
    if (FileCheck(env, IniPath(env, s)) == "Error")
        Fatal(env, "No ini File", "No Cloud.ini file is found in this application folder.");
    StoreIniTime(env, s);
}

std::string ReadValue(Env& env, clsCfgRead& reader, const std::string& section,
                      const std::string& key, bool mandatory) {
    reader.Section = section;
    reader.Key = key;
    std::string v = reader.Data();
    if (reader.ReadFailed || (mandatory && Absent(v)))
        Fatal(env, kReadError, section + "," + key + " can't read from ini file.");
    return v;
}

void ReadConfig(Env& env, Settings& s, FontTable& fonts, ConfigView& view, const LoadSteps& steps) {
    view.ClearLists();
    if (steps.ClearCatalogue) steps.ClearCatalogue();
    if (FileCheck(env, IniPath(env, s)) == "Error")
        Fatal(env, "No ini File", "No ini file is found in this application folder.");

    Loader loader(env, s, fonts, view);
    loader.ReadKeys();

    if (steps.BuildCatalogue) steps.BuildCatalogue(loader.Reader());
    if (steps.BuildEligibility) steps.BuildEligibility();
    if (s.BackupEnabled && DirCheck(env, s.BackupDir) == "Error" && steps.BackupAtLoad)
        steps.BackupAtLoad(loader.Reader());
}

bool LogoEnabled(Env& env) {
    const std::string path = ProgramFile(env, "cloud.ini");
    if (FileCheck(env, path) == "Error") return true;
    clsCfgRead rd(env);
    rd.FileName = path;
    rd.Section = "ShowLogo";
    rd.Key = "Show";
    const std::string v = rd.Data();
    return rd.ReadFailed || LCase(v) != "off";
}

}  // namespace vm
