#include "sets/catalogue.h"

#include <map>

#include "common/convert.h"
#include "common/fileproc.h"
#include "common/folder_listing.h"
#include "config/settings.h"
#include "config/cfg_file.h"
#include "config/loader.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";

[[noreturn]] void NotInteger(Env& env, const std::string& section, const std::string& key) {
    Fatal(env, "ini read Error",
          "Section:" + section + "  Key:" + key + kCrLf + "The data can't be changed Number(Integer).");
}

bool IsMissing(const std::string& value) { return SameText(value, "Error"); }

int16_t ReadInteger(Env& env, clsCfgRead& reader, const std::string& section, const std::string& key,
                    bool mandatory) {
    const std::string text = ReadValue(env, reader, section, key, mandatory);
    const auto value = ToInt16(text);
    if (!value) NotInteger(env, section, key);
    return *value;
}

// The leading blanks of a text removed.
std::string TrimLeft(const std::string& s) {
    const size_t start = s.find_first_not_of(' ');
    return start == std::string::npos ? std::string() : s.substr(start);
}

class Builder {
public:
    Builder(Env& env, const Settings& s, Catalogue& cat, clsCfgRead& reader, FolderReader read)
        : env_(env), settings_(s), cat_(cat), rd_(reader), read_(std::move(read)) {}

    void Run() {
        cat_.Clear();
        for (int n = 1;; ++n) {
            const std::string section = "Set" + std::to_string(n);
            const std::string dirName = ReadValue(env_, rd_, section, "DirName", n == 1);
            if (IsMissing(dirName)) break;
            BuildGroup(n, section, dirName);
        }
    }

private:
    void BuildGroup(int n, const std::string& section, const std::string& dirName) {
        seen_.clear();
        cat_.groups.emplace_back();
        const std::string fromText = ReadValue(env_, rd_, section, "from", false);
        {
            SetGroup& g = cat_.groups.back();
            g.firstEntry = static_cast<int>(cat_.entries.size()) + 1;
        }
        if (!IsMissing(fromText)) {
            const auto from = ToInt16(fromText);
            if (!from) NotInteger(env_, section, "from");
            const std::string base = SettleBaseName(dirName, *from);
            const int16_t to = ReadInteger(env_, rd_, section, "to", true);
            cat_.groups.back().from = *from;
            cat_.groups.back().to = to;
            cat_.groups.back().baseName = base;
            for (int k = *from; k <= to; ++k) AddFolder(n, base + std::to_string(k));
        } else {
            const std::string base = Trim(dirName);
            cat_.groups.back().baseName = base;
            AddFolder(n, base);
        }
        SetGroup& g = cat_.groups.back();
        g.entryCount = static_cast<int>(cat_.entries.size()) + 1 - g.firstEntry;

        const std::string random = ReadValue(env_, rd_, section, "Random", false);
        g.random = !(LCase(random) == "off" || !g.hasValid);
        const std::string order = ReadValue(env_, rd_, section, "Order", false);
        g.order = SameText(IntCheck(order), "OK") ? *ToInt16(order) : kNoNumber;
    }

    // Each folder is read once: the first folder of a range is read while
    // its base name is settled and used again when it is catalogued.
    const FolderView& Look(const std::string& folder) {
        auto it = seen_.find(folder);
        if (it == seen_.end()) it = seen_.emplace(folder, read_(env_, folder)).first;
        return *it->second;
    }

    bool RangeFolderExists(const std::string& base, int number) {
        return Look(SubPath(settings_.DataDir, base + std::to_string(number))).IsFolder();
    }

    // The base name of a numbered range: DirName as written, or trimmed with
    // one blank before the number, or a "t-storm" name with one or two blanks
    // after the prefix, whichever names an existing first folder.
    std::string SettleBaseName(const std::string& dirName, int first) {
        std::string base = dirName;
        if (!RangeFolderExists(base, first)) {
            const std::string spaced = Trim(dirName) + " ";
            if (RangeFolderExists(spaced, first)) base = spaced;
        }
        if (!RangeFolderExists(base, first) && LCase(base.substr(0, 7)) == "t-storm") {
            const std::string rest = TrimLeft(base.substr(7));
            if (RangeFolderExists("t-storm " + rest, first))
                base = base.substr(0, 7) + " " + rest;
            else if (RangeFolderExists("t-storm  " + rest, first))
                base = base.substr(0, 7) + "  " + rest;
        }
        return base;
    }

