// Texts of an installation: the working lists (one line per file: a blank,
// the name, CRLF), the backup question and the confirmation report.
#pragma once

#include <string>

namespace vm {

inline constexpr const char* kRandomSetName = "Random Clouds";
// Second line of the copy error when a texture file is read-only.
inline constexpr const char* kReadOnlyTexture = "The file in the Texture folder is read-only.";

void AppendLine(std::string& list, const std::string& name);
// Removes one final CRLF, if there is one.
void DropFinalCrLf(std::string& list);

// The report's parts joined by an empty line: files to install, files not
// found, and (backup function on) files that could not be backed up.
std::string InstallReport(const std::string& installList, const std::string& notFoundList, bool backupEnabled,
                          const std::string& cannotBackupList);
std::string BackupQuestionText(const std::string& setName, const std::string& backupMissingList);
std::string ConfirmationText(const std::string& setName, const std::string& report);

}  // namespace vm
