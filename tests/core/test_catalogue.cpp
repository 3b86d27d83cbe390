// The data-set catalogue built from [SetN] sections against a data folder.
#include <gtest/gtest.h>

#include "test_sets_view.h"

namespace vm {
namespace {

class CatalogueTest : public SetsFixture {
protected:
    void Folder(const std::string& name, std::initializer_list<const char*> files = {"cld1.bmp"}) {
        te.fs.AddDir(Data(name));
        for (const char* f : files) te.fs.AddFile(Data(name) + "\\" + f, "x");
    }
    void Build(const std::string& sections) {
        Ini("[AppName]\r\nName=V\r\n" + sections);
        BuildCatalogue(te.env, s, cat);
    }
    // Builds and expects the program to end; returns the message shown.
    ScriptedMessages::Call BuildFatal(const std::string& sections) {
        EXPECT_THROW(Build(sections), ProgramEnd);
        return te.msg.calls.empty() ? ScriptedMessages::Call{} : te.msg.Last();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> n;
        for (const auto& e : cat.entries) n.push_back(e.name);
        return n;
    }
};

TEST_F(CatalogueTest, RangeFindsTheBlankBeforeTheNumber) {
    for (int k = 1; k <= 3; ++k) Folder("Cumulus " + std::to_string(k));
    Build("[Set1]\r\nDirName=Cumulus\r\nfrom=1\r\nto=3\r\nOrder=2\r\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cumulus 1", "Cumulus 2", "Cumulus 3"}));
    const SetGroup& g = cat.Group(1);
    EXPECT_EQ(g.baseName, "Cumulus ");
    EXPECT_EQ(g.from, 1);
    EXPECT_EQ(g.to, 3);
    EXPECT_EQ(g.firstEntry, 1);
    EXPECT_EQ(g.entryCount, 3);
    EXPECT_TRUE(g.hasValid);
    EXPECT_TRUE(g.random);
    EXPECT_EQ(g.order, 2);
    for (const auto& e : cat.entries) EXPECT_EQ(e.group, 1);
}

TEST_F(CatalogueTest, TStormNamesFindOneOrTwoBlanksAfterThePrefix) {
    struct Case {
        const char* dirName;
        const char* folderBase;  // as on disk
        const char* base;        // expected base name
    } cases[] = {
        {"T-Storm Heavy", "t-storm  Heavy", "T-Storm  Heavy"},
        {"T-StormHeavy", "t-storm Heavy", "T-Storm Heavy"},
        {"T-Storm   Heavy", "T-Storm Heavy", "T-Storm Heavy"},
        {"T-Storm Heavy", "T-Storm Heavy", "T-Storm Heavy"},  // the name as written wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dirName);
        te.fs = MemoryFileSystem();
        te.fs.AddDir("C:\\Prog");
        Folder(std::string(c.folderBase) + "1");
        Folder(std::string(c.folderBase) + "2");
        Build(std::string("[Set1]\r\nDirName=") + c.dirName + "\r\nfrom=1\r\nto=2\r\n");
        EXPECT_EQ(cat.Group(1).baseName, c.base);
        EXPECT_EQ(Names(), (std::vector<std::string>{std::string(c.base) + "1", std::string(c.base) + "2"}));
    }
}

TEST_F(CatalogueTest, SingleFolderGroupTrimsTheName) {
    Folder("Alto");
    Build("[Set1]\r\nDirName=  Alto  \r\n");
    ASSERT_EQ(Names(), std::vector<std::string>{"Alto"});
    EXPECT_EQ(cat.Group(1).from, kNoNumber);
    EXPECT_EQ(cat.Group(1).to, kNoNumber);
    EXPECT_EQ(cat.Group(1).order, kNoNumber);
}

TEST_F(CatalogueTest, MissingFolderInTheMiddleOfARangeEndsTheProgramWithItsPath) {
    Folder("Cu1");
    Folder("Cu3");
    const auto m = BuildFatal("[Set1]\r\nDirName=Cu\r\nfrom=1\r\nto=3\r\n");
    EXPECT_EQ(m.title, "ini read Error");
    EXPECT_EQ(m.style, 16);
    EXPECT_EQ(m.text, "Data folder was not found.\r\nC:\\FS\\texture\\Sky\\Cu2");
}

