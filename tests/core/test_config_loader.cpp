// The cloud.ini loader against an in-memory file system and the profile
// engine: every row's rule, the data folder, the fatal messages.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/detect.h"
#include "config/key_table.h"
#include "config/loader.h"
#include "fakes.h"

namespace vm {
namespace {

class RecordingView : public ConfigView {
public:
    std::vector<std::string> events;
    std::map<std::string, std::string> tips;  // "control(index)" -> text
    void ClearLists() override { events.push_back("ClearLists"); }
    void SetStretch(bool stretch) override { events.push_back(stretch ? "Stretch:1" : "Stretch:0"); }
    void SetToolTip(const std::string& control, int index, const std::string& text) override {
        tips[control + "(" + std::to_string(index) + ")"] = text;
    }
};

const char* const kIni = "C:\\Prog\\cloud.ini";
const std::string kBase = "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sky\r\n";

class LoaderTest : public ::testing::Test {
protected:
    TestEnv t;
    Settings s;
    FontTable fonts;
    RecordingView view;
    LoadSteps steps;
    std::vector<std::string> calls;  // hook calls, in order

    LoaderTest() {
        s.FsPath[0] = "C:\\FS";
        s.FsIndex = 0;
        s.FsDir = "C:\\FS";
        s.TextureDir = "C:\\FS\\texture";
        t.fs.AddDir("C:\\FS\\texture\\Sky");
        steps.ClearCatalogue = [this] { calls.push_back("clear"); };
        steps.BuildCatalogue = [this](clsCfgRead&) { calls.push_back("catalogue"); };
        steps.BuildEligibility = [this] { calls.push_back("eligibility"); };
        steps.BackupAtLoad = [this](clsCfgRead&) { calls.push_back("backup"); };
    }

    void Load() { ReadConfig(t.env, s, fonts, view, steps); }
    void LoadWith(const std::string& extra) {
        t.fs.AddFile(kIni, kBase + extra);
        Load();
    }

    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const std::string& p : t.fs.ListAll()) files[p] = t.fs.Content(p);
        return files;
    }

    // The load ends the program with exactly this one message and changes no file.
    void ExpectFatal(const std::string& title, const std::string& text) {
        const auto before = Snapshot();
        t.msg.calls.clear();
        calls.clear();
        EXPECT_THROW(Load(), ProgramEnd);
        ASSERT_EQ(t.msg.calls.size(), 1u);
        EXPECT_EQ(t.msg.Last().title, title);
        EXPECT_EQ(t.msg.Last().text, text);
        EXPECT_EQ(t.msg.Last().style, 16);
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(calls, std::vector<std::string>{"clear"});  // nothing built after the failure
    }
};

TEST_F(LoaderTest, MinimalFileLoadsWithEveryDefault) {
    t.fs.AddDir("D:\\Clouds");
    t.fs.AddFile(kIni, "[AppName]\r\nName=x\r\n[DataPath]\r\nPath=D:\\Clouds\r\n[Set1]\r\nDirName=A\r\n");
    Load();
    EXPECT_TRUE(t.msg.calls.empty());
    EXPECT_EQ(s.DataDir, "D:\\Clouds");
    EXPECT_EQ(s.RandomWait, 0);
    EXPECT_FALSE(s.BackupEnabled);
    EXPECT_FALSE(s.SituationEnabled);
    EXPECT_FALSE(s.ShowSkyFiles);
    EXPECT_FALSE(s.UnloadAfterFsStart);
    EXPECT_TRUE(s.StretchImage);
    EXPECT_FALSE(s.AutoRandomBeep);
    EXPECT_FALSE(s.ButtonBeep);
    EXPECT_EQ(s.StartSel, "sky");
    EXPECT_FALSE(s.ShowErrSet);
    EXPECT_EQ(s.AutoRandomTime, 0);
    EXPECT_EQ(s.TimeRes, 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(s.RefreshCloud[i]);
        EXPECT_EQ(s.WaitTimeAfterClear[i], 20);
        EXPECT_EQ(s.IncTime[i], 0);
        EXPECT_EQ(s.DecTime[i], 0);
        EXPECT_EQ(s.ChIntvl[i], 5);
        EXPECT_EQ(s.MinVol[i], 10);
        EXPECT_EQ(s.MaxVol[i], 100);
        EXPECT_FALSE(s.UseFsVol[i]);
    }
    EXPECT_EQ(s.ChVol[0], 50);
    EXPECT_EQ(s.ChVol[2], 50);
    EXPECT_FALSE(s.SplashEnabled);
    EXPECT_TRUE(s.MusicList.empty());
    EXPECT_EQ(s.LastInstCount, 3);
    EXPECT_TRUE(s.LastInstalledSets.empty());
    EXPECT_EQ(s.EditorPath, "");
    EXPECT_EQ(s.WaitTime, 100);
    EXPECT_TRUE(view.tips.empty());
    EXPECT_EQ(view.events, (std::vector<std::string>{"ClearLists", "Stretch:1"}));
    // The backup is off, so no backup at load.
    EXPECT_EQ(calls, (std::vector<std::string>{"clear", "catalogue", "eligibility"}));
    EXPECT_EQ(fonts.Count(), 0u);  // no [Font]: no enumeration
}

