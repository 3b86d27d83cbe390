// Copying over a file without risking it: the copy goes to a temporary name
// in the destination's folder and then replaces the destination in one step,
// so a copy that fails leaves the old file as it was.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/ports.h"

namespace vm {

// Temporary copies are named "~vellmora-" + eight hex digits + ".tmp", a new
// name for every copy, so no file of another name is ever overwritten.
bool IsCopyTempName(const std::string& name);
// A free temporary name in the folder (full path), or the empty text.
std::string NewTempPath(Env& env, const std::string& folder);
// Names of the temporary copies in the folder (left there by a copy that
// never finished, e.g. after a crash).
std::vector<std::string> CopyTempsIn(Env& env, const std::string& folder);
// Removes those temporary copies.
void RemoveStaleCopies(Env& env, const std::string& folder);

// A name that can stand for a file of the texture folder: not empty, no
// path separator, drive or wildcard, not "." or "..".
bool IsTextureFileName(const std::string& name);

// Whether a file or folder matches the path (FileCheck answering "OK").
bool FileExists(Env& env, const std::string& path);

// Copies `source` over `dest` (which may or may not exist). False when the
// copy or the replace fails, or when `dest` is read-only; `dest` is then
// unchanged. The copy never ends up read-only, also from a read-only source.
bool ReplaceCopy(Env& env, const std::string& source, const std::string& dest);
// The same with another way of making the temporary copy (the shell's).
using TempCopier = std::function<bool(const std::string& source, const std::string& temp)>;
bool ReplaceCopyWith(Env& env, const std::string& source, const std::string& dest, const TempCopier& copy);

// The first of `names` whose file in `folder` exists and is read-only (it
// could not be replaced); the empty text when there is none.
std::string FirstReadOnly(Env& env, const std::string& folder, const std::vector<std::string>& names);

}  // namespace vm
