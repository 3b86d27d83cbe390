// The main window created in-process on a temporary installation: the lists
// and check lists, the two layouts, the check rule, the filters, the
// notification icon's clicks; screenshots are saved as build artifacts.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>

#include "app/form1.h"
#include "fakes.h"
#include "platform/check_list.h"
#include "platform/image_view.h"
#include "screenshot.h"
#include "win_files.h"

using namespace vm;

namespace {


struct Form1Test : ::testing::Test {
    std::string root = TempFolderName("vmform1");
    std::string prog = root + "\\Prog";
    std::string fs = root + "\\FS";
    std::string data = fs + "\\texture\\Sets";
    FakeRegistry registry;

    void SetUp() override {
        RemoveTree(root);
        for (const std::string& d : {root, prog, fs, fs + "\\texture", data}) CreateDirectoryA(d.c_str(), nullptr);
        auto set = [&](const std::string& name, std::initializer_list<const char*> files) {
            CreateDirectoryA((data + "\\" + name).c_str(), nullptr);
            for (const char* f : files) WriteTextFile(data + "\\" + name + "\\" + f, "BM");
        };
        set("Alpha", {"cld1.bmp", "cld2.bmp", "sun6.bmp"});
        CreateDirectoryA((data + "\\Alpha\\Sun").c_str(), nullptr);
        WriteTextFile(data + "\\Alpha\\Sun\\SUN6.BMP", "BM");
        WriteTextFile(data + "\\Alpha\\Sun\\moon1.bmp", "BM");
        set("Cumulus 1", {"cld1.bmp"});
        set("Cumulus 2", {"cld1.bmp"});
        set("Storm", {"cldcn1.bmp", "cld1.bmp"});
        set("VSky", {"cirrus_overcast.bmp"});
        registry.Set(Registry::kLocalMachine, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0",
                     "EXE Path", fs);
    }
    void TearDown() override { RemoveTree(root); }

    void WriteIni(bool showFiles) {
        WriteTextFile(prog + "\\cloud.ini",
                  "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sets\r\n[ShowLogo]\r\nShow=off\r\n"
                  "[ShowSkyFiles]\r\nShowFiles=" +
                      std::string(showFiles ? "True" : "False") +
                      "\r\n[Set1]\r\nDirName=Alpha\r\n[Set2]\r\nDirName=Cumulus\r\nfrom=1\r\nto=2\r\n"
                      "[Set3]\r\nDirName=Storm\r\n[Set4]\r\nDirName=VSky\r\n");
    }

    std::unique_ptr<Program> MakeProgram() {
        auto p = std::make_unique<Program>(prog);
        p->env.registry = &registry;
        return p;
    }
};

std::vector<std::string> Items(Form1& f, Lst list) {
    std::vector<std::string> v;
    for (int i = 0; i < f.Count(list); ++i) v.push_back(f.Item(list, i));
    return v;
}

// The platform's search order is its own: compare as sets.
std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

int IndexOf(Form1& f, Lst list, const std::string& name) {
    for (int i = 0; i < f.Count(list); ++i)
        if (f.Item(list, i) == name) return i;
    return -1;
}

bool Visible(Form1& f, int id) { return IsWindowVisible(f.Control(id)) != FALSE; }

int HeightPx(Form1& f, int id) {
    RECT r;
    GetWindowRect(f.Control(id), &r);
    return r.bottom - r.top;
}

}  // namespace

