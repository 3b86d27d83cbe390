// The two small classes through which everything reads and writes cloud.ini,
// and the write-back rule (store the file's new modification time).
#pragma once

#include <memory>
#include <string>

#include "common/ports.h"
#include "config/settings.h"

namespace vm {

// One instance per reading sequence. Set FileName, Section and Key, then call
// Data. Every read uses the default text "Error", so a missing key, a missing
// section and an empty file all read as "Error".
class clsCfgRead {
public:
    explicit clsCfgRead(Env& env) : env_(env) {}

    std::string Section;
    std::string Key;
    std::string FileName;
    bool ReadFailed = false;  // set by Data: the file was not there

    // Both Section and Key empty: the NUL-separated list of section names;
    // Key empty: the list of keys of Section; otherwise the value.
    std::string Data();

    static constexpr unsigned kBufferSize = 2048;

private:
    Env& env_;
    // The file as it was at this sequence's first read, when the platform
    // offers a copy: a loader run of thousands of keys then reads the file
    // once instead of once per key.
    std::unique_ptr<Profile> snapshot_;
    std::string snapshotOf_;
};

// One instance per writing sequence. cWrite writes Key=Value into Section, or
// deletes Key when Value is empty; nothing is shown. Made with the settings,
// it stores the file's new modification time in IniTime after each write, so
// that the program's own writes never count as a change made by hand.
class clsCfgWrite {
public:
    explicit clsCfgWrite(Env& env) : env_(env) {}
    clsCfgWrite(Env& env, Settings& settings) : env_(env), settings_(&settings) {}

    std::string Section;
    std::string Key;
    std::string Value;
    std::string FileName;

    // False when the platform refused the write.
    bool cWrite();

private:
    Env& env_;
    Settings* settings_ = nullptr;
};

// Program folder + "\" + IniName.
std::string IniPath(Env& env, const Settings& s);

// Writes (or, with an empty value, deletes) one key of cloud.ini and then
// stores the file's new modification time in s.IniTime.
void WriteBack(Env& env, Settings& s, const std::string& section, const std::string& key,
               const std::string& value);

// Stores the current modification time of cloud.ini in s.IniTime (kept as it
// was when the file cannot be found).
void StoreIniTime(Env& env, Settings& s);

}  // namespace vm
