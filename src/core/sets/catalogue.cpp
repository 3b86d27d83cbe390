#include "sets/catalogue.h"

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/settings.h"
#include "config/cfg_file.h"
#include "config/loader.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";

bool Exists(Env& env, const std::string& pattern) { return SameText(FileCheck(env, pattern), "OK"); }

bool DirExists(Env& env, const std::string& path) { return SameText(DirCheck(env, path), "OK"); }

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
    Builder(Env& env, const Settings& s, Catalogue& cat, clsCfgRead& reader)
        : env_(env), settings_(s), cat_(cat), rd_(reader) {}

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

    bool RangeFolderExists(const std::string& base, int number) {
        return DirExists(env_, SubPath(settings_.DataDir, base + std::to_string(number)));
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
        if (!DirExists(env_, folder)) Fatal(env_, "ini read Error", "Data folder was not found." + kCrLf + folder);
        DataEntry e;
        e.name = name;
        e.group = group;
        e.valid = Exists(env_, SubPath(folder, "*.bmp"));
        if (e.valid) {
            cat_.groups.back().hasValid = true;
            e.skyKind = GetSkyKind(env_, folder);
        } else if (!settings_.ShowErrSet) {
            return;
        }
        cat_.entries.push_back(std::move(e));
    }

    Env& env_;
    const Settings& settings_;
    Catalogue& cat_;
    clsCfgRead& rd_;
};

}  // namespace

std::string SubPath(const std::string& folder, const std::string& name) {
    size_t end = folder.size();
    while (end > 0 && folder[end - 1] == '\\') --end;
    return folder.substr(0, end) + "\\" + name;
}

void BuildCatalogue(Env& env, const Settings& settings, Catalogue& cat, clsCfgRead& reader) {
    Builder(env, settings, cat, reader).Run();
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

int16_t GetSkyKind(Env& env, const std::string& folder) {
    if (Exists(env, SubPath(folder, "cldcn*.bmp"))) return kSkyThunder;
    if (Exists(env, SubPath(folder, "cld*.bmp"))) return kSkyCumulus;
    if (Exists(env, SubPath(folder, "cirrus*.bmp")) && Exists(env, SubPath(folder, "cumul*.bmp")) &&
        Exists(env, SubPath(folder, "stratus*.bmp")))
        return kSkyHighMid;
    if (Exists(env, SubPath(folder, "cirrus_overcast.bmp"))) return kSkyVSky;
    return kSkyMisc;
}

std::string GetDataType(Env& env, const std::string& folder) {
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
        if (Exists(env, SubPath(folder, t.pattern))) return t.type;
    return "Unknown";
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
