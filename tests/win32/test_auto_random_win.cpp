// AutoRandom in the real windows: the set dialog on a real catalogue (check
// marks, the pop-up commands, both modes, a drag in lstOrder made with mouse
// messages, the keys OK writes, an edited cloud.ini), and the main window
// changing sets on Timer1 until an installation fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <set>
#include <utility>

#include "app/form1.h"
#include "fakes.h"
#include "platform/check_list.h"
#include "list_mouse.h"
#include "screenshot.h"
#include "win_files.h"

using namespace vm;

namespace {


std::string IniValue(const std::string& ini, const std::string& section, const std::string& key) {
    char buf[64] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "-", buf, sizeof buf, ini.c_str());
    return buf;
}

struct AutoRandomWin : ::testing::Test {
    std::string root = TempFolderName("vmautornd");
    std::string prog = root + "\\Prog";
    std::string ini = prog + "\\cloud.ini";
    std::string tex = root + "\\FS\\texture";
    std::string data = tex + "\\Sets";
    FakeRegistry registry;
    std::unique_ptr<Program> p;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        RemoveTree(root);
        for (const std::string& d : {root, prog, root + "\\FS", tex, data}) CreateDirectoryA(d.c_str(), nullptr);
        for (const char* name : {"Alpha", "Bravo", "Charlie"}) {
            CreateDirectoryA((data + "\\" + name).c_str(), nullptr);
            WriteTextFile(data + "\\" + name + "\\cld1.bmp", name);
        }
        CreateDirectoryA((data + "\\Empty").c_str(), nullptr);
        WriteTextFile(tex + "\\cld1.bmp", "orig");
        registry.Set(Registry::kLocalMachine, "Software\\Microsoft\\Microsoft Games\\Flight Simulator\\8.0",
                     "EXE Path", root + "\\FS");
    }
    void TearDown() override {
        form.reset();
        p.reset();
        RemoveTree(root);
    }
    void Load(const std::string& extra) {
        WriteTextFile(ini, "[AppName]\r\nName=Vellmora\r\n[DataDirName]\r\nName=Sets\r\n[ShowLogo]\r\nShow=off\r\n"
                           "[ShowSkyFiles]\r\nShowFiles=True\r\n" + extra +
                           "[Set1]\r\nDirName=Alpha\r\n[Set2]\r\nDirName=Bravo\r\n[Set3]\r\nDirName=Charlie\r\n"
                           "[Set4]\r\nDirName=Empty\r\n");
        p = std::make_unique<Program>(prog);
        p->env.registry = &registry;
        form = std::make_unique<Form1>(*p);
        form->Form_Load();
        Settle();
    }
    frmRandSel& OpenDialog() {
        SendMessageA(form->hwnd(), WM_COMMAND, MAKEWPARAM(Form1::lblAutoRandom, STN_CLICKED),
                     reinterpret_cast<LPARAM>(form->Control(Form1::lblAutoRandom)));
        Settle();
        frmRandSel* d = form->RandSel();
        EXPECT_NE(d, nullptr);
        return *d;
    }
    void Click(frmRandSel& d, int id) {
        SendMessageA(d.Control(id), BM_CLICK, 0, 0);
        Settle();
    }
    // `what` from inside the pump of operation `op` (holding `extra` too),
    // as an event arrives while it lets messages run.
    void InsideOperation(Operation op, Holds extra, const std::function<void()>& what) {
        struct OncePump : Pump {
            Pump* real = nullptr;
            std::function<void()> once;
            void DoEvents() override {
                if (auto f = std::exchange(once, nullptr)) f();
                real->DoEvents();
            }
        } pump;
        pump.real = &p->pump;
        pump.once = what;
        p->guard.SetInner(&pump);
        {
            const OperationScope running(p->guard, op, extra);
            p->guard.DoEvents();
        }
        p->guard.SetInner(&p->pump);
    }
};