TEST_F(Form1Test, FileViewListsSetsFilesAndOptions) {
    WriteIni(true);
    auto p = MakeProgram();
    Form1 form(*p);
    form.Form_Load();
    Settle();
    EXPECT_EQ(Items(form, Lst::cmbClouds),
              (std::vector<std::string>{"Alpha", "Cumulus 1", "Cumulus 2", "Storm", "VSky"}));
    EXPECT_EQ(GetText(form.Control(Form1::cmbClouds)), "Alpha");
    EXPECT_EQ(GetText(form.Control(Form1::lblMsg)), "Alpha");
    EXPECT_EQ(Sorted(Items(form, Lst::lstClouds)), (std::vector<std::string>{"cld1.bmp", "cld2.bmp", "sun6.bmp"}));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(form.Checked(Lst::lstClouds, i));
    EXPECT_EQ(Items(form, Lst::cmbOption), std::vector<std::string>{"Sun"});
    EXPECT_EQ(Sorted(Items(form, Lst::lstOption)), (std::vector<std::string>{"SUN6.BMP", "moon1.bmp"}));
    const int optSun = IndexOf(form, Lst::lstOption, "SUN6.BMP");
    const int cloudSun = IndexOf(form, Lst::lstClouds, "sun6.bmp");
    const int cloud1 = IndexOf(form, Lst::lstClouds, "cld1.bmp");
    EXPECT_FALSE(form.Checked(Lst::lstOption, optSun));
    // Layout: the file controls, no set list, no filters, a tall situation list.
    EXPECT_TRUE(Visible(form, Form1::cmbClouds));
    EXPECT_TRUE(Visible(form, Form1::lstClouds));
    EXPECT_FALSE(Visible(form, Form1::lstSky));
    EXPECT_FALSE(Visible(form, Form1::lblFilter0));
    EXPECT_EQ(HeightPx(form, Form1::lstFLT), 2085 / 15);
    EXPECT_TRUE(IsWindowEnabled(form.Control(Form1::cmdInst)));
    EXPECT_FALSE(Visible(form, Form1::cmdBackUp));  // backup function off
    Screenshot(form.hwnd(), "main-file-view");

    // Space on an option item checks it and unchecks the same name (any case)
    // in the cloud list.
    SendMessageA(form.Control(Form1::lstOption), LB_SETCURSEL, static_cast<WPARAM>(optSun), 0);
    SendMessageA(form.Control(Form1::lstOption), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(form.Checked(Lst::lstOption, optSun));
    EXPECT_FALSE(form.Checked(Lst::lstClouds, cloudSun));
    EXPECT_TRUE(form.Checked(Lst::lstClouds, cloud1));
    // A click on the box of the cloud item takes it back.
    RECT item;
    SendMessageA(form.Control(Form1::lstClouds), LB_GETITEMRECT, static_cast<WPARAM>(cloudSun),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageA(form.Control(Form1::lstClouds), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, item.top + 3));
    SendMessageA(form.Control(Form1::lstClouds), WM_LBUTTONUP, 0, MAKELPARAM(5, item.top + 3));
    EXPECT_TRUE(form.Checked(Lst::lstClouds, cloudSun));
    EXPECT_FALSE(form.Checked(Lst::lstOption, optSun));

    // No check mark anywhere: nothing to install.
    form.Sets().mnuClearCloudAll_Click();
    form.Sets().mnuClearOptionAll_Click();
    EXPECT_FALSE(IsWindowEnabled(form.Control(Form1::cmdInst)));
    EXPECT_FALSE(IsWindowEnabled(form.Control(Form1::cmdInstAndStart)));

    // Choosing another set lists its files.
    SendMessageA(form.Control(Form1::cmbClouds), CB_SETCURSEL, 3, 0);
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::cmbClouds, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form.Control(Form1::cmbClouds)));
    EXPECT_EQ(Sorted(Items(form, Lst::lstClouds)), (std::vector<std::string>{"cld1.bmp", "cldcn1.bmp"}));
    EXPECT_EQ(form.Count(Lst::cmbOption), 0);
    EXPECT_EQ(GetText(form.Control(Form1::lblMsg)), "Storm");
}

TEST_F(Form1Test, SetViewWithFilters) {
    WriteIni(false);
    auto p = MakeProgram();
    Form1 form(*p);
    form.Form_Load();
    Settle();
    EXPECT_TRUE(Visible(form, Form1::lstSky));
    EXPECT_FALSE(Visible(form, Form1::lstSkyFil));
    EXPECT_FALSE(Visible(form, Form1::cmbClouds));
    EXPECT_FALSE(Visible(form, Form1::lstClouds));
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(Visible(form, Form1::lblFilter0 + i));
    EXPECT_EQ(HeightPx(form, Form1::lstFLT), 960 / 15);
    EXPECT_EQ(Items(form, Lst::lstSky), (std::vector<std::string>{"Alpha", "Cumulus 1", "Cumulus 2", "Storm", "VSky"}));
    EXPECT_EQ(GetText(form.Control(Form1::lblFilter0 + 2)), "Cb/T-Storm");
    Screenshot(form.hwnd(), "main-set-view");

    // The Cumulus filter shows only the sets of that sky kind.
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::lblFilter0 + 1, STN_CLICKED),
                 reinterpret_cast<LPARAM>(form.Control(Form1::lblFilter0 + 1)));
    EXPECT_TRUE(Visible(form, Form1::lstSkyFil));
    EXPECT_FALSE(Visible(form, Form1::lstSky));
    EXPECT_EQ(Items(form, Lst::lstSkyFil), (std::vector<std::string>{"Alpha", "Cumulus 1", "Cumulus 2"}));
    // Back to all.
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::lblFilter0, STN_CLICKED),
                 reinterpret_cast<LPARAM>(form.Control(Form1::lblFilter0)));
    EXPECT_TRUE(Visible(form, Form1::lstSky));
    EXPECT_FALSE(Visible(form, Form1::lstSkyFil));
}

