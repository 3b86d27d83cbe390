// Installation of the checked bitmaps into the simulator's texture folder.
#include "sets/install.h"

#include "common/convert.h"
#include "common/fileproc.h"
#include "sets/backup.h"
#include "sets/bitmap_header.h"
#include "sets/last_installed.h"
#include "sets/texture_record.h"
#include "sets/sets_controller.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";

std::string JoinParts(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + kCrLf + kCrLf + b;
}

}  // namespace

void AppendLine(std::string& list, const std::string& name) { list += " " + name + kCrLf; }

void DropFinalCrLf(std::string& list) {
    if (list.size() >= 2 && list.compare(list.size() - 2, 2, kCrLf) == 0) list.resize(list.size() - 2);
}

std::string InstallReport(const std::string& installList, const std::string& notFoundList, bool backupEnabled,
                          const std::string& cannotBackupList) {
    std::string report;
    if (!installList.empty()) report = "Following files will be installed." + kCrLf + installList;
    if (!notFoundList.empty()) {
        const char* head = report.empty() ? "Following to be installed files not found."
                                          : "And following to be installed files not found.";
        report = JoinParts(report, head + kCrLf + notFoundList);
    }
    if (backupEnabled && !cannotBackupList.empty()) {
        const char* head = report.empty() ? "Following files can not be backuped.(No files in Texture folder.)"
                                          : "And following files is not backuped.";
        report = JoinParts(report, head + kCrLf + cannotBackupList);
    }
    return report;
}

std::string BackupQuestionText(const std::string& setName, const std::string& backupMissingList) {
    return "*** " + setName + " ***" + kCrLf + kCrLf + "Following backup files are not found." + kCrLf +
           "Try to backup these files again?" + kCrLf + backupMissingList;
}

std::string ConfirmationText(const std::string& setName, const std::string& report) {
    return "*** " + setName + " ***" + kCrLf + kCrLf + report;
}

bool SetsController::InstallSet() {
    const OperationScope operation(GuardOf(env_), Operation::Install);
    if (!operation) return false;
    view_.SetCaption(Ctl::lblMsg, state_.RandomMode ? std::string() : Text(Lst::cmbClouds));
    if (AutoRandomOn() && env_.clock) state_.InstallTime = env_.clock->Now();
    if (view_.Count(Lst::lstClouds) == 0 && view_.Count(Lst::lstOption) == 0) return false;

    const std::string cloudSet = Text(Lst::cmbClouds);
    const std::string setName = state_.RandomMode ? kRandomSetName : cloudSet;
    const std::string cloudFolder = SubPath(s_.DataDir, cloudSet);

    std::string installList, notFoundList, backupMissingList, cannotBackupList;
    std::vector<std::string> sources, names, backupNames;
    auto collect = [&](Lst list, const std::string& folder) {
        for (const std::string& item : CheckedItems(list)) {
            const std::string source = SubPath(folder, item);
            if (!FileExists(env_, source)) {
                AppendLine(notFoundList, item);
                continue;
            }
            AppendLine(installList, item);
            sources.push_back(source);
            names.push_back(item);
            if (s_.BackupEnabled && !BackupExists(item)) {
                AppendLine(backupMissingList, item);
                backupNames.push_back(item);
            }
        }
    };
    collect(Lst::lstClouds, cloudFolder);
    collect(Lst::lstOption, SubPath(cloudFolder, Text(Lst::cmbOption)));
    DropFinalCrLf(notFoundList);
    DropFinalCrLf(installList);

    // Stops the installation after a failed copy: AutoRandom ends and the
    // buttons come back.
    auto fail = [&] {
        if (hooks_.stopAutoRandom) hooks_.stopAutoRandom();
        ButtonCtrl(true);
        return false;
    };

    if (s_.BackupEnabled && !backupMissingList.empty() &&
        Ask(BackupQuestionText(setName, backupMissingList), 52, "No Backup files") == 6) {
        std::string failed;
        std::vector<std::string> backedUp;
        bool stopped = false;
        {
            BusyScope busy(*this, Operation::Install);
            EnsureBackupDir();
            for (const std::string& name : backupNames) {
                DoEvents();
                // Asked to stop: nothing is installed over files not yet saved.
                if (EndAsked()) {
                    stopped = true;
                    break;
                }
                const std::string texture = SubPath(s_.TextureDir, name);
                if (!FileExists(env_, texture)) {
                    AppendLine(cannotBackupList, name);
                    continue;
                }
                // A backup copy that exists is never replaced here: it holds
                // the simulator's own file.
                if (!BackupCopy(texture, SubPath(s_.BackupDir, name), false, false)) {
                    failed = name;
                    break;
                }
                backedUp.push_back(name);
            }
            NoteFiles(env_, s_, Noted::Backup, backedUp);
        }
        if (stopped) return false;
        if (!failed.empty()) {
            // Installing over a file whose backup could not be made would
            // lose the simulator's own texture.
            if (!AutoRandomOn())
                env_.msg->ShowMsg("Backup file Error!! FileName : " + failed, 16, "File Copy Error");
            return fail();
        }
    }

    DropFinalCrLf(installList);
    DropFinalCrLf(notFoundList);
    DropFinalCrLf(cannotBackupList);
    const std::string report = InstallReport(installList, notFoundList, s_.BackupEnabled, cannotBackupList);
    // Nothing is asked while AutoRandom runs, so the headers are not read.
    const std::string checks = AutoRandomOn() ? std::string() : BitmapChecks(sources, names);
    if (Ask(ConfirmationText(setName, report) + BitmapCheckBlock(checks), 49, "Installation") == 2) return false;

    const std::string dataType = GetDataType(env_, cloudFolder);
    if (!InstallFiles(sources, names)) return fail();
    // The program's end stopped the copy between two files: the texture
    // record knows each file copied, but the last-installed record names only
    // a set wholly in place, and the clouds are not refreshed for half a set.
    if (cutShort_) return false;
    AddLastInstalled(s_, setName, dataType);
    if (IsCloudDataType(dataType) && hooks_.refreshClouds) hooks_.refreshClouds(dataType);
    if (!AutoRandomOn() && state_.RandomMode) {
        view_.SetCaption(Ctl::lblMsg, "Press Install Button.");
        view_.SetVisible(Ctl::lblMsg, true);
    }
    return true;
}