TEST_F(AutoRandomWin, SetDialogChecksDragsAndWritesTheChoices) {
    Load("");
    // The start-up saved the order of every set that takes part.
    EXPECT_EQ(IniValue(ini, "Set1", "Order"), "1");
    EXPECT_EQ(IniValue(ini, "Set4", "Order"), "-");
    frmRandSel& d = OpenDialog();
    EXPECT_EQ(GetText(d.hwnd()), "AutoRandom Data Selection");
    EXPECT_FALSE(IsWindowEnabled(form->hwnd()));
    HWND set = d.Control(frmRandSel::lstSet), order = d.Control(frmRandSel::lstOrder);
    // Groups without a bitmap are not offered.
    EXPECT_EQ(Lines(set), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    EXPECT_TRUE(IsWindowVisible(set));
    EXPECT_FALSE(IsWindowVisible(order));
    // A click on Bravo's box takes it out; Clear All and Select All.
    RECT r{};
    SendMessageA(set, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    SendMessageA(set, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, (r.top + r.bottom) / 2));
    SendMessageA(set, WM_LBUTTONUP, 0, MAKELPARAM(4, (r.top + r.bottom) / 2));
    Settle();
    EXPECT_FALSE(CheckListChecked(set, 1));
    EXPECT_FALSE(form->Cat().Group(2).random);
    SendMessageA(d.hwnd(), WM_COMMAND, frmRandSel::mnuClearAll, 0);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(CheckListChecked(set, i));
    SendMessageA(d.hwnd(), WM_COMMAND, frmRandSel::mnuSelAll, 0);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(CheckListChecked(set, i));
    Settle(100);
    Screenshot(d.hwnd(), "frmRandSel_random");

    Click(d, frmRandSel::optOrder);
    EXPECT_FALSE(IsWindowVisible(set));
    EXPECT_TRUE(IsWindowVisible(order));
    EXPECT_EQ(Lines(order), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    // A real drag: Alpha dropped on Charlie lands before it.
    Drag(order, 0, 2);
    EXPECT_EQ(Lines(order), (std::vector<std::string>{"Bravo", "Alpha", "Charlie"}));
    EXPECT_EQ(form->AutoRandomState().orderedGroups, (std::vector<int>{2, 1, 3}));
    // An install letting messages run holds nothing of the dialog's: Alpha
    // dropped on Bravo lands before it.
    InsideOperation(Operation::Install, hold::kNothing, [&] { Drag(order, 1, 0); });
    EXPECT_EQ(Lines(order), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    // While a message or file dialog of the dialog's own waits, no drag
    // begins; once it is answered, drags work again.
    InsideOperation(Operation::Dialog, hold::kSetDialog, [&] { Drag(order, 0, 2); });
    EXPECT_EQ(Lines(order), (std::vector<std::string>{"Alpha", "Bravo", "Charlie"}));
    Drag(order, 0, 2);
    EXPECT_EQ(Lines(order), (std::vector<std::string>{"Bravo", "Alpha", "Charlie"}));
    EXPECT_EQ(form->AutoRandomState().orderedGroups, (std::vector<int>{2, 1, 3}));
    // Dropped outside the lines: nothing moves.
    RECT lr;
    GetWindowRect(order, &lr);
    const POINT outside{lr.right + 40, lr.bottom + 40};
    SetCursorPos(LineCentre(order, 2).x, LineCentre(order, 2).y);
    POINT c = LineCentre(order, 2);
    ScreenToClient(order, &c);
    SendMessageA(order, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
    SetCursorPos(outside.x, outside.y);
    SendMessageA(order, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y + 400));
    Settle();
    EXPECT_EQ(Lines(order), (std::vector<std::string>{"Bravo", "Alpha", "Charlie"}));
    Settle(100);
    Screenshot(d.hwnd(), "frmRandSel_order");

    Click(d, frmRandSel::cmdOK);
    EXPECT_EQ(form->RandSel(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
    EXPECT_FALSE(form->Ended());
    EXPECT_TRUE(form->AutoRandomState().orderMode);
    EXPECT_EQ(form->AutoRandomState().orderList, (std::vector<std::string>{"Bravo", "Alpha", "Charlie"}));
    for (const char* section : {"Set1", "Set2", "Set3"}) EXPECT_EQ(IniValue(ini, section, "Random"), "on");
    EXPECT_EQ(IniValue(ini, "Set4", "Random"), "-");  // not offered, not written
    EXPECT_EQ(IniValue(ini, "Set2", "Order"), "1");
    EXPECT_EQ(IniValue(ini, "Set1", "Order"), "2");
    EXPECT_EQ(IniValue(ini, "Set3", "Order"), "3");
}

TEST_F(AutoRandomWin, AnIniEditedDuringTheDialogEndsTheProgram) {
    Load("");
    frmRandSel& d = OpenDialog();
    Settle(50);  // a later modification time than the program's own writes
    WritePrivateProfileStringA("Mine", "Key", "1", ini.c_str());
    std::string title;
    p->messages.onShown = [&](frmMsg& w) {
        title = GetText(w.hwnd());
        PostMessageA(w.Control(23), BM_CLICK, 0, 0);
    };
    Click(d, frmRandSel::cmdOK);
    EXPECT_EQ(title, "Ini changed");
    EXPECT_TRUE(form->Ended());
    EXPECT_EQ(IniValue(ini, "Set1", "Random"), "-");
    EXPECT_EQ(IniValue(ini, "Mine", "Key"), "1");
}

TEST_F(AutoRandomWin, TimedChangesInstallEachSetUntilAnInstallFails) {
    Load("[Test]\r\nRandomWait=1\r\n[InitRndTime]\r\nInitRndTime=1\r\n");
    EXPECT_EQ(GetText(form->Control(Form1::lblTime)), "1min");
    ASSERT_TRUE(form->AutoRandom().Start());
    EXPECT_FALSE(IsWindowEnabled(form->Control(Form1::cmdInst)));
    std::set<std::string> seen;
    std::string last = ReadTextFile(tex + "\\cld1.bmp");
    int changes = 0;
    const DWORD end = GetTickCount() + 3000;
    while (GetTickCount() < end && seen.size() < 3) {
        Settle(20);
        const std::string now = ReadTextFile(tex + "\\cld1.bmp");
        if (now != last) {
            ++changes;
            last = now;
            seen.insert(now);
        }
    }
    EXPECT_EQ(seen, (std::set<std::string>{"Alpha", "Bravo", "Charlie"}));
    EXPECT_TRUE(form->Timer1On());
    EXPECT_NE(GetText(form->Control(Form1::lblMsg)).find("    Time Remain  "), std::string::npos);
    // The texture file cannot be replaced any more: the timer stops.
    DeleteFileA((tex + "\\cld1.bmp").c_str());
    CreateDirectoryA((tex + "\\cld1.bmp").c_str(), nullptr);
    const DWORD stop = GetTickCount() + 2000;
    while (GetTickCount() < stop && form->Timer1On()) Settle(20);
    EXPECT_FALSE(form->Timer1On());
    EXPECT_NE(GetText(form->Control(Form1::lblMsg)).find(" ( Install Error )    Time Remain  "), std::string::npos)
        << GetText(form->Control(Form1::lblMsg));
    // A right click on lblTime ends AutoRandom.
    SendMessageA(form->Control(Form1::lblTime), WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(GetText(form->Control(Form1::lblTime)), "Off");
    EXPECT_TRUE(IsWindowEnabled(form->Control(Form1::cmdInst)));
}

}  // namespace
