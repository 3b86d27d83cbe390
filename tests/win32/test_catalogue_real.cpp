// The catalogue from one listing per folder against a search per question,
// on real folders: random trees, and the names the 8.3 rules make tricky.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "catalogue_diff.h"
#include "fakes.h"
#include "platform/win32_fs.h"
#include "platform/win32_profile.h"
#include "win_files.h"

namespace vm {
namespace {

class CatalogueReal : public ::testing::Test {
protected:
    void SetUp() override {
        env_.fs = &fs_;
        env_.profile = &profile_;
        env_.clock = &clock_;
        env_.pump = &pump_;
        env_.msg = &msg_;
    }
    // A fresh program folder and data folder under %TEMP%.
    void Fresh(const std::string& name) {
        root_ = TempFolderName(name);
        RemoveTree(root_);
        CreateDirectoryA(root_.c_str(), nullptr);
        env_.programDir = root_ + "\\Prog";
        s_.DataDir = root_ + "\\Data";
        CreateDirectoryA(env_.programDir.c_str(), nullptr);
        CreateDirectoryA(s_.DataDir.c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(root_); }

    Win32FileSystem fs_;
    Win32Profile profile_;
    FakeClock clock_;
    CountingPump pump_;
    ScriptedMessages msg_;
    Env env_;
    Settings s_;
    std::string root_;
};

TEST_F(CatalogueReal, SameCatalogueAsASearchPerQuestionOnRandomFolders) {
    for (uint32_t seed = 1; seed <= 50; ++seed) {
        Fresh(std::string("vm_catalogue_").append(std::to_string(seed)));
        const RandomSets r = MakeRandomSets(fs_, s_.DataDir, seed);
        WriteTextFile(env_.programDir + "\\cloud.ini", "[AppName]\r\nName=V\r\n" + r.sections);
        s_.ShowErrSet = r.showErrSet;
        const std::string listed = CatalogueText(env_, s_, r.folders, &FolderListing::Open);
        const std::string searched = CatalogueText(env_, s_, r.folders, &SearchedFolder::Open);
        RemoveTree(root_);
        ASSERT_EQ(listed, searched) << "seed " << seed << "\n" << r.sections;
    }
}

// Each name alone in a folder: every pattern the catalogue asks gets the
// answer the platform's own search gives.
TEST_F(CatalogueReal, EightDotThreeNamesAnswerAsTheSearch) {
    const char* names[] = {"x.bmpx",       "cldcn_x.bmpx", "stratus1.bmpx", "c l d.bmpx", "CUMUL.BMPX",
                           "moonlight.bmp1", "sun6.bmp.bak", "x.bmp.old",    ".bmpx",      "cirrus_overcast.bmpx",
                           "Halo.BMP",     "a b.bmp",      "cld+1.bmp",     "runway 2.bmp"};
    const char* patterns[] = {"*.bmp",       "cldcn*.bmp", "cld*.bmp",     "cumul*.bmp",   "stratus*.bmp",
                              "cirrus*.bmp", "cirrus_overcast.bmp", "raindrop.bmp", "sun6.bmp", "moon*.bmp",
                              "halo.bmp",    "runway*.bmp", "smoke*.bmp"};
    Fresh("vm_catalogue_names");
    int shortNames = 0;
    for (const char* name : names) {
        const std::string folder = s_.DataDir + "\\" + std::to_string(shortNames++);
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteTextFile(folder + "\\" + name, "BM");
        const FolderListing listed = FolderListing::Read(env_, folder);
        const SearchedFolder searched(env_, folder);
        for (const char* p : patterns) EXPECT_EQ(listed.Has(p), searched.Has(p)) << name << " / " << p;
        for (const FindData& e : listed.Entries())
            if (e.name == name) std::printf("%-22s 8.3 name \"%s\"\n", name, e.shortName.c_str());
    }
}

}  // namespace
}  // namespace vm
