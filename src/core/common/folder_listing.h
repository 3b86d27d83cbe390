// One folder read with a single wildcard search, and questions about its
// entries answered from that listing in memory with the platform's search
// rules, so that many pattern tests of one folder cost one search.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ports.h"

namespace vm {

// The platform's wildcard match of one name: "*" any run of characters,
// "?" one character, letters compared without regard to case.
bool WildMatch(std::string_view mask, std::string_view name);

// A search for `mask` returns the entry when its long name or its 8.3 name
// matches.
bool EntryMatches(std::string_view mask, const FindData& entry);

// The two questions asked of a folder: DirCheck, and FileCheck of a pattern
// inside it.
class FolderView {
public:
    virtual ~FolderView() = default;
    // DirCheck of the folder: "OK" exactly when this is true.
    virtual bool IsFolder() const = 0;
    // FileCheck of folder + "\" + pattern: true when that search finds an
    // entry. The pattern names an entry of this folder (no separators).
    virtual bool Has(const std::string& pattern) const = 0;
};

// How a piece of work looks at a folder.
using FolderReader = std::function<std::unique_ptr<FolderView>(Env&, const std::string& folder)>;

class FolderListing : public FolderView {
public:
    // Lists folder + "\*" once. Names that the platform would rewrite before
    // searching (wildcards, separators, trailing dots or blanks) are not
    // listed: every question about such a folder goes to its own search.
    static FolderListing Read(Env& env, const std::string& folder);

    static std::unique_ptr<FolderView> Open(Env& env, const std::string& folder) {
        return std::make_unique<FolderListing>(Read(env, folder));
    }

    bool IsFolder() const override { return isFolder_; }
    bool Has(const std::string& pattern) const override;
    const std::vector<FindData>& Entries() const { return entries_; }

private:
    FolderListing(Env& env, std::string folder) : env_(&env), folder_(std::move(folder)) {}

    Env* env_;
    std::string folder_;
    bool isFolder_ = false;
    bool listed_ = false;  // entries_ hold the folder's whole content
    std::vector<FindData> entries_;
};

}  // namespace vm
