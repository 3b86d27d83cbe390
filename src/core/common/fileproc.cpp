#include "common/fileproc.h"

#include "common/convert.h"
#include "common/operation_guard.h"

namespace vm {

namespace {

const char* const kOK = "OK";
const char* const kError = "Error";

bool IsDirEntry(const FindData& f) { return (f.attributes & kAttrDirectory) != 0; }

bool IsDots(const std::string& name) { return name == "." || name == ".."; }

}  // namespace

std::string TrimPathEnd(Env& env, std::string& path) {
    while (!path.empty() && path.back() == '\\') {
        path.pop_back();
        env.pump->DoEvents();
    }
    path = Trim(path);
    return path;
}

std::string DirCheck(Env& env, const std::string& path) {
    std::string p = Trim(path);
    // A folder named with trailing backslashes is still that folder.
    while (!p.empty() && p.back() == '\\') p.pop_back();
    if (p.empty()) return kError;
    std::vector<FindData> found = env.fs->Find(p);
    return !found.empty() && IsDirEntry(found.front()) ? kOK : kError;
}

std::string FileCheck(Env& env, const std::string& pathOrPattern) {
    return env.fs->Find(pathOrPattern).empty() ? kError : kOK;
}

std::string NameCheck(const std::string& name) {
    return name.find_first_of("\\/:,;*?\"<>|") == std::string::npos ? kOK : kError;
}

std::string LeftOf(const std::string& text, const std::string& sep) {
    size_t pos = FindText(text, sep);
    if (pos == std::string::npos) return text;
    if (pos == 0) return {};
    return Trim(std::string_view(text).substr(0, pos));
}

std::string RightOf(const std::string& text, const std::string& sep) {
    size_t pos = FindText(text, sep);
    if (pos == std::string::npos) return {};
    return Trim(std::string_view(text).substr(pos + sep.size()));
}

std::string RightOfLast(const std::string& text, const std::string& sep) {
    if (sep.empty() || sep.size() > text.size()) return text;
    size_t pos = std::string::npos;
    for (size_t i = text.size() - sep.size() + 1; i-- > 0;)
        if (SameText(std::string_view(text).substr(i, sep.size()), sep)) {
            pos = i;
            break;
        }
    if (pos == std::string::npos) return text;
    if (pos == 0) return {};
    return Trim(std::string_view(text).substr(pos + sep.size()));
}

std::string ParentPath(const std::string& path) {
    size_t pos = path.rfind('\\');
    return pos == std::string::npos ? path : path.substr(0, pos);
}

bool IsBool(const std::string& value) { return ToBool(value).has_value(); }

std::string IntCheck(const std::string& value) { return ToInt16(value) ? kOK : kError; }

std::string LongCheck(const std::string& value) { return ToInt32(value) ? kOK : kError; }

std::string ExpandPath(Env& env, const std::string& fsDir, std::string& path) {
    if (path.size() >= 8 && LCase(std::string_view(path).substr(0, 8)) == "vellmora") {
        std::string dir = env.programDir;
        TrimPathEnd(env, dir);
        path = dir + path.substr(8);
    } else if (path.size() >= 6 && LCase(std::string_view(path).substr(0, 6)) == "fs2002") {
        path = fsDir + path.substr(6);
    }
    return path;
}

std::string TrimAtNul(const std::string& fixedName) {
    size_t nul = fixedName.find('\0');
    return Trim(nul == std::string::npos ? std::string_view(fixedName) : std::string_view(fixedName).substr(0, nul));
}

void ListFiles(Env& env, std::string folder, const std::string& pattern, std::vector<std::string>& list) {
    TrimPathEnd(env, folder);
    for (const FindData& f : env.fs->Find(folder + "\\" + pattern))
        if (!IsDirEntry(f)) list.push_back(folder + "\\" + TrimAtNul(f.name));
}

void ListDirs(Env& env, std::string folder, std::vector<std::string>& list) {
    TrimPathEnd(env, folder);
    for (const FindData& f : env.fs->Find(folder + "\\*.*")) {
        std::string name = TrimAtNul(f.name);
        if (IsDirEntry(f) && !IsDots(name)) list.push_back(name);
    }
}

void ListFilesDeep(Env& env, std::string folder, const std::string& pattern, std::vector<std::string>& list) {
    TrimPathEnd(env, folder);
    ListFiles(env, folder, pattern, list);
    std::vector<std::string> subs;
    ListDirs(env, folder, subs);
    for (const std::string& sub : subs) ListFilesDeep(env, folder + "\\" + sub, pattern, list);
}

unsigned ShellFileOpFlags(bool confirm) {
    constexpr unsigned kSimpleProgress = 0x100, kConfirmMouse = 0x2, kNoConfirmation = 0x10;
    return kSimpleProgress | (confirm ? kConfirmMouse : kNoConfirmation);
}

namespace {

bool ShellOpSucceeds(Env& env, const std::string& from, const std::string& to, unsigned op, unsigned flags) {
    bool aborted = false;
    int result = 0;
    {
        // The shell's progress window runs a message loop of its own.
        const OwnLoop loop(env.pump);
        result = env.fs->ShellOperation(from, to, op, flags, aborted);
    }
    return (result == 0 || result == 7) && !aborted;
}

}  // namespace

bool ShellFileOp(Env& env, const std::string& from, const std::string& to, unsigned op, bool confirm) {
    return ShellOpSucceeds(env, from, to, op, ShellFileOpFlags(confirm));
}

bool ShellCopyFile(Env& env, const std::string& from, const std::string& toFile) {
    constexpr unsigned kMultiDestFiles = 0x1;  // the destination names the file
    return ShellOpSucceeds(env, from, toFile, 2, ShellFileOpFlags(true) | kMultiDestFiles);
}

std::string ProgramFile(Env& env, const std::string& name) {
    std::string dir = env.programDir;
    TrimPathEnd(env, dir);
    return dir + "\\" + name;
}

}  // namespace vm