TEST_F(Form1Test, NotificationIconTogglesTheWindow) {
    WriteIni(true);
    auto p = MakeProgram();
    Form1 form(*p);
    form.Form_Load();
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    form.PIC_MouseMove(0x201 * 15);  // left button down on the icon
    EXPECT_FALSE(IsWindowVisible(form.hwnd()));
    form.PIC_MouseMove(0x202 * 15);  // left button up: nothing
    EXPECT_FALSE(IsWindowVisible(form.hwnd()));
    form.PIC_MouseMove(0x201 * 15);
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));
    form.cmdMin_Click();
    EXPECT_FALSE(IsWindowVisible(form.hwnd()));
}

TEST_F(Form1Test, CorruptPreviewStaysEmptyAndMissingIniIsReported) {
    WriteIni(true);
    // Alpha's preview is a corrupt JPEG; Storm's a real bitmap picture.
    WriteTextFile(data + "\\Alpha\\preview.jpg", std::string("\xFF\xD8\xFF\xE0 not really a jpeg", 22));
    {
        BITMAPFILEHEADER fh{0x4D42, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 16, 0, 0,
                            sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
        BITMAPINFOHEADER bi{sizeof bi, 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
        bytes.append(reinterpret_cast<const char*>(&bi), sizeof bi);
        bytes.append(16, '\x7F');
        // GDI+ reads a bitmap by its content whatever the name says.
        WriteTextFile(data + "\\Storm\\preview.gif", bytes);
    }
    auto p = MakeProgram();
    Form1 form(*p);
    int shown = 0;
    p->messages.onShown = [&](frmMsg& w) {
        ++shown;
        PostMessageA(w.Control(23), BM_CLICK, 0, 0);
    };
    form.Form_Load();
    Settle();
    EXPECT_FALSE(ImageViewHasPicture(form.Control(Form1::imgSky)));  // corrupt: empty, silently
    EXPECT_EQ(shown, 0);
    SendMessageA(form.Control(Form1::cmbClouds), CB_SETCURSEL, 3, 0);
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::cmbClouds, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form.Control(Form1::cmbClouds)));
    EXPECT_TRUE(ImageViewHasPicture(form.Control(Form1::imgSky)));

    // cloud.ini gone after start-up: "No cloud.ini", nothing started.
    std::string title;
    p->messages.onShown = [&](frmMsg& w) {
        title = GetText(w.hwnd());
        EXPECT_EQ(GetText(w.Control(frmMsg::ID_LBL)), "");
        PostMessageA(w.Control(23), BM_CLICK, 0, 0);
    };
    DeleteFileA((prog + "\\cloud.ini").c_str());
    form.mnuShowIni_Click();
    EXPECT_EQ(title, "No cloud.ini");
}

// Closing the program while an install copies: the copy loop stops between
// two files, the program then ends, and its last-installed record keeps
// what it held without naming the half-installed set.
TEST_F(Form1Test, CloseDuringAnInstallEndsAfterTheNextFileWithoutRecordingTheSet) {
    WriteIni(true);
    const std::string ini = prog + "\\cloud.ini";
    WritePrivateProfileStringA("LastInstalled", "NumberOfDisp", "3", ini.c_str());
    WritePrivateProfileStringA("LastInstalled", "1", "Storm,Thunder", ini.c_str());
    auto p = MakeProgram();
    const std::string cld1 = fs + "\\texture\\cld1.bmp", cld2 = fs + "\\texture\\cld2.bmp";
    const std::string cld2Before = ReadTextFile(cld2);
    struct ClosingPump : Pump {
        Pump* real = nullptr;
        Form1* form = nullptr;
        std::string watched;
        int closesSent = 0;
        bool endedInside = false, pendingInside = false;
        void DoEvents() override {
            if (form && form->Sets().Busy() && closesSent == 0 && ReadTextFile(watched) == "BM") {
                ++closesSent;
                SendMessageA(form->hwnd(), WM_CLOSE, 0, 0);
                endedInside = form->Ended();
                pendingInside = form->EndPending();
            }
            real->DoEvents();
        }
    } pump;
    pump.real = &p->pump;
    pump.watched = cld1;
    p->guard.SetInner(&pump);
    Form1 form(*p);
    form.Form_Load();
    Settle();
    p->messages.onShown = [&](frmMsg& w) { PostMessageA(w.Control(12), BM_CLICK, 0, 0); };
    pump.form = &form;
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::cmdInst, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form.Control(Form1::cmdInst)));
    EXPECT_EQ(pump.closesSent, 1);
    EXPECT_FALSE(pump.endedInside);
    EXPECT_TRUE(pump.pendingInside);
    EXPECT_TRUE(form.Ended());
    EXPECT_EQ(ReadTextFile(cld1), "BM");
    EXPECT_EQ(ReadTextFile(cld2), cld2Before);  // the loop stopped before it
    char value[256];
    GetPrivateProfileStringA("LastInstalled", "1", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "Storm,Thunder");
    GetPrivateProfileStringA("LastInstalled", "2", "", value, sizeof value, ini.c_str());
    EXPECT_STREQ(value, "");
}