TEST_F(LoaderTest, NumericAndSwitchRows) {
#define F(expr) [](const Settings& s) { return static_cast<double>(expr); }
    struct Case {
        std::string ini;
        std::function<double(const Settings&)> get;
        double expected;
    };
    const std::vector<Case> cases = {
        {"[Test]\nRandomWait=12345678\n", F(s.RandomWait), 12345678},
        {"[Test]\nRandomWait=3000000000\n", F(s.RandomWait), 0},
        {"[Test]\nRandomWait=&H10\n", F(s.RandomWait), 16},
        {"[Test]\nRandomWait=ten\n", F(s.RandomWait), 0},
        {"[InitRndTime]\nInitRndTime=5\n", F(s.AutoRandomTime), 5},
        {"[InitRndTime]\nInitRndTime=-3\n", F(s.AutoRandomTime), 0},
        {"[InitRndTime]\nInitRndTime=40000\n", F(s.AutoRandomTime), 0},
        {"[InitRndTime]\nTimeResUnder1sec=0.25\n", F(s.TimeRes), 2},
        {"[InitRndTime]\nTimeResUnder1sec=0.35\n", F(s.TimeRes), 4},
        {"[InitRndTime]\nTimeResUnder1sec=0.15\n", F(s.TimeRes), 2},
        // x is first formatted to one decimal, then rounded half to even:
        // 3.45 becomes "3.5" and then 4.
        {"[InitRndTime]\nTimeResUnder1sec=0.345\n", F(s.TimeRes), 4},
        {"[InitRndTime]\nTimeResUnder1sec=5\n", F(s.TimeRes), 10},
        {"[InitRndTime]\nTimeResUnder1sec=1e300\n", F(s.TimeRes), 10},
        {"[InitRndTime]\nTimeResUnder1sec=0.01\n", F(s.TimeRes), 1},
        {"[InitRndTime]\nTimeResUnder1sec=fast\n", F(s.TimeRes), 1},
        {"[AutoRefresh]\nWaitTimeAfterClear=0\n", F(s.WaitTimeAfterClear[0]), 0},
        {"[AutoRefresh]\nWaitTimeAfterClear=-0.4\n", F(s.WaitTimeAfterClear[0]), 0},
        {"[AutoRefreshByInstallButton]\nWaitTimeAfterClear=&H20\n", F(s.WaitTimeAfterClear[1]), 32},
        {"[AutoRefreshByInstallButton]\nIncTime=7\nDecTime=9\n", F(s.IncTime[1] * 100 + s.DecTime[1]), 709},
        {"[Sound]\nCh1Vol=150\n", F(s.ChVol[0]), 100},
        {"[Sound]\nCh2Vol=-3\n", F(s.ChVol[1]), 0},
        {"[Sound]\nCh3Vol=loud\n", F(s.ChVol[2]), 50},
        {"[Sound]\nCh1Intvl=61\n", F(s.ChIntvl[0]), 60},
        {"[Sound]\nCh2Intvl=-1\n", F(s.ChIntvl[1]), 0},
        {"[UseFSUIPforSound]\nMinVol1=101\n", F(s.MinVol[0]), 10},
        {"[UseFSUIPforSound]\nMinVol2=0\n", F(s.MinVol[1]), 0},
        {"[UseFSUIPforSound]\nMaxVol2=-1\n", F(s.MaxVol[1]), 100},
        {"[LastInstalled]\nNumberOfDisp=0\n", F(s.LastInstCount), 1},
        {"[LastInstalled]\nNumberOfDisp=-2\n", F(s.LastInstCount), 3},
        {"[LastInstalled]\nNumberOfDisp=many\n", F(s.LastInstCount), 3},
        {"[LastInstalled]\nNumberOfDisp=7\n", F(s.LastInstCount), 7},
        {"[WaitTime]\nTime=soon\n", F(s.WaitTime), 100},
        {"[WaitTime]\nTime=-5\n", F(s.WaitTime), 100},
        {"[WaitTime]\nTime=5000\n", F(s.WaitTime), 1000},
        {"[ShowSkyFiles]\nShowFiles=True\n", F(s.ShowSkyFiles), 1},
        {"[ShowSkyFiles]\nShowFiles=0\n", F(s.ShowSkyFiles), 0},
        {"[ShowSkyFiles]\nShowFiles=on\n", F(s.ShowSkyFiles), 0},
        {"[Unload]\nUnload_Me_After_FsStart=TRUE\n", F(s.UnloadAfterFsStart), 1},
        {"[StretchMode]\nStretch=OFF\n", F(s.StretchImage), 0},
        {"[StretchMode]\nStretch=no\n", F(s.StretchImage), 1},
        {"[ShowErrSet]\nShow=On\n", F(s.ShowErrSet), 1},
        {"[ShowErrSet]\nShow=1\n", F(s.ShowErrSet), 0},
        // A value that is literally "Error" is a missing key.
        {"[Sound]\nCh1Vol=Error\n", F(s.ChVol[0]), 50},
        {"[AutoRefresh]\nWaitTimeAfterClear=ERROR\n", F(s.WaitTimeAfterClear[0]), 20},
    };
#undef F
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        LoadWith(c.ini);
        EXPECT_EQ(c.get(s), c.expected);
        EXPECT_TRUE(t.msg.calls.empty());
    }
}

