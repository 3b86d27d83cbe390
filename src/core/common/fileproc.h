// Shared file, path and text procedures. Tests answer "OK" or "Error".
#pragma once

#include <string>
#include <vector>

#include "common/ports.h"

namespace vm {

struct Settings;

// Removes every trailing backslash, one at a time (letting pending messages
// run once per pass), then trims blanks. Changes the argument and returns it.
std::string TrimPathEnd(Env& env, std::string& path);
std::string DirCheck(Env& env, const std::string& path);
std::string FileCheck(Env& env, const std::string& pathOrPattern);
std::string NameCheck(const std::string& name);
std::string LeftOf(const std::string& text, const std::string& sep);
std::string RightOf(const std::string& text, const std::string& sep);
std::string RightOfLast(const std::string& text, const std::string& sep);
std::string ParentPath(const std::string& path);
bool IsBool(const std::string& value);
std::string IntCheck(const std::string& value);
std::string LongCheck(const std::string& value);
// Expands the "vellmora" prefix (program folder) and the "fs2002" prefix
// (the selected simulator's folder). Changes the argument and returns it.
std::string ExpandPath(Env& env, const std::string& fsDir, std::string& path);
std::string TrimAtNul(const std::string& fixedName);
void ListFiles(Env& env, std::string folder, const std::string& pattern, std::vector<std::string>& list);
void ListDirs(Env& env, std::string folder, std::vector<std::string>& list);
void ListFilesDeep(Env& env, std::string folder, const std::string& pattern, std::vector<std::string>& list);

// Shell copy: the flags for the confirm choice, and the success rule.
unsigned ShellFileOpFlags(bool confirm);
bool ShellFileOp(Env& env, const std::string& from, const std::string& to, unsigned op, bool confirm);
// Shell copy of one file to the file name `toFile` (not into a folder), with
// the shell's simple progress; the same success rule.
bool ShellCopyFile(Env& env, const std::string& from, const std::string& toFile);

// The program folder without trailing backslashes, plus "\" + name.
std::string ProgramFile(Env& env, const std::string& name);

}  // namespace vm
