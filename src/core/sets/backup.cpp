// Backup copies of the simulator's own texture files.
#include "sets/backup.h"

#include <unordered_set>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "config/loader.h"
#include "sets/sets_controller.h"

namespace vm {

namespace {

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool FileExists(Env& env, const std::string& path) {
    // Without wildcards the search finds the name or nothing; the time stamp
    // answers the same (files and folders alike) at a fraction of the cost.
    if (path.find_first_of("*?") == std::string::npos) return env.fs->ModTime(path).has_value();
    return SameText(FileCheck(env, path), "OK");
}

bool ReplaceCopy(Env& env, const std::string& source, const std::string& dest) {
    // A read-only destination is refused before anything is made: some
    // platforms let the replace through and others refuse it, and a copy of
    // a read-only source (read-only itself) could then not be deleted again
    // and would block every later copy into the folder.
    if (const auto a = env.fs->Attributes(dest); a && (*a & kAttrReadOnly)) return false;
    const std::string folder = FolderOf(dest);
    const std::string temp = folder.empty() ? std::string(kCopyTempName) : folder + "\\" + kCopyTempName;
    if (env.fs->Copy(source, temp, false) && env.fs->Replace(temp, dest)) return true;
    env.fs->Remove(temp);
    return false;
}

bool SetsController::EnsureBackupDir() {
    if (SameText(DirCheck(env_, s_.BackupDir), "OK")) return true;
    return env_.fs->MakeDir(s_.BackupDir);
}

bool SetsController::BackupExists(const std::string& name) { return FileExists(env_, SubPath(s_.BackupDir, name)); }

bool SetsController::BackupCopy(const std::string& source, const std::string& dest, bool overwriteIfChanged,
                                bool useShell) {
    if (!FileExists(env_, source)) return false;
    if (!FileExists(env_, dest)) return ReplaceCopy(env_, source, dest);
    if (!overwriteIfChanged) return true;
    const auto sourceTime = env_.fs->ModTime(source);
    const auto destTime = env_.fs->ModTime(dest);
    if (sourceTime && destTime && *sourceTime == *destTime) return true;
    if (useShell) {
        // Into the backup folder, with the shell's progress and its question
        // before it replaces the copy there.
        if (!ShellFileOp(env_, source, FolderOf(dest), 2, true)) {
            env_.msg->ShowMsg("Backup file Error!! FileName : " + FileNameOf(dest), 16, "File Copy Error");
            return false;
        }
        return true;
    }
    return ReplaceCopy(env_, source, dest);
}

bool SetsController::BackupList(const std::vector<std::string>& names, bool overwriteIfChanged, bool useShell) {
    if (names.empty()) return true;
    BusyScope busy(*this);
    EnsureBackupDir();
    for (const std::string& name : names) {
        view_.SetCaption(Ctl::lblMsg, "Copying " + name);
        DoEvents();
        if (!BackupCopy(SubPath(s_.TextureDir, name), SubPath(s_.BackupDir, name), overwriteIfChanged, useShell))
            return false;
    }
    view_.SetCaption(Ctl::lblMsg, "");
    return true;
}

bool SetsController::BackupAll(bool overwriteIfChanged, bool useShell) {
    BusyScope busy(*this);
    EnsureBackupDir();
    std::vector<std::string> files;
    ListFilesDeep(env_, s_.DataDir, "*.*", files);
    std::unordered_set<std::string> handled;
    for (const std::string& file : files) {
        const std::string name = FileNameOf(file);
        if (!handled.insert(UCase(name)).second) continue;
        const std::string texture = SubPath(s_.TextureDir, name);
        if (!FileExists(env_, texture)) continue;
        view_.SetCaption(Ctl::lblMsg, "Copying " + name);
        DoEvents();
        if (!BackupCopy(texture, SubPath(s_.BackupDir, name), overwriteIfChanged, useShell)) return false;
    }
    view_.SetCaption(Ctl::lblMsg, "");
    return true;
}

void SetsController::BackupAtLoad() {
    clsCfgRead reader(env_);
    reader.FileName = IniPath(env_, s_);
    BackupAtLoad(reader);
}

void SetsController::BackupAtLoad(clsCfgRead& reader) {
    if (!s_.BackupEnabled || SameText(DirCheck(env_, s_.BackupDir), "OK")) return;
    if (Ask("Original texture files will be backup to\r\n" + s_.BackupDir, 68, "BackUp Original") != 6) return;
    DoEvents();
    ButtonCtrl(false);
    view_.ShowMainWindow();
    bool ok;
    if (SameText(ReadValue(env_, reader, "ToBeBackuped", "bk", false), "all")) {
        ok = BackupAll(false, false);
    } else {
        std::vector<std::string> names;
        for (int i = 1;; ++i) {
            const std::string value = ReadValue(env_, reader, "ToBeBackuped", "bk" + std::to_string(i), false);
            if (SameText(value, "Error")) break;
            names.push_back(value);
        }
        ok = BackupList(names, false, false);
    }
    if (!ok) Fatal(env_, "ini read Error", "Process was stopped.");
    ButtonCtrl(true);
}

}  // namespace vm
