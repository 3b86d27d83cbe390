// Every value read from cloud.ini, plus the simulator paths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

struct Settings {
    std::string IniName = "cloud.ini";
    double IniTime = 0;

    // Simulator installations (slot 0 and slot 1) and the selected one.
    std::string FsPath[2];
    std::string FsExe[2];
    uint8_t FsIndex = 0;
    std::string FsDir;
    std::string TextureDir;

    std::string DataDir;
    int32_t RandomWait = 0;
    bool BackupEnabled = false;
    std::string BackupDir;
    bool SituationEnabled = false;
    std::string SituationLoc;
    std::string SituationDir;
    std::string SituationCfgFile;
    std::string SituationSection;
    std::string SituationKey;
    bool ShowSkyFiles = false;
    bool UnloadAfterFsStart = false;
    bool StretchImage = false;
    bool AutoRandomBeep = false;
    std::string AutoRandomSoundFile;
    bool ButtonBeep = false;
    std::string ButtonSoundFile;
    std::string StartSel;
    bool ShowErrSet = false;
    double AutoRandomTime = 0;  // minutes; 0 = AutoRandom off
    int16_t TimeRes = 0;        // tenths of a second, 1 to 10

    // Index 0: [AutoRefresh] (AutoRandom on); index 1: [AutoRefreshByInstallButton].
    bool RefreshCloud[2] = {false, false};
    int32_t WaitTimeAfterClear[2] = {0, 0};
    int16_t IncTime[2] = {0, 0};
    int16_t DecTime[2] = {0, 0};

    bool SplashEnabled = false;
    std::string SplashDir;
    int16_t SplashLastNo = 0;
    std::string SplashMode;

    std::string ChPath[2];
    int16_t ChVol[3] = {0, 0, 0};
    int16_t ChIntvl[2] = {0, 0};
    std::string LastMusicPath;
    std::vector<std::string> MusicList;

    bool UseFsVol[2] = {false, false};
    int16_t MinVol[2] = {0, 0};
    int16_t MaxVol[2] = {0, 0};
    bool UseFsAny = false;

    int16_t LastInstCount = 0;
    std::vector<std::string> LastInstalledSets;   // set names
    std::vector<std::string> LastInstalledTypes;  // data types

    std::string EditorPath;
    int16_t WaitTime = 0;
    std::string PropFont;
    std::string FixFont;

    // [ToolTipsText] values by key, empty when not given.
    struct ToolTips {
        std::string Sky, Situation, Random, InstRunFs, Install, AutoInstall, RndomTime, Option,
            FilterOfList, DataList;
    } Tips;
};

}  // namespace vm
