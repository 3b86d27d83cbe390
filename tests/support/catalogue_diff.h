// Random data-set trees and the comparison of a catalogue built from one
// listing per folder with the one built from a search per question. The
// generator writes through the FileSystem port, so the same trees are laid
// out in memory and on real folders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/folder_listing.h"
#include "config/settings.h"

namespace vm {

// Every question answered by its own search, as DirCheck and FileCheck ask.
class SearchedFolder : public FolderView {
public:
    SearchedFolder(Env& env, std::string folder) : env_(env), folder_(std::move(folder)) {}
    static std::unique_ptr<FolderView> Open(Env& env, const std::string& folder) {
        return std::make_unique<SearchedFolder>(env, folder);
    }
    bool IsFolder() const override;
    bool Has(const std::string& pattern) const override;

private:
    Env& env_;
    std::string folder_;
};

struct RandomSets {
    std::string sections;             // the [SetN] sections of cloud.ini
    std::vector<std::string> folders;  // every folder laid out below the data folder
    bool showErrSet = false;
};

// Lays out a random tree below dataDir (which must exist): single folders and
// numbered ranges (blank before the number, "t-storm" spellings, a folder
// missing now and then, `to` below `from`), empty folders, bitmaps with
// mixed-case names, names like "x.bmp.old" and "x.bmpx", folders named like
// bitmaps, option sub-folders; Random and Order keys of every kind.
RandomSets MakeRandomSets(FileSystem& fs, const std::string& dataDir, uint32_t seed);

// The catalogue of programDir\cloud.ini against s.DataDir, built with folders
// looked at through `read`, as text: the message shown when the build ends
// the program, every group and entry, then the DataType of each folder.
// env.msg is replaced during the build.
std::string CatalogueText(Env& env, const Settings& s, const std::vector<std::string>& folders,
                          const FolderReader& read);

}  // namespace vm
