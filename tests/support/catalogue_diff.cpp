#include "catalogue_diff.h"

#include <random>
#include <sstream>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "sets/catalogue.h"

namespace vm {

bool SearchedFolder::IsFolder() const { return DirCheck(env_, folder_) == "OK"; }

bool SearchedFolder::Has(const std::string& pattern) const {
    return FileCheck(env_, folder_ + "\\" + pattern) == "OK";
}

namespace {

const char* const kFiles[] = {
    "cld1.bmp",      "CLDCN2.BMP",     "cldcn_x.bmpx",        "cirrus3.bmp",     "Cumulus4.Bmp",
    "stratus5.bmp",  "cirrus_overcast.bmp", "CIRRUS_OVERCAST.BMP", "raindrop.bmp", "Sun6.bmp",
    "moon.bmp",      "halo.BMP",       "runway2.bmp",         "smoke1.bmp",      "x.bmp.old",
    "x.bmpx",        "a b.bmp",        "notes.txt",           "preview.jpg",     "cld.jpeg",
    "sun6.bmp.bak",  "stratus1.bmpx",  "c l d.bmpx",          "moonlight.bmp1",  "cl.bmp",
    "cirrusA.bmpz",  "long name of a cumulus.bmp", "CUMUL.BMPX", "smoke.bm",     "cldcn.bmp.txt",
};
const char* const kFolders[] = {"cld9.bmp", "y.BMP", "Sun", "Moon", "cirrus_overcast.bmp"};

class Maker {
public:
    Maker(FileSystem& fs, std::string dataDir, uint32_t seed) : fs_(fs), data_(std::move(dataDir)), rng_(seed) {}

