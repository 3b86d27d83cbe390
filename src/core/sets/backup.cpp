// Backup copies of the simulator's own texture files.
#include "sets/backup.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/cfg_file.h"
#include "config/loader.h"
#include "sets/install.h"
#include "sets/sets_controller.h"
#include "sets/texture_record.h"

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

bool IsTextureFileName(const std::string& name) {
    const std::string n = Trim(name);
    return !n.empty() && n != "." && n != ".." && n.find_first_of("\\/:*?") == std::string::npos;
}

bool FileExists(Env& env, const std::string& path) {
    // Without wildcards the search finds the name or nothing; the time stamp
    // answers the same (files and folders alike) at a fraction of the cost.
    if (path.find_first_of("*?") == std::string::npos) return env.fs->ModTime(path).has_value();
    return SameText(FileCheck(env, path), "OK");
}

namespace {

constexpr const char* kTempPrefix = "~vellmora-";
constexpr const char* kTempSuffix = ".tmp";
constexpr size_t kTempDigits = 8;

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "\\" + name;
}

// A new temporary name for each copy of this process; the number mixes in
// the millisecond counter so that names left by an earlier run are unlikely
// to come up again.
std::string NextTempName(Env& env) {
    static uint32_t counter = 0;
    const uint32_t tick = env.clock ? env.clock->TickMs() : 0;
    const uint32_t n = tick * 2654435761u + ++counter;
    static const char kHex[] = "0123456789abcdef";
    std::string digits(kTempDigits, '0');
    for (size_t i = 0; i < kTempDigits; ++i) digits[kTempDigits - 1 - i] = kHex[(n >> (4 * i)) & 0xF];
    return kTempPrefix + digits + kTempSuffix;
}

bool ClearReadOnly(Env& env, const std::string& path) {
    const auto a = env.fs->Attributes(path);
    if (!a || !(*a & kAttrReadOnly)) return true;
    return env.fs->SetAttributes(path, *a & ~(kAttrReadOnly | kAttrDirectory));
}

}  // namespace

