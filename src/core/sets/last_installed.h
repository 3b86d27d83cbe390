// The record of the most recent installations (set name and DataType pairs,
// oldest first), kept in Settings and stored in [LastInstalled] of cloud.ini.
#pragma once

#include <string>

#include "common/ports.h"

namespace vm {

struct Settings;

// Appends the pair and drops the oldest pairs beyond LastInstCount.
void AddLastInstalled(Settings& settings, const std::string& setName, const std::string& dataType);
// Writes keys 1..count and deletes the stale keys after them. Nothing when
// the record is empty or cloud.ini is missing.
void SaveLastInstalled(Env& env, Settings& settings);
// The text of the "Last Installed Data" message.
std::string LastInstalledReport(const Settings& settings);

}  // namespace vm
