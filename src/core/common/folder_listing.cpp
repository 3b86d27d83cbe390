#include "common/folder_listing.h"

#include "common/fileproc.h"

namespace vm {

namespace {

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// A path the search takes as written: no wildcards, no "/" and no component
// that the platform would shorten (trailing dots or blanks) or collapse
// (empty, except the leading pair of a network path).
bool PlainPath(const std::string& path) {
    if (path.empty() || path.find_first_of("*?/") != std::string::npos) return false;
    size_t start = path.rfind("\\\\", 0) == 0 ? 2 : 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end == start) return false;
        const char last = path[end - 1];
        if (last == '.' || last == ' ') return false;
        start = end + 1;
    }
    return path.front() != ' ';
}

}  // namespace

bool WildMatch(std::string_view mask, std::string_view name) {
    size_t m = 0, n = 0;
    size_t star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] != '*' && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            resume = n;
        } else if (star != std::string_view::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

bool EntryMatches(std::string_view mask, const FindData& entry) {
    return WildMatch(mask, entry.name) || (!entry.shortName.empty() && WildMatch(mask, entry.shortName));
}

FolderListing FolderListing::Read(Env& env, const std::string& folder) {
    FolderListing l(env, folder);
    if (PlainPath(folder)) l.entries_ = env.fs->Find(folder + "\\*");
    // A search inside the folder that finds anything proves a folder. An
    // empty answer (a name the platform rewrites, a folder that cannot be
    // listed, or none) leaves every question to its own search.
    l.listed_ = !l.entries_.empty();
    l.isFolder_ = l.listed_ || DirCheck(env, folder) == "OK";
    return l;
}

bool FolderListing::Has(const std::string& pattern) const {
    if (!listed_) return FileCheck(*env_, folder_ + "\\" + pattern) == "OK";
    for (const FindData& e : entries_)
        if (EntryMatches(pattern, e)) return true;
    return false;
}

}  // namespace vm
