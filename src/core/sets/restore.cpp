// Putting the simulator's own textures back from the backup folder, and
// refreshing the backup copies.
#include "sets/restore.h"

#include "common/convert.h"
#include "common/fileproc.h"
#include "sets/backup.h"
#include "sets/install.h"
#include "sets/sets_controller.h"
#include "sets/texture_record.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";

// " name" lines, CR LF between them.
std::string NameLines(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) AppendLine(list, name);
    DropFinalCrLf(list);
    return list;
}

}  // namespace

std::string InstalledNotBackedUpText(const std::string& list) {
    return "Following files in the Texture Folder are the same as the files of a set." + kCrLf +
           "They are not backuped, so that the backup keeps the originals." + kCrLf + list;
}

std::string RestoreReport(const std::string& restoreList, const std::string& missingBackupList) {
    std::string report;
    if (!restoreList.empty()) report = "Following files will be back to original." + kCrLf + restoreList;
    if (!missingBackupList.empty()) {
        if (report.empty())
            report = "Following files are not found in the BackUp Folder." + kCrLf + missingBackupList;
        else
            report += kCrLf + kCrLf + "And following files are not found in the BackUp Folder." + kCrLf +
                      missingBackupList;
    }
    return report;
}

void SetsController::cmdToOrg_Click() {
    view_.SetCaption(Ctl::lblMsg, Text(Lst::cmbClouds));
    if (view_.Count(Lst::lstClouds) > 0 || view_.Count(Lst::lstOption) > 0) {
        std::string restoreList, missingList;
        std::vector<std::string> names;
        for (Lst list : {Lst::lstClouds, Lst::lstOption})
            for (const std::string& item : CheckedItems(list)) {
                if (BackupExists(item)) {
                    AppendLine(restoreList, item);
                    names.push_back(item);
                } else {
                    AppendLine(missingList, item);
                }
            }
        DropFinalCrLf(restoreList);
        DropFinalCrLf(missingList);
        if (Ask(RestoreReport(restoreList, missingList), 49, "To Original Files") != 2) RestoreFiles(names);
    }
    if (env_.sound) env_.sound->Beep();
}

bool SetsController::RestoreFiles(const std::vector<std::string>& names) {
    BusyScope busy(*this, Operation::Restore);
    if (!busy) return false;
    RemoveStaleCopies(env_, s_.TextureDir);
    std::vector<std::string> restorable;
    for (const std::string& name : names)
        if (FileExists(env_, SubPath(s_.BackupDir, name))) restorable.push_back(name);
    if (const std::string locked = FirstReadOnly(env_, s_.TextureDir, restorable); !locked.empty()) {
        env_.msg->ShowMsg("Restore file Error!! FileName : " + locked + kCrLf + kReadOnlyTexture, 16,
                          "File Copy Error");
        return false;
    }
    std::vector<std::string> restored;
    bool ok = true;
    for (const std::string& name : names) {
        view_.SetCaption(Ctl::lblMsg, "Copying " + name);
        DoEvents();
        if (EndAsked()) break;  // between two files: each is whole
        const std::string backup = SubPath(s_.BackupDir, name);
        if (!FileExists(env_, backup)) continue;
        if (!ReplaceCopy(env_, backup, SubPath(s_.TextureDir, name))) {
            env_.msg->ShowMsg("Restore file Error!! FileName : " + name, 16, "File Copy Error");
            ok = false;
            break;
        }
        restored.push_back(name);
    }
    NoteFiles(env_, s_, Noted::Restore, restored);
    return ok;
}

void SetsController::cmdBackUp_Click() {
    PlayButtonSound();
    view_.SetCaption(Ctl::lblMsg, Text(Lst::cmbClouds));
    if (view_.Count(Lst::lstClouds) > 0 || view_.Count(Lst::lstOption) > 0) {
        std::string notInTexture;
        std::vector<std::string> names;
        for (Lst list : {Lst::lstClouds, Lst::lstOption})
            for (const std::string& item : CheckedItems(list)) {
                if (FileExists(env_, SubPath(s_.TextureDir, item)))
                    names.push_back(item);
                else
                    AppendLine(notInTexture, item);
            }
        // A checked file that is a set's file (installed) is no original.
        std::vector<std::string> installed;
        BackupList(names, true, true, &installed);
        DropFinalCrLf(notInTexture);
        std::string text;
        if (!notInTexture.empty())
            text = "Following files are not found in the Texture Folder." + kCrLf + notInTexture;
        if (!installed.empty())
            text += (text.empty() ? "" : kCrLf + kCrLf) + InstalledNotBackedUpText(NameLines(installed));
        if (!text.empty()) env_.msg->ShowMsg(text, 48, "Backup files");
    }
    if (env_.sound) env_.sound->Beep();
}

void SetsController::cmdBackUp_MouseDown(int button) {
    if (button == 2) view_.Popup(Menu::mnuPopUpBkAll);
}

void SetsController::mnuBkAll_Click() {
    std::vector<std::string> installed;
    if (!BackupAll(true, false, &installed)) {
        env_.msg->ShowMsg("Re-backup procedure was failed !!", 16, "re-backup Error");
    } else if (!installed.empty()) {
        env_.msg->ShowMsg(InstalledNotBackedUpText(NameLines(installed)), 48, "Backup files");
    }
    if (env_.sound) env_.sound->Beep();
}

}  // namespace vm
