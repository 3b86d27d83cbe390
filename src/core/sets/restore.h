// Texts of the restore of the simulator's own textures and of the re-backup.
#pragma once

#include <string>

namespace vm {

// The restore report: the files that go back and those without a backup copy.
std::string RestoreReport(const std::string& restoreList, const std::string& missingBackupList);
// The re-backup of all leaves out texture files that are a set's files.
std::string InstalledNotBackedUpText(const std::string& list);

}  // namespace vm
