#include "config/key_table.h"

namespace vm {

const std::vector<IniKey>& IniKeys() {
    static const std::vector<IniKey> kKeys = {
        {"ShowLogo", "Show", "on", "on shows the logo while Vellmora starts; off starts without it"},
        {"AppName", "Name", "Vellmora", "The program's name (must be present)"},
        {"DataDirName", "Name", "VellmoraSets",
         "The data folder: this folder inside the simulator's texture folder holds your texture sets"},
        {"DataPath", "Path", "fs2002\\texture\\VellmoraSets",
         "Where the data folder is when it is not in the texture folder (fs2002\\ = the simulator's folder, vellmora\\ = this folder)"},
        {"Test", "RandomWait", "0", "Milliseconds AutoRandom waits before each change (0: none)"},
        {"BackUpFunc", "Func", "on", "on backs up the simulator's own textures before the first install"},
        {"BackUpDirName", "Name", "VellmoraBackup", "The backup folder inside the simulator's texture folder"},
        {"Situation", "Loc", "FLIGHTS\\Vellmora", "The situations folder inside the simulator's folder"},
        {"Situation", "CfgFile", "FS2002.CFG", "The simulator's configuration file that names the situation it starts with"},
        {"Situation", "Section", "SITUATIONS", "The section of that file that names the start situation"},
        {"Situation", "Key", "SITUATION", "The key of that section that names the start situation"},
        {"ShowSkyFiles", "ShowFiles", "False", "True lists the bitmap files of the chosen set"},
        {"Unload", "Unload_Me_After_FsStart", "False", "True ends Vellmora once it has started the simulator"},
        {"StretchMode", "Stretch", "on", "on fits the preview picture to its frame; off shows it at its own size"},
        {"AutoRandomSound", "Beep", "off", "on plays a sound at each AutoRandom change"},
        {"AutoRandomSound", "File", "", "The .wav file of that sound (empty: the system beep)"},
        {"ButtonSound", "Beep", "off", "on plays a sound at each button click"},
        {"ButtonSound", "File", "", "The .wav file of that sound (empty: the system beep)"},
        {"StartSel", "Sel", "sky", "What the main window shows first: sky (the sets) or situation"},
        {"ShowErrSet", "Show", "off", "on also lists set folders that hold no bitmaps"},
        {"InitRndTime", "InitRndTime", "0", "AutoRandom's interval in minutes at start (0: AutoRandom off)"},
        {"InitRndTime", "TimeResUnder1sec", "0.1", "The step of a click on the AutoRandom time, in seconds (0.1 to 1)"},
        {"AutoRefresh", "RefreshCloud", "off", "on refreshes the clouds of the running simulator after AutoRandom installs"},
        {"AutoRefresh", "WaitTimeAfterClear", "20", "Seconds between clearing the clouds and bringing them back"},
        {"AutoRefresh", "IncTime", "0", "Seconds over which the cloud cover grows back (0: at once)"},
        {"AutoRefresh", "DecTime", "0", "Seconds over which the cloud cover thins out (0: at once)"},
        {"AutoRefreshByInstallButton", "RefreshCloud", "off", "on refreshes the clouds of the running simulator after Install"},
        {"AutoRefreshByInstallButton", "WaitTimeAfterClear", "20", "Seconds between clearing the clouds and bringing them back"},
        {"AutoRefreshByInstallButton", "IncTime", "0", "Seconds over which the cloud cover grows back (0: at once)"},
        {"AutoRefreshByInstallButton", "DecTime", "0", "Seconds over which the cloud cover thins out (0: at once)"},
        {"Splash Screen", "Splash", "off", "on turns the simulator's splash picture before each start"},
        {"Splash Screen", "Path", "fs2002\\UIRES\\Vellmora", "The folder of the splash pictures (.bmp)"},
        {"Splash Screen", "LastNo", "0", "The number of the splash picture shown last (kept by Vellmora)"},
        {"Splash Screen", "Mode", "random", "random or order: how the next splash picture is chosen"},
        {"Sound", "Ch1Path", "vellmora\\Sounds\\Ambience1", "The folder of ambience channel 1's sound files"},
        {"Sound", "Ch2Path", "vellmora\\Sounds\\Ambience2", "The folder of ambience channel 2's sound files"},
        {"Sound", "Ch1Vol", "50", "Volume of ambience channel 1 (0 to 100)"},
        {"Sound", "Ch2Vol", "50", "Volume of ambience channel 2 (0 to 100)"},
        {"Sound", "Ch3Vol", "50", "Volume of the music (0 to 100)"},
        {"Sound", "Ch1Intvl", "5", "Seconds between the sounds of channel 1 (0 to 60)"},
        {"Sound", "Ch2Intvl", "5", "Seconds between the sounds of channel 2 (0 to 60)"},
        {"Sound", "LastMusicPath", "", "The folder the music list's file dialog opened last (kept by Vellmora)"},
        {"Sound", "MusicFile1", "", "The music list: MusicFile1, MusicFile2 and on (kept by the playlist editor)"},
        {"UseFSUIPforSound", "Ch1", "off", "on lets channel 1's volume follow the aircraft through a thunderstorm layer"},
        {"UseFSUIPforSound", "Ch2", "off", "on lets channel 2's volume follow the aircraft through a thunderstorm layer"},
        {"UseFSUIPforSound", "MinVol1", "10", "Channel 1's volume outside the storm (0 to 100)"},
        {"UseFSUIPforSound", "MaxVol1", "100", "Channel 1's volume inside the storm (0 to 100)"},
        {"UseFSUIPforSound", "MinVol2", "10", "Channel 2's volume outside the storm (0 to 100)"},
        {"UseFSUIPforSound", "MaxVol2", "100", "Channel 2's volume inside the storm (0 to 100)"},
        {"LastInstalled", "NumberOfDisp", "3", "How many recently installed sets the Last Installed list shows"},
        {"LastInstalled", "1", "", "The recently installed sets: 1, 2 and on (kept by Vellmora)"},
        {"Editor", "Path", "", "A text editor to open cloud.ini with from the menu (empty: none)"},
        {"WaitTime", "Time", "100", "Milliseconds the weather editor waits for the simulator's answer (0 to 1000)"},
        {"Font", "Proportional", "", "The font of the lists (empty: the standard one)"},
        {"Font", "Fix", "", "The fixed-width font of the reports (empty: the standard one)"},
        {"ToolTipsText", "Sky", "", "Tooltip of the Sky choice (empty: the built-in one)"},
        {"ToolTipsText", "Situation", "", "Tooltip of the Situation choice"},
        {"ToolTipsText", "Random", "", "Tooltip of the Random button"},
        {"ToolTipsText", "Inst&RunFs", "", "Tooltip of the Install + Start button"},
        {"ToolTipsText", "Install", "", "Tooltip of the Install button"},
        {"ToolTipsText", "AutoInstall", "", "Tooltip of the AutoRandom label"},
        {"ToolTipsText", "RndomTime/Off", "", "Tooltip of the AutoRandom time"},
        {"ToolTipsText", "Option", "", "Tooltip of the option list"},
        {"ToolTipsText", "FilterOfList", "", "Tooltip of the list filters"},
        {"ToolTipsText", "DataList", "", "Tooltip of the set list"},
        {"ToBeBackuped", "bk", "all", "all backs up every texture a set can replace; remove it to list files as bk1, bk2 and on"},
        {"ToBeBackuped", "bk1", "cld1.bmp", "One texture file to back up (read only without bk=all)", true},
        {"Set1", "DirName", "My First Set", "The first set: its folder inside the data folder (Set2, Set3 and on follow)"},
        {"Set1", "from", "1", "With to: a numbered series of folders, DirName1 to DirNameN", true},
        {"Set1", "to", "3", "The last number of the series", true},
        {"Set1", "Random", "on", "off leaves this set out of Random and AutoRandom"},
        {"Set1", "Order", "", "The set's place in the AutoRandom order (kept by Vellmora)"},
    };
    return kKeys;
}

std::string StarterIni() {
    std::string out = "; Vellmora's settings. Each key has a line saying what it does.\r\n";
    std::string section;
    for (const IniKey& k : IniKeys()) {
        if (section != k.section) {
            section = k.section;
            out += "[" + section + "]\r\n";
        }
        out += std::string("; ") + k.comment + "\r\n";
        out += std::string(k.example ? ";" : "") + k.key + "=" + k.value + "\r\n";
    }
    return out;
}

}  // namespace vm
