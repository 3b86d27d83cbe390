// A main window in memory for the set logic's tests, and a fixture with a
// simulator installation, a data folder and cloud.ini in a MemoryFileSystem.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/loader.h"
#include "config/settings.h"
#include "fakes.h"
#include "sets/catalogue.h"
#include "sets/sets_controller.h"
#include "sets/sets_view.h"
#include "sets/backup.h"
#include "sets/texture_record.h"
#include "common/convert.h"

namespace vm {

// The loader's view when no main window is there.
struct NoConfigView : ConfigView {
    void ClearLists() override {}
    void SetStretch(bool) override {}
    void SetToolTip(const std::string&, int, const std::string&) override {}
};

class FakeSetsView : public SetsView {
public:
    struct Item {
        std::string text;
        bool checked = false;
    };
    struct List {
        std::vector<Item> items;
        int selected = -1;
    };
    std::map<Lst, List> lists;
    std::map<Ctl, bool> enabled, visible;
    std::map<Ctl, std::string> captions;
    std::map<int, uint32_t> filterColors;
    std::vector<std::string> pictures;  // every ShowPicture call
    std::vector<Menu> popups;
    int mainShown = 0;
    std::vector<std::string> msgHistory;  // every lblMsg caption

    int Count(Lst l) override { return static_cast<int>(lists[l].items.size()); }
    std::string Item(Lst l, int i) override { return lists[l].items.at(static_cast<size_t>(i)).text; }
    void Clear(Lst l) override { lists[l] = List{}; }
    void Add(Lst l, const std::string& t) override { lists[l].items.push_back({t, false}); }
    int Selected(Lst l) override { return lists[l].selected; }
    void Select(Lst l, int i) override {
        ASSERT_LT(i, Count(l));
        lists[l].selected = i;
    }
    bool Checked(Lst l, int i) override { return lists[l].items.at(static_cast<size_t>(i)).checked; }
    void SetChecked(Lst l, int i, bool c) override { lists[l].items.at(static_cast<size_t>(i)).checked = c; }
    bool Enabled(Ctl c) override { return enabled.count(c) ? enabled[c] : true; }
    void SetEnabled(Ctl c, bool e) override { enabled[c] = e; }
    void SetVisible(Ctl c, bool v) override { visible[c] = v; }
    bool OptionChosen(Ctl c) override { return c == Ctl::optSky ? !fltChosen : (c == Ctl::optFLT && fltChosen); }
    void SetCaption(Ctl c, const std::string& t) override {
        captions[c] = t;
        if (c == Ctl::lblMsg) msgHistory.push_back(t);
    }
    void SetFilterColor(int i, uint32_t color) override { filterColors[i] = color; }
    void ShowPicture(const std::string& p) override { pictures.push_back(p); }
    void Popup(Menu m) override { popups.push_back(m); }
    void ShowMainWindow() override { ++mainShown; }

    bool fltChosen = false;

    // Test helpers.
    std::vector<std::string> Texts(Lst l) {
        std::vector<std::string> t;
        for (const auto& it : lists[l].items) t.push_back(it.text);
        return t;
    }
    std::vector<std::string> CheckedTexts(Lst l) {
        std::vector<std::string> t;
        for (const auto& it : lists[l].items)
            if (it.checked) t.push_back(it.text);
        return t;
    }
    std::string SelectedText(Lst l) {
        const int i = lists[l].selected;
        return i < 0 ? std::string() : lists[l].items[static_cast<size_t>(i)].text;
    }
    void CheckOnly(Lst l, const std::vector<std::string>& names) {
        for (auto& it : lists[l].items) {
            it.checked = false;
            for (const auto& n : names)
                if (it.text == n) it.checked = true;
        }
    }
};

// C:\FS is the simulator, C:\FS\texture\Sky the data folder, C:\FS\texture\bk
// the backup folder; cloud.ini lives in the program folder C:\Prog.
class SetsFixture : public ::testing::Test {
protected:
    static constexpr const char* kTex = "C:\\FS\\texture";
    static constexpr const char* kData = "C:\\FS\\texture\\Sky";
    static constexpr const char* kBak = "C:\\FS\\texture\\bk";
    static constexpr const char* kIni = "C:\\Prog\\cloud.ini";

    TestEnv te;
    Settings s;
    Catalogue cat;
    SetsState state;
    FakeSetsView view;
    SetsHooks hooks;
    SetsController ctl{te.env, s, cat, state, view, hooks};
    bool autoRandom = false;
    int autoRandomStops = 0;
    std::vector<std::string> refreshed;

    ~SetsFixture() override { MemoryFileSystem::Spared = nullptr; }
    SetsFixture() {
        // The texture record's own write and replace are not the file
        // operations these tests count and fail.
        MemoryFileSystem::Spared = [](FsOp op, const std::string& path) {
            const std::string name = path.substr(path.rfind('\\') + 1);
            return (op == FsOp::Write && IsCopyTempName(name)) ||
                   (op == FsOp::Replace && SameText(name, kRecordFileName));
        };
        s.FsDir = "C:\\FS";
        s.TextureDir = kTex;
        s.DataDir = kData;
        s.BackupDir = kBak;
        s.BackupEnabled = true;
        s.ShowSkyFiles = true;
        s.LastInstCount = 3;
        te.fs.AddDir(kData);
        te.fs.AddFile(kIni, "[AppName]\r\nName=Vellmora\r\n");
        hooks.autoRandomOn = [this] { return autoRandom; };
        hooks.stopAutoRandom = [this] { ++autoRandomStops; };
        hooks.refreshClouds = [this](const std::string& t) { refreshed.push_back(t); };
    }

    std::string Tex(const std::string& name) { return std::string(kTex) + "\\" + name; }
    std::string Bak(const std::string& name) { return std::string(kBak) + "\\" + name; }
    std::string Data(const std::string& rel) { return std::string(kData) + "\\" + rel; }
    void Ini(const std::string& text) { te.fs.AddFile(kIni, text); }

    // A single-folder set per name, catalogued and listed, first one chosen.
    void LoadSets(const std::vector<std::string>& names) {
        std::string ini = "[AppName]\r\nName=Vellmora\r\n";
        for (size_t i = 0; i < names.size(); ++i)
            ini += "[Set" + std::to_string(i + 1) + "]\r\nDirName=" + names[i] + "\r\n";
        Ini(ini);
        BuildCatalogue(te.env, s, cat);
        ctl.FillSetLists();
    }
};

}  // namespace vm
