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

}  // namespace

RandomSets MakeRandomSets(FileSystem& fs, const std::string& dataDir, uint32_t seed) {
    return Maker(fs, dataDir, seed).Run();
}

std::string CatalogueText(Env& env, const Settings& s, const std::vector<std::string>& folders,
                          const FolderReader& read) {
    Recorder rec;
    Messages* before = env.msg;
    env.msg = &rec;
    Catalogue cat;
    std::ostringstream o;
    try {
        clsCfgRead reader(env);
        reader.FileName = IniPath(env, s);
        BuildCatalogue(env, s, cat, reader, read);
    } catch (const ProgramEnd&) {
        o << "ended\n";
    }
    env.msg = before;
    o << rec.shown;
    for (const SetGroup& g : cat.groups)
        o << "group [" << g.baseName << "] random " << g.random << " from " << g.from << " to " << g.to
          << " valid " << g.hasValid << " order " << g.order << " entries " << g.firstEntry << "+" << g.entryCount
          << "\n";
    for (const DataEntry& e : cat.entries)
        o << "entry [" << e.name << "] valid " << e.valid << " group " << e.group << " kind " << e.skyKind << "\n";
    for (const std::string& f : folders) o << f << ": " << GetDataType(*read(env, SubPath(s.DataDir, f))) << "\n";
    return o.str();
}

}  // namespace vm