namespace {
BOOL CALLBACK FindTips(HWND h, LPARAM lp) {
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(lp);
    char cls[64];
    GetClassNameA(h, cls, sizeof cls);
    if (!lstrcmpiA(cls, TOOLTIPS_CLASSA) && GetWindow(h, GW_OWNER) == found->first) found->second = h;
    return TRUE;
}

std::string TipOf(HWND tips, HWND owner, HWND control) {
    char text[256] = "";
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    return text;
}
}  // namespace

// Every control is reached by its id as the window system knows it, and the
// tool-tips read from cloud.ini before the window was painted end up on
// their controls with the ones given later.
TEST_F(Form1Test, ControlsByIdAndToolTipsGivenDuringStartUp) {
    WriteIni(true);
    std::ofstream(prog + "\\cloud.ini", std::ios::app | std::ios::binary)
        << "[ToolTipsText]\r\nSky=Sky view\r\nFilterOfList=By kind\r\n";
    auto p = MakeProgram();
    Form1 form(*p);
    form.Form_Load();
    Settle();
    const int ids[] = {Form1::lstClouds, Form1::cmbClouds, Form1::cmbOption, Form1::lstOption, Form1::lstSkyFil,
                       Form1::lstSky, Form1::lstFLT, Form1::imgSky, Form1::cmdInst, Form1::cmdInstAndStart,
                       Form1::cmdRandom, Form1::cmdBackUp, Form1::cmdToOrg, Form1::cmdMin, Form1::cmdClose,
                       Form1::optSky, Form1::optFLT, Form1::Frame1, Form1::optFs0, Form1::optFs1,
                       Form1::lblFilter0, Form1::lblFilter0 + 5, Form1::lblOption, Form1::lblRefresh,
                       Form1::lblTime, Form1::lblAutoRandom, Form1::lblMsg, Form1::Label1, Form1::lblTemp,
                       Form1::lblFunc, Form1::PIC};
    for (int id : ids) {
        SCOPED_TRACE(id);
        EXPECT_NE(form.Control(id), nullptr);
        EXPECT_EQ(form.Control(id), GetDlgItem(form.hwnd(), id));
    }
    std::pair<HWND, HWND> tips{form.hwnd(), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindTips, reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips.second, nullptr);
    EXPECT_EQ(TipOf(tips.second, form.hwnd(), form.Control(Form1::optSky)), "Sky view");
    EXPECT_EQ(TipOf(tips.second, form.hwnd(), form.Control(Form1::lblFilter0)), "By kind");
    EXPECT_EQ(TipOf(tips.second, form.hwnd(), form.Control(Form1::lblFilter0 + 5)), "By kind");
    form.SetToolTip("cmdInst", 0, "Install now");
    EXPECT_EQ(TipOf(tips.second, form.hwnd(), form.Control(Form1::cmdInst)), "Install now");
    form.Destroy();
    EXPECT_EQ(form.Control(Form1::cmdInst), nullptr);
}

namespace {
// The state of "Weather Setting" as the main window's menu opens; the menu
// is closed again at once.
UINT g_weatherItem = 0;
LRESULT CALLBACK MenuWatch(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_INITMENUPOPUP) {
        g_weatherItem = GetMenuState(reinterpret_cast<HMENU>(m->wParam), Form1::mnuWeather, MF_BYCOMMAND);
        EndMenu();
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

// Without the IPC module in the simulator the entry is greyed; each showing
// of the menu asks again.
TEST_F(Form1Test, WeatherSettingIsGreyedWithoutTheIpcModule) {
    WriteIni(true);
    auto p = MakeProgram();
    Form1 form(*p);
    form.Form_Load();
    Settle();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, MenuWatch, nullptr, GetCurrentThreadId());
    for (bool module : {false, true}) {
        if (module) {
            CreateDirectoryA((fs + "\\Modules").c_str(), nullptr);
            WriteTextFile(fs + "\\Modules\\FSUIPC.dll", "MZ");
        }
        g_weatherItem = 0xFFFFFFFF;
        SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(Form1::lblOption, STN_CLICKED), 0);
        EXPECT_EQ(g_weatherItem, module ? MF_ENABLED : MF_GRAYED);
    }
    UnhookWindowsHookEx(hook);
    form.Destroy();
}
