// The catalogue answered from one listing per folder: the platform's wildcard
// rules, and the same catalogue as a search per question on random trees.
#include <gtest/gtest.h>

#include "catalogue_diff.h"
#include "fakes.h"
#include "sets/catalogue.h"

namespace vm {
namespace {

TEST(FolderListingMatch, PlatformWildcardRules) {
    struct Case {
        const char* mask;
        const char* name;
        const char* shortName;
        bool found;
    } cases[] = {
        {"*.bmp", "cld1.bmp", "", true},
        {"*.bmp", "CLD1.BMP", "", true},
        {"*.bmp", "x.bmp.old", "X~1.OLD", false},
        {"*.bmp", "x.bmpx", "", false},           // no 8.3 name: the long name alone
        {"*.bmp", "x.bmpx", "X~1.BMP", true},     // found through its 8.3 name
        {"*.bmp", ".bmp", "", true},
        {"*.bmp", "bmp", "", false},
        {"cld*.bmp", "cldcn2.bmp", "", true},
        {"cldcn*.bmp", "cld2.bmp", "", false},
        {"cldcn*.bmp", "cldcn_x.bmpx", "CLDC~ABC.BMP", false},  // an 8.3 name too short for the prefix
        {"cldcn*.bmp", "cldcn_x.bmpx", "CLDCN_~1.BMP", true},
        {"cirrus_overcast.bmp", "Cirrus_Overcast.BMP", "CIRRUS~1.BMP", true},
        {"cirrus_overcast.bmp", "cirrus_overcast.bmp.bak", "CIRRUS~1.BAK", false},
        {"sun6.bmp", "sun6.bmpx", "SUN6~1.BMP", false},
        {"?un6.bmp", "Sun6.bmp", "", true},
        {"*", ".", "", true},
        {"*a*b*", "xxaxxbxx", "", true},
        {"*a*b", "xxaxxbxx", "", false},
        {"", "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " / " + c.name + " / " + c.shortName);
        EXPECT_EQ(EntryMatches(c.mask, FindData{c.name, 0, c.shortName}), c.found);
    }
}

class ListingTest : public ::testing::Test {
protected:
    TestEnv te;
    Settings s;
    const std::string data = "C:\\Data";

    void SetUp() override {
        te.fs.AddDir(data);
        s.DataDir = data;
    }
    void Ini(const std::string& sections) {
        te.fs.AddFile(te.env.programDir + "\\cloud.ini", "[AppName]\r\nName=V\r\n" + sections);
    }
};

TEST_F(ListingTest, SameCatalogueAsASearchPerQuestionOnRandomTrees) {
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        te.fs = MemoryFileSystem();
        te.fs.AddDir(te.env.programDir);
        te.fs.AddDir(data);
        const RandomSets r = MakeRandomSets(te.fs, data, seed);
        Ini(r.sections);
        s.ShowErrSet = r.showErrSet;
        ASSERT_EQ(CatalogueText(te.env, s, r.folders, &FolderListing::Open),
                  CatalogueText(te.env, s, r.folders, &SearchedFolder::Open))
            << "seed " << seed << "\n" << r.sections;
    }
}

TEST_F(ListingTest, EachSetFolderIsSearchedOnceAndOddNamesStillResolve) {
    for (int k = 1; k <= 13; ++k) {
        te.fs.AddFile(data + "\\Cumulus" + std::to_string(k) + "\\cld" + std::to_string(k) + ".bmp");
        te.fs.AddFile(data + "\\Cumulus" + std::to_string(k) + "\\cirrus_overcast.bmp");
    }
    te.fs.AddFile(data + "\\Odd\\x.bmpx");  // found by "*.bmp" through its 8.3 name
    te.fs.AddFile(data + "\\Dotted\\halo.bmp");
    Catalogue cat;
    auto searches = [&](int to) {
        Ini("[Set1]\r\nDirName=Cumulus\r\nfrom=1\r\nto=" + std::to_string(to) + "\r\n[Set2]\r\nDirName=Odd\r\n");
        const int before = te.fs.Calls(FsOp::Find);
        BuildCatalogue(te.env, s, cat);
        return te.fs.Calls(FsOp::Find) - before;
    };
    const int ten = searches(13) - searches(3);
    EXPECT_EQ(ten, 10);  // one search per set folder, whatever it holds
    const std::string sections = "[Set1]\r\nDirName=Cumulus\r\nfrom=1\r\nto=3\r\n[Set2]\r\nDirName=Odd\r\n";
    ASSERT_EQ(cat.entries.size(), 4u);
    EXPECT_EQ(cat.Entry(1).skyKind, kSkyCumulus);
    EXPECT_TRUE(cat.Entry(4).valid);
    EXPECT_EQ(cat.Entry(4).skyKind, kSkyMisc);

    // A trailing dot, which the platform drops, is left to the searches.
    Ini(sections + "[Set3]\r\nDirName=Dotted.\r\n");
    BuildCatalogue(te.env, s, cat);
    ASSERT_EQ(cat.entries.size(), 5u);
    EXPECT_EQ(cat.Entry(5).name, "Dotted.");
    EXPECT_TRUE(cat.Entry(5).valid);
    EXPECT_EQ(GetDataType(te.env, data + "\\Dotted.\\"), "Light");
}

}  // namespace
}  // namespace vm
