// Finding the simulator installations and the state of the optFs buttons.
#include <gtest/gtest.h>

#include "config/detect.h"
#include "fakes.h"

namespace vm {
namespace {

const char* const kFs = "Software\\Microsoft\\Microsoft Games\\Flight Simulator";
const char* const kCfs = "Software\\Microsoft\\Microsoft Games\\Combat Flight Simulator";
constexpr Registry::Key kHklm = Registry::kLocalMachine;

TEST(DetectSimulators, SlotsExecutablesAndButtons) {
    struct Case {
        const char* name;
        std::function<void(FakeRegistry&)> setup;
        std::string path0, exe0, path1;
        bool enabled0, enabled1;
        int selected;
    };
    const Case cases[] = {
        {"fs2002 only", [](FakeRegistry& r) { r.Set(kHklm, std::string(kFs) + "\\8.0", "EXE Path", "C:\\FS2002"); },
         "C:\\FS2002", "fs2002.exe", "", true, false, 0},
        {"fs2000 only",
         [](FakeRegistry& r) {
             r.Set(kHklm, std::string(kFs) + "\\7.0", "Path", "C:\\FS2000");
             r.Set(kHklm, std::string(kFs) + "\\8.0", "EXE Path", "");  // present but empty
         },
         "C:\\FS2000", "fs2000.exe", "", true, false, 0},
        {"cfs3 only", [](FakeRegistry& r) { r.Set(kHklm, std::string(kCfs) + "\\3.0", "EXE Path", "D:\\CFS3"); },
         "", "fs2000.exe", "D:\\CFS3", false, true, 1},
        {"both",
         [](FakeRegistry& r) {
             r.Set(kHklm, std::string(kFs) + "\\8.0", "EXE Path", "C:\\FS2002");
             r.Set(kHklm, std::string(kFs) + "\\7.0", "Path", "C:\\FS2000");
             r.Set(kHklm, std::string(kCfs) + "\\3.0", "EXE Path", "D:\\CFS3");
         },
         "C:\\FS2002", "fs2002.exe", "D:\\CFS3", true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestEnv t;
        c.setup(t.registry);
        Settings s;
        const FsButtons b = DetectSimulators(t.env, s);
        EXPECT_EQ(s.FsPath[0], c.path0);
        EXPECT_EQ(s.FsExe[0], c.exe0);
        EXPECT_EQ(s.FsPath[1], c.path1);
        EXPECT_EQ(s.FsExe[1], "cfs3.exe");
        EXPECT_EQ(b.enabled[0], c.enabled0);
        EXPECT_EQ(b.enabled[1], c.enabled1);
        EXPECT_EQ(b.selected, c.selected);
        EXPECT_EQ(t.registry.OpenHandles(), 0u);
        for (uint32_t a : t.registry.accessMasks) EXPECT_EQ(a, 9u);
        EXPECT_TRUE(t.msg.calls.empty());
    }
}

TEST(DetectSimulators, NeitherInstalledIsFatal) {
    TestEnv t;
    t.registry.AddKey(kHklm, std::string(kFs) + "\\8.0");  // the key without its value
    Settings s;
    EXPECT_THROW(DetectSimulators(t.env, s), ProgramEnd);
    ASSERT_EQ(t.msg.calls.size(), 1u);
    EXPECT_EQ(t.msg.Last().title, "No FS");
    EXPECT_EQ(t.msg.Last().text, "No FS2002 is installed.");
    EXPECT_EQ(t.msg.Last().style, 16);
}

TEST(IpcModulePresent, FileUnderModules) {
    TestEnv t;
    Settings s;
    s.FsDir = "C:\\FS";
    t.fs.AddDir("C:\\FS");
    EXPECT_FALSE(IpcModulePresent(t.env, s));
    t.fs.AddDir("C:\\FS\\Modules");
    EXPECT_FALSE(IpcModulePresent(t.env, s));
    t.fs.AddFile("C:\\FS\\Modules\\fsuipc.DLL");
    EXPECT_TRUE(IpcModulePresent(t.env, s));
}

}  // namespace
}  // namespace vm