    void AddFolder(int group, const std::string& name) {
        const std::string folder = SubPath(settings_.DataDir, name);
        const FolderView& view = Look(folder);
        if (!view.IsFolder()) Fatal(env_, "ini read Error", "Data folder was not found." + kCrLf + folder);
        DataEntry e;
        e.name = name;
        e.group = group;
        e.valid = view.Has("*.bmp");
        if (e.valid) e.skyKind = GetSkyKind(view);
        seen_.erase(folder);
        if (e.valid)
            cat_.groups.back().hasValid = true;
        else if (!settings_.ShowErrSet)
            return;
        cat_.entries.push_back(std::move(e));
    }

    Env& env_;
    const Settings& settings_;
    Catalogue& cat_;
    clsCfgRead& rd_;
    FolderReader read_;
    std::map<std::string, std::unique_ptr<FolderView>> seen_;
};

}  // namespace

std::string SubPath(const std::string& folder, const std::string& name) {
    size_t end = folder.size();
    while (end > 0 && folder[end - 1] == '\\') --end;
    return folder.substr(0, end) + "\\" + name;
}

void BuildCatalogue(Env& env, const Settings& settings, Catalogue& cat, clsCfgRead& reader,
                    const FolderReader& read) {
    Builder(env, settings, cat, reader, read ? read : FolderReader(&FolderListing::Open)).Run();
}

void BuildCatalogue(Env& env, const Settings& settings, Catalogue& cat) {
    clsCfgRead reader(env);
    reader.FileName = IniPath(env, settings);
    BuildCatalogue(env, settings, cat, reader);
}

const std::vector<bool>& BuildEligibility(Catalogue& cat) {
    cat.eligible.clear();
    for (const DataEntry& e : cat.entries)
        cat.eligible.push_back(e.valid && e.group >= 1 && e.group <= static_cast<int>(cat.groups.size()) &&
                               cat.Group(e.group).random);
    return cat.eligible;
}

namespace {
// The folder as the searches of its entries name it: trailing backslashes dropped.
std::string FolderOf(const std::string& folder) {
    const std::string sub = SubPath(folder, "");
    return sub.substr(0, sub.size() - 1);
}
}  // namespace

int16_t GetSkyKind(const FolderView& f) {
    if (f.Has("cldcn*.bmp")) return kSkyThunder;
    if (f.Has("cld*.bmp")) return kSkyCumulus;
    if (f.Has("cirrus*.bmp") && f.Has("cumul*.bmp") && f.Has("stratus*.bmp")) return kSkyHighMid;
    if (f.Has("cirrus_overcast.bmp")) return kSkyVSky;
    return kSkyMisc;
}

int16_t GetSkyKind(Env& env, const std::string& folder) {
    return GetSkyKind(FolderListing::Read(env, FolderOf(folder)));
}

std::string GetDataType(const FolderView& f) {
    static const struct {
        const char* pattern;
        const char* type;
    } kTypes[] = {
        {"cldcn*.bmp", "Thunder"}, {"cld*.bmp", "Cumulus"},   {"cumul*.bmp", "Cumulus"},
        {"stratus*.bmp", "Stratus"}, {"cirrus*.bmp", "Cirrus"}, {"raindrop.bmp", "Raindrop"},
        {"sun6.bmp", "Sun"},       {"moon*.bmp", "Moon"},     {"halo.bmp", "Light"},
        {"runway*.bmp", "Runway"}, {"smoke*.bmp", "Smoke"},
    };
    for (const auto& t : kTypes)
        if (f.Has(t.pattern)) return t.type;
    return "Unknown";
}

std::string GetDataType(Env& env, const std::string& folder) {
    return GetDataType(FolderListing::Read(env, FolderOf(folder)));
}

bool IsCloudDataType(const std::string& dataType) {
    return SameText(dataType, "Stratus") || SameText(dataType, "Cirrus") || SameText(dataType, "Cumulus") ||
           SameText(dataType, "Thunder");
}

const char* FilterCaption(int index) {
    static const char* const kCaptions[] = {"All ", "Cumulus", "Cb/T-Storm", "High Mid Level", "V-Sky", "Misc"};
    return index >= 0 && index < 6 ? kCaptions[index] : "";
}

std::vector<std::string> FilterNames(const Catalogue& cat, int16_t kind) {
    std::vector<std::string> names;
    for (const DataEntry& e : cat.entries)
        if (e.skyKind == kind) names.push_back(e.name);
    return names;
}

}  // namespace vm