bool IsCopyTempName(const std::string& name) {
    const size_t prefix = std::char_traits<char>::length(kTempPrefix);
    const size_t suffix = std::char_traits<char>::length(kTempSuffix);
    if (name.size() != prefix + kTempDigits + suffix) return false;
    if (!SameText(name.substr(0, prefix), kTempPrefix) || !SameText(name.substr(prefix + kTempDigits), kTempSuffix))
        return false;
    for (size_t i = prefix; i < prefix + kTempDigits; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

std::vector<std::string> CopyTempsIn(Env& env, const std::string& folder) {
    std::vector<std::string> names;
    for (const FindData& f : env.fs->Find(InFolder(folder, std::string(kTempPrefix) + "*" + kTempSuffix)))
        if (!(f.attributes & kAttrDirectory) && IsCopyTempName(f.name)) names.push_back(f.name);
    return names;
}

void RemoveStaleCopies(Env& env, const std::string& folder) {
    for (const std::string& name : CopyTempsIn(env, folder)) {
        const std::string path = InFolder(folder, name);
        ClearReadOnly(env, path);
        env.fs->Remove(path);
    }
}

std::string NewTempPath(Env& env, const std::string& folder) {
    for (int tries = 0; tries < 16; ++tries) {
        const std::string temp = InFolder(folder, NextTempName(env));
        if (!env.fs->Attributes(temp)) return temp;
    }
    return std::string();
}

bool ReplaceCopy(Env& env, const std::string& source, const std::string& dest) {
    return ReplaceCopyWith(env, source, dest,
                           [&env](const std::string& from, const std::string& temp) {
                               return env.fs->Copy(from, temp, true);
                           });
}

bool ReplaceCopyWith(Env& env, const std::string& source, const std::string& dest, const TempCopier& copy) {
    // A read-only destination is refused before anything is made: some
    // platforms let the replace through and others refuse it.
    if (const auto a = env.fs->Attributes(dest); a && (*a & kAttrReadOnly)) return false;
    const std::string folder = FolderOf(dest);
    std::string temp = InFolder(folder, NextTempName(env));
    for (int tries = 1; env.fs->Attributes(temp); ++tries) {
        if (tries == 16) return false;  // a folder full of such names: give up rather than overwrite one
        temp = InFolder(folder, NextTempName(env));
    }
    // The name was free just now, so whatever stands there after a failed
    // copy is that copy's remains.
    if (!copy(source, temp)) {
        ClearReadOnly(env, temp);
        env.fs->Remove(temp);
        return false;
    }
    // A copy of a read-only source is read-only too; as the destination it
    // would refuse every later copy over it.
    if (ClearReadOnly(env, temp) && env.fs->Replace(temp, dest)) return true;
    ClearReadOnly(env, temp);
    env.fs->Remove(temp);
    return false;
}

std::string FirstReadOnly(Env& env, const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (const auto a = env.fs->Attributes(InFolder(folder, name)); a && (*a & kAttrReadOnly)) return name;
    return std::string();
}

bool SetsController::EnsureBackupDir() {
    if (!SameText(DirCheck(env_, s_.BackupDir), "OK")) return env_.fs->MakeDir(s_.BackupDir);
    RemoveStaleCopies(env_, s_.BackupDir);
    return true;
}

bool SetsController::BackupExists(const std::string& name) { return FileExists(env_, SubPath(s_.BackupDir, name)); }

bool SetsController::BackupDue(const std::string& source, const std::string& dest, bool overwriteIfChanged) {
    if (!FileExists(env_, dest)) return true;
    if (!overwriteIfChanged) return false;
    const auto sourceTime = env_.fs->ModTime(source);
    const auto destTime = env_.fs->ModTime(dest);
    return !(sourceTime && destTime && *sourceTime == *destTime);
}

bool SetsController::BackupCopy(const std::string& source, const std::string& dest, bool overwriteIfChanged,
                                bool useShell) {
    if (!FileExists(env_, source)) return false;
    if (!BackupDue(source, dest, overwriteIfChanged)) return true;
    if (useShell && FileExists(env_, dest)) {
        // The shell copies, with its progress, to a new name beside the copy
        // there, which is then replaced in one step: a copy cancelled or
        // failed half way leaves the old backup whole.
        const auto shellCopy = [this](const std::string& from, const std::string& temp) {
            return ShellCopyFile(env_, from, temp);
        };
        const bool copied = ReplaceCopyWith(env_, source, dest, shellCopy);
        if (!copied) {
            env_.msg->ShowMsg("Backup file Error!! FileName : " + FileNameOf(dest), 16, "File Copy Error");
            return false;
        }
        return true;
    }
    return ReplaceCopy(env_, source, dest);
}

SetsController::FilesByName SetsController::DataSetFiles() {
    std::vector<std::string> files;
    ListFilesDeep(env_, s_.DataDir, "*.*", files);
    FilesByName sets;
    for (const std::string& file : files) {
        const std::string name = FileNameOf(file);
        std::vector<std::string>& same = sets.byName[UCase(name)];
        if (same.empty()) sets.names.push_back(name);
        same.push_back(file);
    }
    return sets;
}

bool SetsController::BackupOne(const std::string& name, bool overwriteIfChanged, bool useShell,
                               const FilesByName* sets, std::vector<std::string>* installed) {
    const std::string texture = SubPath(s_.TextureDir, name);
    const std::string backup = SubPath(s_.BackupDir, name);
    if (sets && installed && BackupDue(texture, backup, overwriteIfChanged)) {
        const auto same = sets->byName.find(UCase(name));
        if (same != sets->byName.end() && SameAsAny(texture, same->second)) {
            // The texture folder holds a set's file: it is no original.
            installed->push_back(name);
            return true;
        }
    }
    return BackupCopy(texture, backup, overwriteIfChanged, useShell);
}

bool SetsController::BackupList(const std::vector<std::string>& names, bool overwriteIfChanged, bool useShell,
                                std::vector<std::string>* installed) {
    if (names.empty()) return true;
    BusyScope busy(*this, Operation::Backup);
    if (!busy) return false;
    EnsureBackupDir();
    FilesByName sets;
    if (installed) sets = DataSetFiles();
    std::vector<std::string> done;
    for (const std::string& name : names) {
        view_.SetCaption(Ctl::lblMsg, "Copying " + name);
        DoEvents();
        if (EndAsked()) break;
        if (!BackupOne(name, overwriteIfChanged, useShell, installed ? &sets : nullptr, installed)) {
            NoteBackups(done, installed);
            return false;
        }
        done.push_back(name);
    }
    NoteBackups(done, installed);
    view_.SetCaption(Ctl::lblMsg, "");
    return true;
}

bool SetsController::BackupAll(bool overwriteIfChanged, bool useShell, std::vector<std::string>* installed) {
    BusyScope busy(*this, Operation::BackupAll);
    if (!busy) return false;
    EnsureBackupDir();
    const FilesByName sets = DataSetFiles();
    std::vector<std::string> done;
    for (const std::string& name : sets.names) {
        if (!FileExists(env_, SubPath(s_.TextureDir, name))) continue;
        view_.SetCaption(Ctl::lblMsg, "Copying " + name);
        DoEvents();
        if (EndAsked()) break;
        if (!BackupOne(name, overwriteIfChanged, useShell, &sets, installed)) {
            NoteBackups(done, installed);
            return false;
        }
        done.push_back(name);
    }
    NoteBackups(done, installed);
    view_.SetCaption(Ctl::lblMsg, "");
    return true;
}

void SetsController::NoteBackups(std::vector<std::string> names, const std::vector<std::string>* installed) {
    // A set's file found in the texture folder was left out: no backup of it.
    if (installed)
        std::erase_if(names, [installed](const std::string& n) {
            for (const std::string& i : *installed)
                if (SameText(i, n)) return true;
            return false;
        });
    NoteFiles(env_, s_, Noted::Backup, names);
}

bool SetsController::SameAsAny(const std::string& file, const std::vector<std::string>& others) {
    const std::optional<std::string> content = env_.fs->Read(file);
    if (!content) return false;
    for (const std::string& other : others)
        if (env_.fs->Read(other) == content) return true;
    return false;
}

void SetsController::BackupAtLoad() {
    clsCfgRead reader(env_);
    reader.FileName = IniPath(env_, s_);
    BackupAtLoad(reader);
}

void SetsController::BackupAtLoad(clsCfgRead& reader) {
    if (!s_.BackupEnabled || SameText(DirCheck(env_, s_.BackupDir), "OK")) return;
    const OperationScope operation(GuardOf(env_), Operation::FirstBackup);
    if (!operation) return;
    // The list is read first, so that the question can name what it leaves out.
    const bool all = SameText(ReadValue(env_, reader, "ToBeBackuped", "bk", false), "all");
    std::vector<std::string> names;
    std::string leftOut;
    for (int i = 1; !all; ++i) {
        const std::string value = ReadValue(env_, reader, "ToBeBackuped", "bk" + std::to_string(i), false);
        if (SameText(value, "Error")) break;
        if (IsTextureFileName(value))
            names.push_back(value);
        else
            AppendLine(leftOut, value);
    }
    std::string question = "Original texture files will be backup to\r\n" + s_.BackupDir;
    DropFinalCrLf(leftOut);
    if (!leftOut.empty())
        question += "\r\n\r\nFollowing [ToBeBackuped] names are not file names of the Texture Folder."
                    "\r\nThey are left out.\r\n" + leftOut;
    if (Ask(question, 68, "BackUp Original") != 6) return;
    DoEvents();
    ButtonCtrl(false);
    view_.ShowMainWindow();
    const bool ok = all ? BackupAll(false, false) : BackupList(names, false, false);
    if (!ok) Fatal(env_, "ini read Error", "Process was stopped.");
    ButtonCtrl(true);
}

}  // namespace vm