std::string SetsController::BitmapChecks(const std::vector<std::string>& sources,
                                         const std::vector<std::string>& names) {
    // The headers alone, and the files' lengths: nothing more is read.
    constexpr size_t kHead = 256;
    const auto header = [this](const std::string& path, BitmapInfo& info) {
        uint64_t length = 0;
        const std::optional<std::string> head = env_.fs->ReadHead(path, kHead, length);
        if (!head) return false;
        info = ReadBitmapHeader(*head, length);
        return true;
    };
    std::string lines;
    for (size_t j = 0; j < sources.size() && j < names.size(); ++j) {
        if (j % 16 == 15) DoEvents();
        BitmapInfo in, old;
        if (!header(sources[j], in)) continue;
        const bool current = header(SubPath(s_.TextureDir, names[j]), old);
        const std::string line = BitmapCheckLine(names[j], in, current ? &old : nullptr);
        if (!line.empty()) lines += (lines.empty() ? " " : "\r\n ") + line;
    }
    return lines;
}

bool SetsController::InstallFiles(const std::vector<std::string>& sources, const std::vector<std::string>& names) {
    copied_ = 0;
    cutShort_ = false;
    BusyScope busy(*this, Operation::Install);
    if (!busy) return false;
    RemoveStaleCopies(env_, s_.TextureDir);
    // Whatever ends the loop, the record learns what was copied.
    struct Note {
        Env& env;
        Settings& s;
        std::vector<std::string> names, sources;
        ~Note() { NoteFiles(env, s, Noted::Install, names, sources); }
    } note{env_, s_, {}, {}};
    // A read-only texture file cannot be replaced: refuse the whole set
    // before the first copy rather than leave it half installed.
    if (const std::string locked = FirstReadOnly(env_, s_.TextureDir, names); !locked.empty()) {
        if (!AutoRandomOn())
            env_.msg->ShowMsg("Install file Error!! FileName : " + locked + kCrLf + kReadOnlyTexture, 16,
                              "File Copy Error");
        return false;
    }
    for (size_t j = 0; j < sources.size() && j < names.size(); ++j) {
        DoEvents();
        if (EndAsked()) {  // between two files: each is whole
            cutShort_ = true;
            break;
        }
        if (ReplaceCopy(env_, sources[j], SubPath(s_.TextureDir, names[j]))) {
            ++copied_;
            note.names.push_back(names[j]);
            note.sources.push_back(sources[j]);
        } else {
            // A source that went missing since the report is skipped; it is
            // looked for only now, to keep a search per file off the copy.
            if (!FileExists(env_, sources[j])) continue;
            // The texture file keeps its old content; tell which one failed.
            if (!AutoRandomOn())
                env_.msg->ShowMsg("Install file Error!! FileName : " + names[j], 16, "File Copy Error");
            return false;
        }
    }
    return true;
}

void SetsController::cmdInst_Click() {
    if (view_.OptionChosen(Ctl::optSky)) {
        const bool ok = InstallSet();
        if (!AutoRandomOn()) {
            const bool played = ok && PlayButtonSound();
            if (!played && env_.sound) env_.sound->Beep();
        }
    } else if (view_.OptionChosen(Ctl::optFLT) && hooks_.installSituation) {
        hooks_.installSituation();
    }
}

}  // namespace vm