TEST_F(LoaderTest, StartSelection) {
    const std::pair<const char*, const char*> cases[] = {
        {"Situation", "situation"}, {"SITUATION", "situation"}, {"Sky", "sky"}, {"flt", "sky"}, {"", "sky"}};
    for (const auto& [value, expected] : cases) {
        LoadWith(std::string("[StartSel]\nSel=") + value + "\n");
        EXPECT_EQ(s.StartSel, expected) << value;
    }
}

TEST_F(LoaderTest, FatalMessages) {
    const std::string kRead = "ini read Error";
    const std::string kNoDataDir = "[AppName]\nName=x\n";
    t.fs.AddFile("D:\\file.txt", "x");
    t.fs.AddDir("C:\\FS\\texture\\bk");
    struct Case {
        std::string ini, text;
    };
    std::vector<Case> cases = {
        {"", "AppName,Name can't read from ini file."},
        {"[AppName]\r\n", "AppName,Name can't read from ini file."},
        {"[AppName]\r\nName=Error\r\n", "AppName,Name can't read from ini file."},
        // Like the Windows profile functions, a UTF-8 byte-order mark is part
        // of the first line, so that line is no section header.
        {"\xEF\xBB\xBF[AppName]\r\nName=x\r\n[DataDirName]\r\nName=Sky\r\n",
         "AppName,Name can't read from ini file."},
        {kNoDataDir, "DataPath,Path can't read from ini file."},
        {kBase + "[BackUpFunc]\nFunc=on\n", "BackUpDirName,Name can't read from ini file."},
        {kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=\n", "BackUpDirName,Name can't read from ini file."},
        {kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=.\n", "A wrong character is included in BackUpDirName."},
        {kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=..\n", "A wrong character is included in BackUpDirName."},
        // The backup folder may be neither the data folder nor the texture folder.
        {kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=sky\n",
         "BackUpDirName names the Texture folder or the Cloud Data folder itself.\r\nC:\\FS\\texture\\sky"},
        {kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=Sky. \n",
         "BackUpDirName names the Texture folder or the Cloud Data folder itself.\r\nC:\\FS\\texture\\Sky."},
        {kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=. .\n",
         "BackUpDirName names the Texture folder or the Cloud Data folder itself.\r\nC:\\FS\\texture\\. ."},
        {"[AppName]\nName=x\n[DataPath]\nPath=C:\\FS\\texture\\bk\n[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=bk\n",
         "BackUpDirName names the Texture folder or the Cloud Data folder itself.\r\nC:\\FS\\texture\\bk"},
        {kBase + "[AutoRefresh]\nWaitTimeAfterClear=-1\n",
         "Section:AutoRefresh  Key:WaitTimeAfterClear\r\nThe data should be positive number."},
        {kBase + "[AutoRefresh]\nWaitTimeAfterClear=soon\n",
         "Section:AutoRefresh  Key:WaitTimeAfterClear\r\nThe data can't be changed Number(Integer)."},
        {kBase + "[AutoRefreshByInstallButton]\nWaitTimeAfterClear=40000\n",
         "Section:AutoRefreshByInstallButton  Key:WaitTimeAfterClear\r\nThe data can't be changed Number(Integer)."},
        {kBase + "[AutoRefreshByInstallButton]\nIncTime=-2\n",
         "Section:AutoRefreshByInstallButton  Key:IncTime\r\nThe data should be zero or positive number."},
        {kBase + "[AutoRefresh]\nIncTime=1.5.1\n",
         "Section:AutoRefresh  Key:IncTime\r\nThe data can't be changed Number(Integer)."},
        {kBase + "[AutoRefresh]\nDecTime=-1\n",
         "Section:AutoRefresh  Key:DecTime\r\nThe data should be zero or positive number."},
        {kBase + "[Font]\nProportional=Nosuch Sans\n", "Proportional font was not found.\r\n\r\n"},
    };
    for (char c : std::string("\\/:,;*?\"<>|"))
        cases.push_back({kBase + "[BackUpFunc]\nFunc=on\n[BackUpDirName]\nName=bk" + c + "x\n",
                         "A wrong character is included in BackUpDirName."});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        t.fs.AddFile(kIni, c.ini);
        ExpectFatal(kRead, c.text);
    }
}

TEST_F(LoaderTest, MissingFileAndFailedRead) {
    ExpectFatal("No ini File", "No ini file is found in this application folder.");
    EXPECT_EQ(view.events.front(), "ClearLists");

    // A read that finds no file reports it itself, then the loader ends.
    clsCfgRead rd(t.env);
    rd.FileName = "C:\\Prog\\gone.ini";
    t.msg.calls.clear();
    EXPECT_THROW(ReadValue(t.env, rd, "Sound", "Ch1Vol", false), ProgramEnd);
    ASSERT_EQ(t.msg.calls.size(), 2u);
    EXPECT_EQ(t.msg.calls[0].title, "Class cfgRead");
    EXPECT_EQ(t.msg.calls[1].title, "ini read Error");
    EXPECT_EQ(t.msg.calls[1].text, "Sound,Ch1Vol can't read from ini file.");
}

TEST_F(LoaderTest, DataFolderRule) {
    // 1: the selected simulator's texture folder.
    LoadWith("");
    EXPECT_EQ(s.DataDir, "C:\\FS\\texture\\Sky");

    // 2: the other simulator's texture folder.
    s.FsPath[1] = "C:\\CFS";
    t.fs.AddDir("C:\\CFS\\texture\\Other");
    t.fs.AddFile(kIni, "[AppName]\nName=x\n[DataDirName]\nName=Other\n");
    Load();
    EXPECT_EQ(s.DataDir, "C:\\CFS\\texture\\Other");

    // 3: [DataPath], as given or expanded.
    t.fs.AddDir("C:\\Prog\\data");
    t.fs.AddFile(kIni, "[AppName]\nName=x\n[DataDirName]\nName=None\n[DataPath]\nPath=VELLMORA\\data\n");
    Load();
    EXPECT_EQ(s.DataDir, "C:\\Prog\\data");

    // With no other simulator there is no other texture folder: "\texture\v"
    // would be a folder at the root of the current drive.
    s.FsPath[1].clear();
    t.fs.AddDir("\\texture\\Other");
    t.fs.AddFile(kIni, "[AppName]\nName=x\n[DataDirName]\nName=Other\n[DataPath]\nPath=C:\\Prog\\data\n");
    Load();
    EXPECT_EQ(s.DataDir, "C:\\Prog\\data");
}

TEST_F(LoaderTest, BackupFolderAndBackupAtLoad) {
    LoadWith("[BackUpFunc]\nFunc=ON\n[BackUpDirName]\nName=bk\n");
    EXPECT_TRUE(s.BackupEnabled);
    EXPECT_EQ(s.BackupDir, "C:\\FS\\texture\\bk");
    EXPECT_EQ(calls, (std::vector<std::string>{"clear", "catalogue", "eligibility", "backup"}));

    calls.clear();
    t.fs.AddDir("C:\\FS\\texture\\bk");
    Load();
    EXPECT_EQ(calls, (std::vector<std::string>{"clear", "catalogue", "eligibility"}));

    // Switched off: the name is not read, so even a bad one is harmless.
    LoadWith("[BackUpFunc]\nFunc=off\n[BackUpDirName]\nName=a:b\n");
    EXPECT_FALSE(s.BackupEnabled);
    EXPECT_TRUE(t.msg.calls.empty());
}

TEST_F(LoaderTest, SituationRows) {
    t.fs.AddDir("C:\\FS\\Flights\\Vellmora");
    LoadWith("[Situation]\nLoc=Flights\\Vellmora\nCfgFile=fs2002.cfg\nSection=USERINTERFACE\nKey=SITUATION\n");
    EXPECT_TRUE(s.SituationEnabled);
    EXPECT_EQ(s.SituationDir, "C:\\FS\\Flights\\Vellmora");
    EXPECT_EQ(s.SituationCfgFile, "fs2002.cfg");
    EXPECT_EQ(s.SituationSection, "USERINTERFACE");
    EXPECT_EQ(s.SituationKey, "SITUATION");

    // Absent keys keep their values of the previous run; a missing folder
    // disables the situation list.
    LoadWith("[Situation]\nLoc=Nowhere\n");
    EXPECT_FALSE(s.SituationEnabled);
    EXPECT_EQ(s.SituationLoc, "Nowhere");
    EXPECT_EQ(s.SituationCfgFile, "fs2002.cfg");
    LoadWith("[Situation]\nLoc=Error\n");
    EXPECT_FALSE(s.SituationEnabled);
    EXPECT_EQ(s.SituationLoc, "Nowhere");
}

TEST_F(LoaderTest, SoundFiles) {
    t.fs.AddFile("C:\\Prog\\snd\\click.wav");
    LoadWith("[ButtonSound]\nBeep=on\nFile=vellmora\\snd\\click.wav\n[AutoRandomSound]\nBeep=off\nFile=x.wav\n");
    EXPECT_TRUE(s.ButtonBeep);
    EXPECT_EQ(s.ButtonSoundFile, "C:\\Prog\\snd\\click.wav");
    EXPECT_FALSE(s.AutoRandomBeep);
    EXPECT_EQ(s.AutoRandomSoundFile, "");

    // Switching the sound off and selecting again silences it.
    LoadWith("[ButtonSound]\nBeep=off\nFile=vellmora\\snd\\click.wav\n");
    EXPECT_EQ(s.ButtonSoundFile, "");
}

TEST_F(LoaderTest, FsuipcGatesRefreshAndVolumeFollowing) {
    const std::string ini = "[AutoRefresh]\nRefreshCloud=on\n[AutoRefreshByInstallButton]\nRefreshCloud=On\n"
                            "[UseFSUIPforSound]\nCh1=off\nCh2=on\n";
    LoadWith(ini);
    EXPECT_FALSE(s.RefreshCloud[0]);
    EXPECT_FALSE(s.RefreshCloud[1]);
    EXPECT_FALSE(s.UseFsVol[1]);
    EXPECT_FALSE(s.UseFsAny);

    t.fs.AddFile("C:\\FS\\Modules\\FSUIPC.dll");
    LoadWith(ini);
    EXPECT_TRUE(s.RefreshCloud[0]);
    EXPECT_TRUE(s.RefreshCloud[1]);
    EXPECT_FALSE(s.UseFsVol[0]);
    EXPECT_TRUE(s.UseFsVol[1]);
    EXPECT_TRUE(s.UseFsAny);

    LoadWith("[UseFSUIPforSound]\nCh1=off\nCh2=off\n");
    EXPECT_FALSE(s.UseFsAny);

    // Choosing a simulator without the module stops the following chosen
    // for the one before.
    LoadWith(ini);
    ASSERT_TRUE(s.UseFsAny);
    t.fs.Remove("C:\\FS\\Modules\\FSUIPC.dll");
    LoadWith(ini);
    EXPECT_FALSE(s.UseFsVol[1]);
    EXPECT_FALSE(s.UseFsAny);
}

TEST_F(LoaderTest, SplashRows) {
    // No bitmap in the default folder: off, and LastNo and Mode not read.
    LoadWith("[Splash Screen]\nSplash=on\nLastNo=4\nMode=order\n");
    EXPECT_FALSE(s.SplashEnabled);
    EXPECT_EQ(s.SplashDir, "C:\\FS\\UIRES\\Vellmora");
    EXPECT_EQ(s.SplashLastNo, 0);

    t.fs.AddFile("C:\\FS\\UIRES\\Vellmora\\1.bmp");
    Load();
    EXPECT_TRUE(s.SplashEnabled);
    EXPECT_EQ(s.SplashLastNo, 4);
    EXPECT_EQ(s.SplashMode, "order");

    t.fs.AddFile("C:\\FS\\UIRES\\Mine\\a.bmp");
    LoadWith("[Splash Screen]\nSplash=on\nPath=fs2002\\UIRES\\Mine\\\nLastNo=x\nMode=Sequence\n");
    EXPECT_TRUE(s.SplashEnabled);
    EXPECT_EQ(s.SplashDir, "C:\\FS\\UIRES\\Mine\\");
    EXPECT_EQ(s.SplashLastNo, 0);
    EXPECT_EQ(s.SplashMode, "random");
}

TEST_F(LoaderTest, MusicRows) {
    t.fs.AddFile("C:\\M\\a.mp3");
    t.fs.AddFile("C:\\M\\d.mp3");
    t.fs.AddDir("C:\\Prog\\amb");
    const std::string ini =
        "[Sound]\nCh1Path=vellmora\\amb\nCh2Path=C:\\nowhere\nLastMusicPath=C:\\M\n"
        "MusicFile1=C:\\M\\a.mp3\nMusicFile2=C:\\M\\missing.mp3\nMusicFile3=  \nMusicFile4=C:\\M\\d.mp3\n";
    LoadWith(ini);
    EXPECT_EQ(s.ChPath[0], "C:\\Prog\\amb");
    EXPECT_EQ(s.ChPath[1], "");
    EXPECT_EQ(s.LastMusicPath, "C:\\M");
    EXPECT_EQ(s.MusicList, (std::vector<std::string>{"C:\\M\\a.mp3", "C:\\M\\d.mp3"}));

    // A reload rebuilds the list; the first absent number ends it.
    LoadWith("[Sound]\nMusicFile1=C:\\M\\a.mp3\nMusicFile3=C:\\M\\d.mp3\nLastMusicPath=C:\\gone\n");
    EXPECT_EQ(s.MusicList, std::vector<std::string>{"C:\\M\\a.mp3"});
    EXPECT_EQ(s.ChPath[0], "C:\\Prog\\amb");  // absent: unchanged
    EXPECT_EQ(s.LastMusicPath, "");
}

TEST_F(LoaderTest, LastInstalledPairs) {
    LoadWith("[LastInstalled]\n1=Sky1, Cumulus\n2=no comma\n3= , \n4=,Stratus\n5=Set,\n7=Late,Sun\n");
    EXPECT_EQ(s.LastInstalledSets, (std::vector<std::string>{"Sky1", "", "Set"}));
    EXPECT_EQ(s.LastInstalledTypes, (std::vector<std::string>{"Cumulus", "Stratus", ""}));
    Load();
    EXPECT_EQ(s.LastInstalledSets.size(), 3u);
}

TEST_F(LoaderTest, EditorAndFonts) {
    t.fs.AddFile("C:\\Tools\\edit.exe");
    t.fonts.Add("Arial", 4, 2);
    t.fonts.Add("Courier New", 4, 0x31);
    LoadWith("[Editor]\nPath=C:\\Tools\\edit.exe\n[Font]\nProportional=  arial \nFix=COURIER NEW\n");
    EXPECT_EQ(s.EditorPath, "C:\\Tools\\edit.exe");
    EXPECT_EQ(s.PropFont, "arial");
    EXPECT_EQ(s.FixFont, "COURIER NEW");
    LoadWith("[Editor]\nPath=C:\\Tools\\gone.exe\n");
    EXPECT_EQ(s.EditorPath, "");
    EXPECT_EQ(s.PropFont, "arial");  // absent: unchanged
}

TEST_F(LoaderTest, ToolTips) {
    const std::string longText(3000, 'x');
    LoadWith("[ToolTipsText]\nSky=Sky view\nInst&RunFs=Install and fly\nRndomTime/Off=Minutes\n"
             "FilterOfList=Filter\nRandom=   \nDataList=Caf\xE9 \x93sets\x94\nInstall=" + longText + "\n");
    EXPECT_EQ(view.tips["optSky(-1)"], "Sky view");
    EXPECT_EQ(view.tips["cmdInstAndStart(-1)"], "Install and fly");
    EXPECT_EQ(view.tips["lblTime(-1)"], "Minutes");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(view.tips["lblFilter(" + std::to_string(i) + ")"], "Filter");
    EXPECT_EQ(view.tips["lstSky(-1)"], "Caf\xE9 \x93sets\x94");  // bytes above 127 pass unchanged
    EXPECT_EQ(view.tips["cmdInst(-1)"], std::string(2047, 'x'));  // the 2048-character buffer
    EXPECT_EQ(view.tips.count("cmdRandom(-1)"), 0u);               // blank: no tooltip
    EXPECT_EQ(view.tips.size(), 11u);
    EXPECT_EQ(s.Tips.InstRunFs, "Install and fly");
}

TEST_F(LoaderTest, DuplicateSectionsAndKeysFirstWins) {
    LoadWith("[Test]\nRandomWait=1\nRandomWait=2\n[Test]\nRandomWait=3\n");
    EXPECT_EQ(s.RandomWait, 1);
}

TEST_F(LoaderTest, OptFsClickSelectsSlotAndReloads) {
    s.FsPath[1] = "D:\\CFS3";
    t.fs.AddDir("D:\\CFS3\\texture");
    t.fs.AddFile(kIni, kBase);
    steps.FillSetLists = [this] { calls.push_back("fill"); };
    optFs_Click(t.env, s, 1, fonts, view, steps);
    EXPECT_EQ(s.FsIndex, 1);
    EXPECT_EQ(s.FsDir, "D:\\CFS3");
    EXPECT_EQ(s.TextureDir, "D:\\CFS3\\texture");
    EXPECT_EQ(s.DataDir, "C:\\FS\\texture\\Sky");  // found under the other simulator
    EXPECT_EQ(calls.back(), "fill");
}

TEST(Startup, FindIniAndLogo) {
    TestEnv t;
    Settings s;
    EXPECT_TRUE(LogoEnabled(t.env));  // no cloud.ini: the logo shows
    EXPECT_THROW(FindIni(t.env, s), ProgramEnd);
    EXPECT_EQ(t.msg.Last().title, "No ini File");
    EXPECT_EQ(t.msg.Last().text, "No Cloud.ini file is found in this application folder.");

    t.fs.AddFile(kIni, "[ShowLogo]\nShow=OFF\n");
    t.fs.SetModTime(kIni, 44000.25);
    t.env.programDir = "C:\\Prog\\\\";
    s.IniName.clear();
    FindIni(t.env, s);
    EXPECT_EQ(s.IniName, "cloud.ini");
    EXPECT_EQ(s.IniTime, 44000.25);
    EXPECT_FALSE(LogoEnabled(t.env));
    t.fs.AddFile(kIni, "[ShowLogo]\nShow=offf\n");
    EXPECT_TRUE(LogoEnabled(t.env));
}

// A missing data folder: the message names the folder to create (the named
// one in the texture folder, or the given path when no name is given) and
// what goes in it.
TEST_F(LoaderTest, MissingDataFolderNamesTheFolderToCreate) {
    t.fs.AddFile("D:\\file.txt", "x");
    const std::string head = "[AppName]\nName=x\n";
    const std::string tail =
        "\r\nCreate it and put your texture sets in it, one folder per set holding its .bmp files "
        "and a preview picture, named as the [Set1], [Set2] ... sections of cloud.ini name them.";
    struct Case {
        std::string ini, folder;
    };
    const Case cases[] = {
        {head + "[DataPath]\nPath=D:\\file.txt\n", "D:\\file.txt"},
        {head + "[DataDirName]\nName=Nowhere\n[DataPath]\nPath=vellmora\\missing\n", "C:\\FS\\texture\\Nowhere"},
        {head + "[DataDirName]\nName=New Sets\n[DataPath]\nPath=fs2002\\texture\\New Sets\n",
         "C:\\FS\\texture\\New Sets"},
        {head + "[DataPath]\nPath=vellmora\\Sets\n", "C:\\Prog\\Sets"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        t.fs.AddFile(kIni, c.ini);
        ExpectFatal("No Data Folder", "The data folder does not exist yet:\r\n" + c.folder + tail);
    }
}

// A profile that notes every section and key read through it (and through
// its snapshots).
class NotingProfile : public Profile {
public:
    NotingProfile(Profile& inner, std::vector<std::string>& seen) : inner_(inner), seen_(seen) {}
    std::string Get(const std::string* section, const std::string* key, const std::string& def,
                    unsigned bufSize, const std::string& file) override {
        if (section && key) seen_.push_back("[" + *section + "]" + *key);
        return inner_.Get(section, key, def, bufSize, file);
    }
    bool Put(const std::string* section, const std::string* key, const std::string* value,
             const std::string& file) override {
        return inner_.Put(section, key, value, file);
    }
    std::unique_ptr<Profile> Snapshot(const std::string& file) override {
        auto inner = inner_.Snapshot(file);
        if (!inner) return nullptr;
        struct Owning : NotingProfile {
            Owning(std::unique_ptr<Profile> p, std::vector<std::string>& seen)
                : NotingProfile(*p, seen), held(std::move(p)) {}
            std::unique_ptr<Profile> held;
        };
        return std::make_unique<Owning>(std::move(inner), seen_);
    }

private:
    Profile& inner_;
    std::vector<std::string>& seen_;
};

// The starter cloud.ini made from the key table: the loader reads exactly
// the table's keys, in the table's order, and a simulator with the data
// folder and the first set loads it without any message.
TEST_F(LoaderTest, StarterIniHoldsWhatTheLoaderReadsInItsOrder) {
    std::vector<std::string> seen;
    NotingProfile noting(t.profile, seen);
    t.env.profile = &noting;
    t.fs.AddFile(kIni, StarterIni());
    t.fs.AddDir("C:\\FS\\texture\\VellmoraSets\\My First Set");
    EXPECT_TRUE(LogoEnabled(t.env));
    Load();
    EXPECT_TRUE(t.msg.calls.empty());
    EXPECT_EQ(s.DataDir, "C:\\FS\\texture\\VellmoraSets");
    EXPECT_TRUE(s.BackupEnabled);
    EXPECT_EQ(s.BackupDir, "C:\\FS\\texture\\VellmoraBackup");
    // Again with every switch on that asks for more keys: the splash series,
    // the sounds, the simulator link.
    std::string on = StarterIni();
    for (const char* sw : {"Splash=", "Beep=", "Ch1=", "Ch2="})
        for (size_t p = on.find(std::string("\n") + sw); p != std::string::npos; p = on.find(std::string("\n") + sw, p + 1))
            on.replace(on.find("off", p), 3, "on");
    t.fs.AddFile(kIni, on);
    t.fs.AddFile("C:\\FS\\Modules\\FSUIPC.dll", "");
    t.fs.AddFile("C:\\FS\\UIRES\\Vellmora\\splash1.bmp", "BM");
    Load();
    EXPECT_TRUE(t.msg.calls.empty());
    EXPECT_TRUE(s.SplashEnabled);

    // Every key the loader read is in the table, in the table's order
    // within each run, and it read every key of the table but those of the
    // set list and the first backup, and the path only a missing data
    // folder asks for.
    std::vector<std::string> table;
    for (const IniKey& k : IniKeys()) table.push_back(std::string("[") + k.section + "]" + k.key);
    size_t at = 0;
    for (const std::string& key : seen) {
        SCOPED_TRACE(key);
        if (key == "[AppName]Name") at = 0;  // a new run
        const auto found = std::find(table.begin(), table.end(), key);
        if (key == "[Sound]MusicFile2" || key == "[LastInstalled]2") continue;  // the end of a list
        ASSERT_NE(found, table.end()) << "read by the loader, missing from the key table";
        const size_t pos = static_cast<size_t>(found - table.begin());
        EXPECT_GE(pos, at) << "read out of the table's order";
        at = pos;
    }
    for (const std::string& key : table) {
        const bool elsewhere = key.rfind("[ToBeBackuped]", 0) == 0 || key.rfind("[Set1]", 0) == 0 ||
                               key == "[DataPath]Path";
        if (!elsewhere) {
            EXPECT_NE(std::find(seen.begin(), seen.end(), key), seen.end()) << key << " never read";
        }
    }
}

}  // namespace
}  // namespace vm
