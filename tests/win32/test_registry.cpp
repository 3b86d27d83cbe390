// The registry class and simulator detection against Wine's real registry.
#include <gtest/gtest.h>

#include <windows.h>

#include "config/detect.h"
#include "fakes.h"
#include "platform/win32_ports.h"
#include "sound/reg_read.h"

using namespace vm;

namespace {

constexpr char kSims[] = "Software\\Microsoft\\Microsoft Games";

#ifdef _WIN64
constexpr REGSAM kView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kView = 0;
#endif

void SetValue(HKEY root, const std::string& key, const std::string& name, const std::string& value,
              REGSAM view = 0) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(h, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
}

void DeleteTree(HKEY root, const std::string& key, REGSAM view = 0) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS | view, &h) != ERROR_SUCCESS) return;
    char name[256];
    while (RegEnumKeyA(h, 0, name, sizeof name) == ERROR_SUCCESS) DeleteTree(h, name, view);
    RegCloseKey(h);
    RegDeleteKeyA(root, key.c_str());
}

struct RegistryTest : ::testing::Test {
    TestEnv t;
    Win32Registry reg;
    void SetUp() override { t.env.registry = &reg; }
};

}  // namespace

TEST_F(RegistryTest, RegDataReadsTwoLevelsAndCutsLongValues) {
    const std::string base = "Software\\VellmoraTest";
    SetValue(HKEY_CURRENT_USER, base + "\\Scheme\\.Current", "", "C:\\sounds\\ding.wav");
    SetValue(HKEY_CURRENT_USER, base + "\\Scheme\\.Current", "Long", std::string(300, 'x'));
    clsRegRead r(t.env);
    r.RootName = reinterpret_cast<Registry::Key>(HKEY_CURRENT_USER);
    r.SubKey = base;
    r.SubKey2 = "Scheme\\.Current";
    EXPECT_EQ(r.RegData(), "C:\\sounds\\ding.wav");  // the default value
    EXPECT_FALSE(r.ErrFlg);
    r.ValueName = "Long";
    const std::string cut = r.RegData();
    EXPECT_FALSE(r.ErrFlg);
    EXPECT_LE(cut.size(), 256u);
    EXPECT_GE(cut.size(), 255u);
    r.ValueName = "Missing";
    EXPECT_EQ(r.RegData(), "");
    EXPECT_TRUE(r.ErrFlg);
    r.SubKey2 = "NoSuchKey";
    r.ValueName.clear();
    EXPECT_EQ(r.RegData(), "");
    EXPECT_TRUE(r.ErrFlg);
    DeleteTree(HKEY_CURRENT_USER, base);
}

TEST_F(RegistryTest, DetectsSimulatorsInThe32BitView) {
    const std::string fs = std::string(kSims) + "\\Flight Simulator";
    const std::string cfs = std::string(kSims) + "\\Combat Flight Simulator";
    DeleteTree(HKEY_LOCAL_MACHINE, fs, kView);
    DeleteTree(HKEY_LOCAL_MACHINE, cfs, kView);

    // Only 2000: slot 0 from the "Path" value, fs2000.exe, button 1 off.
    SetValue(HKEY_LOCAL_MACHINE, fs + "\\7.0", "Path", "C:\\FS2000", kView);
    Settings s;
    FsButtons b = DetectSimulators(t.env, s);
    EXPECT_EQ(s.FsPath[0], "C:\\FS2000");
    EXPECT_EQ(s.FsExe[0], "fs2000.exe");
    EXPECT_TRUE(b.enabled[0]);
    EXPECT_FALSE(b.enabled[1]);
    EXPECT_EQ(b.selected, 0);

    // 2002 wins over 2000; CFS3 fills slot 1.
    SetValue(HKEY_LOCAL_MACHINE, fs + "\\8.0", "EXE Path", "C:\\FS2002", kView);
    SetValue(HKEY_LOCAL_MACHINE, cfs + "\\3.0", "EXE Path", "C:\\CFS3", kView);
    Settings s2;
    b = DetectSimulators(t.env, s2);
    EXPECT_EQ(s2.FsPath[0], "C:\\FS2002");
    EXPECT_EQ(s2.FsExe[0], "fs2002.exe");
    EXPECT_EQ(s2.FsPath[1], "C:\\CFS3");
    EXPECT_EQ(s2.FsExe[1], "cfs3.exe");
    EXPECT_TRUE(b.enabled[1]);

    // Neither: the fatal message.
    DeleteTree(HKEY_LOCAL_MACHINE, fs, kView);
    DeleteTree(HKEY_LOCAL_MACHINE, cfs, kView);
    Settings s3;
    EXPECT_THROW(DetectSimulators(t.env, s3), ProgramEnd);
    ASSERT_EQ(t.msg.calls.size(), 1u);
    EXPECT_EQ(t.msg.calls[0].title, "No FS");
    EXPECT_EQ(t.msg.calls[0].text, "No FS2002 is installed.");
    EXPECT_EQ(t.msg.calls[0].style, 16);
}