    RandomSets Run() {
        out_.showErrSet = Pick(2) == 0;
        const int groups = 1 + Pick(6);
        for (int n = 1; n <= groups; ++n) Group(n);
        return out_;
    }

private:
    int Pick(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

    void Group(int n) {
        const std::string tag(1, static_cast<char>('A' + n - 1));
        std::string section = "[Set" + std::to_string(n) + "]\r\n";
        switch (Pick(5)) {
            case 0: {  // one folder, the name written in another case and padded
                const std::string name = "Single " + tag;
                Folder(name);
                // Written in another case, padded, or with a dot the platform drops.
                const std::string written[] = {" " + name + " ", LCase(name), name + "."};
                section += "DirName=" + written[Pick(3)] + "\r\n";
                break;
            }
            case 1:  // a range with the number right after the name
                section += Range("Plain" + tag, "Plain" + tag);
                break;
            case 2:  // a blank before the number, not written in DirName
                section += Range("Cumulus" + tag, "Cumulus" + tag + " ");
                break;
            case 3: {  // "t-storm" spelled with one or two blanks on disk
                const char* disk[] = {"t-storm  Heavy", "T-Storm Heavy", "T-STORM  Heavy"};
                section += Range(Pick(2) ? "T-Storm Heavy" : "T-StormHeavy", disk[Pick(3)] + tag);
                break;
            }
            default:  // a range named exactly, with its DirName in another case
                section += Range(UCase("Mixed" + tag), "Mixed" + tag);
                break;
        }
        const char* random[] = {nullptr, "off", "OFF", "on", "True"};
        const char* order[] = {nullptr, "3", "x", "2.5", "70000"};
        if (const char* r = random[Pick(5)]) section += std::string("Random=") + r + "\r\n";
        if (const char* o = order[Pick(5)]) section += std::string("Order=") + o + "\r\n";
        out_.sections += section;
    }

    std::string Range(const std::string& dirName, const std::string& diskBase) {
        const int from = Pick(3);
        int to = from + Pick(4);
        if (Pick(10) == 0) to = from - 1;
        for (int k = from; k <= to; ++k)
            if (Pick(20) != 0) Folder(diskBase + std::to_string(k));  // now and then a gap
        return "DirName=" + dirName + "\r\nfrom=" + std::to_string(from) + "\r\nto=" + std::to_string(to) + "\r\n";
    }

    void Folder(const std::string& name) {
        const std::string dir = data_ + "\\" + name;
        fs_.MakeDir(dir);
        out_.folders.push_back(name);
        if (Pick(5) == 0) return;  // empty
        const int files = 1 + Pick(6);
        for (int i = 0; i < files; ++i) fs_.Write(dir + "\\" + kFiles[Pick(std::size(kFiles))], "BM");
        if (Pick(3) == 0) {
            const std::string sub = dir + "\\" + kFolders[Pick(std::size(kFolders))];
            fs_.MakeDir(sub);
            fs_.Write(sub + "\\sun6.bmp", "BM");
        }
    }

    FileSystem& fs_;
    std::string data_;
    std::mt19937 rng_;
    RandomSets out_;
};

class Recorder : public Messages {
public:
    std::string shown;
    int ShowMsg(const std::string& text, uint8_t style, const std::string& title) override {
        shown += title + "|" + std::to_string(style) + "|" + text + "\n";
        return 1;
    }
};

struct Outcome {
    Catalogue cat;
    std::string message;
};

Outcome Build(Env& env, Settings& s, const FolderReader& read) {
    Recorder rec;
    Messages* before = env.msg;
    env.msg = &rec;
    Outcome o;
    try {
        clsCfgRead reader(env);
        reader.FileName = IniPath(env, s);
        BuildCatalogue(env, s, o.cat, reader, read);
    } catch (const ProgramEnd&) {
        o.message = "ended: ";
    }
    env.msg = before;
    o.message += rec.shown;
    return o;
}

std::string Describe(const SetGroup& g) {
    std::ostringstream o;
    o << "[" << g.baseName << "] random " << g.random << " from " << g.from << " to " << g.to << " valid "
      << g.hasValid << " order " << g.order << " entries " << g.firstEntry << "+" << g.entryCount;
    return o.str();
}

std::string Describe(const DataEntry& e) {
    std::ostringstream o;
    o << "[" << e.name << "] valid " << e.valid << " group " << e.group << " kind " << e.skyKind;
    return o.str();
}

template <class T>
std::string CompareLists(const char* what, const std::vector<T>& listed, const std::vector<T>& searched) {
    if (listed.size() != searched.size())
        return std::string(what) + " count " + std::to_string(listed.size()) + " vs " +
               std::to_string(searched.size());
    for (size_t i = 0; i < listed.size(); ++i)
        if (Describe(listed[i]) != Describe(searched[i]))
            return std::string(what) + " " + std::to_string(i + 1) + ": " + Describe(listed[i]) + " vs " +
                   Describe(searched[i]);
    return {};
}

}  // namespace

RandomSets MakeRandomSets(FileSystem& fs, const std::string& dataDir, uint32_t seed) {
    return Maker(fs, dataDir, seed).Run();
}

std::string CompareCatalogues(Env& env, Settings& s, const std::vector<std::string>& folders) {
    const Outcome listed = Build(env, s, &FolderListing::Open);
    const Outcome searched = Build(env, s, &SearchedFolder::Open);
    if (listed.message != searched.message) return "message: " + listed.message + " vs " + searched.message;
    std::string diff = CompareLists("group", listed.cat.groups, searched.cat.groups);
    if (diff.empty()) diff = CompareLists("entry", listed.cat.entries, searched.cat.entries);
    for (size_t i = 0; diff.empty() && i < folders.size(); ++i) {
        const std::string folder = SubPath(s.DataDir, folders[i]);
        const std::string a = GetDataType(FolderListing::Read(env, folder));
        const std::string b = GetDataType(SearchedFolder(env, folder));
        if (a != b) diff = "DataType of " + folders[i] + ": " + a + " vs " + b;
    }
    return diff;
}

}  // namespace vm
