// The data-set catalogue: one SetGroup per [SetN] section of cloud.ini and one
// DataEntry per data-set folder, plus the classification of a folder by the
// bitmaps it holds (sky kind for the filter labels, DataType for the
// last-installed record and the cloud refresh).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/folder_listing.h"
#include "common/ports.h"

namespace vm {

struct Settings;
class clsCfgRead;

// Sky kinds: the filter label that shows a set.
enum SkyKind : int16_t {
    kSkyCumulus = 1,      // "cld*.bmp"
    kSkyThunder = 2,      // "cldcn*.bmp"
    kSkyHighMid = 3,      // cirrus, cumul and stratus bitmaps together
    kSkyVSky = 4,         // "cirrus_overcast.bmp"
    kSkyMisc = 5,
};

constexpr int16_t kNoNumber = 9999;  // from/to of a single-folder group, order when none

struct SetGroup {
    std::string baseName;        // DirName after the spacing rules
    bool random = false;         // takes part in AutoRandom
    int16_t from = kNoNumber;
    int16_t to = kNoNumber;
    bool hasValid = false;       // some folder of the group holds a bitmap
    int16_t order = kNoNumber;   // AutoRandom position
    // The group owns the DataEntry numbers firstEntry .. firstEntry +
    // entryCount - 1. Folders left out (no bitmap, ShowErrSet off) own no
    // number, so these are counted from the entries really appended.
    int firstEntry = 1;
    int entryCount = 0;
};

struct DataEntry {
    std::string name;    // folder name below DataDir
    bool valid = false;  // the folder holds at least one "*.bmp"
    int group = 0;       // N of the owning [SetN]
    int16_t skyKind = kSkyMisc;
};

struct Catalogue {
    std::vector<SetGroup> groups;    // groups[N - 1] is [SetN]
    std::vector<DataEntry> entries;  // entries[k - 1] is entry number k, catalogue order
    // AutoRandom eligibility, one flag per entry in catalogue order.
    std::vector<bool> eligible;

    SetGroup& Group(int n) { return groups.at(static_cast<size_t>(n - 1)); }
    const SetGroup& Group(int n) const { return groups.at(static_cast<size_t>(n - 1)); }
    DataEntry& Entry(int k) { return entries.at(static_cast<size_t>(k - 1)); }
    const DataEntry& Entry(int k) const { return entries.at(static_cast<size_t>(k - 1)); }
    void Clear() {
        groups.clear();
        entries.clear();
        eligible.clear();
    }
};

// folder + "\" + name, trailing backslashes of the folder dropped.
std::string SubPath(const std::string& folder, const std::string& name);

// Rebuilds the catalogue from the [SetN] sections of cloud.ini against
// settings.DataDir, reading through the loader's reader (its FileName set).
// Fatal (ProgramEnd) on a missing set folder, a missing mandatory key and a
// from/to that is not an integer. Each set folder is read once through
// `read` (by default one listing per folder).
void BuildCatalogue(Env& env, const Settings& settings, Catalogue& cat, clsCfgRead& reader,
                    const FolderReader& read = nullptr);
// The same with a reader of its own on program folder + IniName.
void BuildCatalogue(Env& env, const Settings& settings, Catalogue& cat);

// One flag per entry: false when the entry is not valid, else its group's
// random flag. Stored in cat.eligible and returned.
const std::vector<bool>& BuildEligibility(Catalogue& cat);

int16_t GetSkyKind(const FolderView& folder);
int16_t GetSkyKind(Env& env, const std::string& folder);
std::string GetDataType(const FolderView& folder);
std::string GetDataType(Env& env, const std::string& folder);
// The DataTypes whose installation asks for a cloud refresh.
bool IsCloudDataType(const std::string& dataType);

// Captions of the six filter labels; index 0 shows every set.
const char* FilterCaption(int index);
constexpr uint32_t kFilterColor = 0xFF0000;        // normal ForeColor
constexpr uint32_t kFilterChosenColor = 0x0000C0;  // chosen one
// Names of the entries of the given sky kind, in catalogue order.
std::vector<std::string> FilterNames(const Catalogue& cat, int16_t kind);

}  // namespace vm