TEST_F(CatalogueTest, RangeWithToBelowFromHasNoEntries) {
    Folder("Cu5");
    Folder("Alto");
    Build("[Set1]\r\nDirName=Cu\r\nfrom=5\r\nto=2\r\n[Set2]\r\nDirName=Alto\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"Alto"});
    EXPECT_FALSE(cat.Group(1).hasValid);
    EXPECT_FALSE(cat.Group(1).random);
    EXPECT_EQ(cat.Group(1).entryCount, 0);
    EXPECT_EQ(cat.Group(2).firstEntry, 1);
}

TEST_F(CatalogueTest, BadKeysEndTheProgram) {
    Folder("Cu1");
    struct Case {
        const char* sections;
        const char* text;
    } cases[] = {
        {"[Set1]\r\nfrom=1\r\n", "Set1,DirName can't read from ini file."},
        {"[Set1]\r\nDirName=Cu\r\nfrom=1\r\n", "Set1,to can't read from ini file."},
        {"[Set1]\r\nDirName=Cu\r\nfrom=one\r\nto=2\r\n",
         "Section:Set1  Key:from\r\nThe data can't be changed Number(Integer)."},
        {"[Set1]\r\nDirName=Cu\r\nfrom=1\r\nto=40000\r\n",
         "Section:Set1  Key:to\r\nThe data can't be changed Number(Integer)."},
        {"[Set1]\r\nDirName=Cu\r\nfrom=\r\nto=1\r\n",
         "Section:Set1  Key:from\r\nThe data can't be changed Number(Integer)."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sections);
        const auto m = BuildFatal(c.sections);
        EXPECT_EQ(m.title, "ini read Error");
        EXPECT_EQ(m.text, c.text);
    }
}

TEST_F(CatalogueTest, ListEndsAtTheFirstSectionWithoutDirName) {
    Folder("A");
    Folder("B");
    Folder("D");
    Build("[Set1]\r\nDirName=A\r\n[Set2]\r\nDirName=B\r\n[Set3]\r\nRandom=on\r\n[Set4]\r\nDirName=D\r\n");
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(cat.groups.size(), 2u);
}

TEST_F(CatalogueTest, FoldersWithoutBitmapsAndEntryNumbers) {
    Folder("Cu1");
    Folder("Cu2", {"readme.txt"});
    Folder("Cu3");
    Folder("Alto");
    const std::string ini = "[Set1]\r\nDirName=Cu\r\nfrom=1\r\nto=3\r\n[Set2]\r\nDirName=Alto\r\n";

    Build(ini);  // ShowErrSet off: the empty folder owns no entry number
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cu1", "Cu3", "Alto"}));
    EXPECT_EQ(cat.Group(1).firstEntry, 1);
    EXPECT_EQ(cat.Group(1).entryCount, 2);
    EXPECT_EQ(cat.Group(2).firstEntry, 3);
    EXPECT_EQ(cat.Entry(cat.Group(2).firstEntry).name, "Alto");

    s.ShowErrSet = true;
    Build(ini);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cu1", "Cu2", "Cu3", "Alto"}));
    EXPECT_FALSE(cat.Entry(2).valid);
    EXPECT_EQ(cat.Entry(2).skyKind, kSkyMisc);
    EXPECT_EQ(cat.Group(2).firstEntry, 4);
}

TEST_F(CatalogueTest, RandomAndOrderKeys) {
    Folder("A");
    Folder("B");
    Folder("C");
    Folder("E", {"x.txt"});
    Build("[Set1]\r\nDirName=A\r\nRandom=OFF\r\nOrder=abc\r\n"
          "[Set2]\r\nDirName=B\r\nRandom=on\r\nOrder=12.6\r\n"
          "[Set3]\r\nDirName=C\r\n"
          "[Set4]\r\nDirName=E\r\nRandom=on\r\nOrder=1\r\n");
    EXPECT_FALSE(cat.Group(1).random);
    EXPECT_EQ(cat.Group(1).order, kNoNumber);
    EXPECT_TRUE(cat.Group(2).random);
    EXPECT_EQ(cat.Group(2).order, 13);
    EXPECT_TRUE(cat.Group(3).random);  // no key: takes part
    EXPECT_FALSE(cat.Group(4).random);  // no valid folder
    EXPECT_EQ(cat.Group(4).order, 1);

    s.ShowErrSet = true;
    Build("[Set1]\r\nDirName=A\r\nRandom=off\r\n[Set2]\r\nDirName=B\r\n[Set3]\r\nDirName=E\r\n");
    EXPECT_EQ(BuildEligibility(cat), (std::vector<bool>{false, true, false}));
}

TEST_F(CatalogueTest, RebuildStartsFromNothing) {
    Folder("A");
    Folder("B");
    Build("[Set1]\r\nDirName=A\r\n[Set2]\r\nDirName=B\r\n");
    BuildEligibility(cat);
    Build("[Set1]\r\nDirName=B\r\n");
    EXPECT_EQ(Names(), std::vector<std::string>{"B"});
    EXPECT_EQ(cat.groups.size(), 1u);
    EXPECT_TRUE(cat.eligible.empty());
}

TEST_F(CatalogueTest, FourHundredFoldersInOneRange) {
    for (int k = 1; k <= 400; ++k) Folder("S" + std::to_string(k), {k % 2 ? "cldcn1.bmp" : "moon.bmp"});
    Build("[Set1]\r\nDirName=S\r\nfrom=1\r\nto=400\r\n");
    ASSERT_EQ(cat.entries.size(), 400u);
    EXPECT_EQ(cat.Entry(400).name, "S400");
    EXPECT_EQ(FilterNames(cat, kSkyThunder).size(), 200u);
    EXPECT_EQ(FilterNames(cat, kSkyMisc).size(), 200u);
}

TEST_F(CatalogueTest, SkyKindAndDataTypeFromTheBitmaps) {
    struct Case {
        std::vector<const char*> files;
        int16_t kind;
        const char* type;
    } cases[] = {
        {{"cldcn01.bmp", "cld02.bmp"}, kSkyThunder, "Thunder"},
        {{"CLD02.BMP"}, kSkyCumulus, "Cumulus"},
        {{"cirrus1.bmp", "cumulus1.bmp", "stratus1.bmp"}, kSkyHighMid, "Cumulus"},
        {{"cirrus1.bmp", "stratus1.bmp"}, kSkyMisc, "Stratus"},
        {{"cirrus_overcast.bmp"}, kSkyVSky, "Cirrus"},
        {{"raindrop.bmp", "sun6.bmp"}, kSkyMisc, "Raindrop"},
        {{"sun6.bmp", "moon.bmp"}, kSkyMisc, "Sun"},
        {{"moon2.bmp", "halo.bmp"}, kSkyMisc, "Moon"},
        {{"halo.bmp"}, kSkyMisc, "Light"},
        {{"runway1.bmp"}, kSkyMisc, "Runway"},
        {{"smoke.bmp"}, kSkyMisc, "Smoke"},
        {{"water.bmp", "cld.txt"}, kSkyMisc, "Unknown"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string folder = Data("K" + std::to_string(++n));
        te.fs.AddDir(folder);
        for (const char* f : c.files) te.fs.AddFile(folder + "\\" + f);
        SCOPED_TRACE(c.type);
        EXPECT_EQ(GetSkyKind(te.env, folder), c.kind);
        EXPECT_EQ(GetDataType(te.env, folder), c.type);
    }
    EXPECT_TRUE(IsCloudDataType("thunder"));
    EXPECT_FALSE(IsCloudDataType("Sun"));
    EXPECT_FALSE(IsCloudDataType("Unknown"));
}

TEST_F(CatalogueTest, FilterContents) {
    Folder("A", {"cld1.bmp"});
    Folder("B", {"cirrus_overcast.bmp"});
    Folder("C", {"cld3.bmp"});
    Build("[Set1]\r\nDirName=A\r\n[Set2]\r\nDirName=B\r\n[Set3]\r\nDirName=C\r\n");
    EXPECT_EQ(FilterNames(cat, kSkyCumulus), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(FilterNames(cat, kSkyVSky), std::vector<std::string>{"B"});
    EXPECT_TRUE(FilterNames(cat, kSkyHighMid).empty());
}

}  // namespace
}  // namespace vm
