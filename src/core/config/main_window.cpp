#include "config/main_window.h"

#include <cstdio>


namespace vm {

const char* const kFontSizeTitle = "Screen Font Size Error";
const char* const kFontSizeText =
    "Sorry...\r\nVellmora does not apply Large font size.\r\nPlease select Small font size from Display property.";

bool FontSizeOk(int logPixelsX) { return logPixelsX == 96; }

SkyLayout LayoutBySkyFiles(bool showSkyFiles) {
    if (showSkyFiles) return {true, false, false, false, 2085};
    return {false, true, false, true, 960};
}

TrayAction TrayIconAction(double xTwips) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%lX", static_cast<unsigned long>(static_cast<long>(xTwips)));
    const std::string h = hex;
    if (h == "1E0F") return TrayAction::ToggleWindow;  // left button down
    if (h == "1E3C") return TrayAction::Popup;         // right button down
    return TrayAction::None;
}

bool DragAnchors(int button) { return button != 2; }

AutoRandomStart AutoRandomAtStart(double autoRandomTime) {
    AutoRandomStart a;
    a.timeCaption = TimeCaption(autoRandomTime);
    if (autoRandomTime == 0) {
        a.buttonsOn = true;
    } else {
        a.disableInstall = true;
    }
    return a;
}

bool WatchWithLink(const Settings& s, bool modulePresent) {
    return modulePresent && (s.RefreshCloud[0] || s.RefreshCloud[1] || s.UseFsAny);
}

bool StartInSituation(const Settings& s) { return s.StartSel == "situation"; }

std::vector<std::string> EditorCommands(const std::string& editorPath, const std::string& iniPath) {
    // Quoted, so that blanks in either path neither pick another program
    // ("C:\Program.exe" for "C:\Program Files\...") nor split the file.
    const auto quoted = [](const std::string& path) { return "\"" + path + "\""; };
    std::vector<std::string> out;
    if (!editorPath.empty()) out.push_back(quoted(editorPath) + " " + quoted(iniPath));
    out.push_back("notepad.exe " + quoted(iniPath));
    return out;
}

std::string TimeCaption(double autoRandomTime) {
    if (autoRandomTime == 0) return "Off";
    // The number as the old string conversion writes it: no trailing zeros.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", autoRandomTime);
    return std::string(buf) + "min";
}

const char* const kInstanceName = "Vellmora.SingleInstance";

bool FirstInstance(const std::function<InstanceMutex(const std::string& name)>& create) {
    switch (create(std::string("Global\\") + kInstanceName)) {
        case InstanceMutex::Created: return true;
        case InstanceMutex::Exists: return false;
        case InstanceMutex::Refused: break;
    }
    // No global namespace (an old system, or one that refuses it): one
    // copy per session is what remains.
    return create(kInstanceName) != InstanceMutex::Exists;
}

void RunStartup(const StartupSteps& s) {
    auto run = [](const std::function<void()>& f) {
        if (f) f();
    };
    run(s.FontSizeOk);
    run(s.PrepareLogo);
    run(s.StartSound);
    if (s.ShowLogo && s.ShowLogo()) run(s.RunLogo);
    run(s.FindIni);
    run(s.DetectSimulators);
    run(s.DefaultRandomFlags);
    run(s.NormaliseAndSaveOrder);
    run(s.PrepareSplash);
    run(s.Situations);
    run(s.BackupButtons);
    run(s.Layout);
    run(s.ApplyFont);
    run(s.AutoRandomState);
    run(s.SelectRefreshMode);
    run(s.SimulatorWatch);
    run(s.WeatherMenu);
    run(s.StartSel);
}

}  // namespace vm
