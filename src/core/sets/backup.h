// Copying over a file without risking it: the copy goes to a temporary name
// in the destination's folder and then replaces the destination in one step,
// so a copy that fails leaves the old file as it was.
#pragma once

#include <string>

#include "common/ports.h"

namespace vm {

// The temporary name used in the destination folder.
inline constexpr const char* kCopyTempName = "~vellmora-copy.tmp";

// Whether a file or folder matches the path (FileCheck answering "OK").
bool FileExists(Env& env, const std::string& path);

// Copies `source` over `dest` (which may or may not exist). False when the
// copy or the replace fails, or when `dest` is read-only; `dest` is then
// unchanged.
bool ReplaceCopy(Env& env, const std::string& source, const std::string& dest);

}  // namespace vm
