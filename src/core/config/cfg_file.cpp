#include "config/cfg_file.h"

#include "common/fileproc.h"

namespace vm {

std::string clsCfgRead::Data() {
    if (!snapshot_ || snapshotOf_ != FileName) {
        if (FileCheck(env_, FileName) == "Error") {
            env_.msg->ShowMsg("Filename is not correctly. this is bug!!", 64, "Class cfgRead");
            ReadFailed = true;
            return "";
        }
        snapshot_ = env_.profile->Snapshot(FileName);
        snapshotOf_ = FileName;
    }
    ReadFailed = false;
    Profile& from = snapshot_ ? *snapshot_ : *env_.profile;
    const std::string* section = Section.empty() ? nullptr : &Section;
    const std::string* key = Key.empty() ? nullptr : &Key;
    std::string text = from.Get(section, key, "Error", kBufferSize, FileName);
    // Lists end with their terminating NULs; names inside stay NUL-separated.
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

bool clsCfgWrite::cWrite() {
    // An empty key name is still a key name here: a null key would remove the
    // whole section.
    const bool ok = env_.profile->Put(&Section, &Key, Value.empty() ? nullptr : &Value, FileName);
    if (settings_)
        if (auto t = env_.fs->ModTime(FileName)) settings_->IniTime = *t;
    return ok;
}

std::string IniPath(Env& env, const Settings& s) { return ProgramFile(env, s.IniName); }

void StoreIniTime(Env& env, Settings& s) {
    if (auto t = env.fs->ModTime(IniPath(env, s))) s.IniTime = *t;
}

void WriteBack(Env& env, Settings& s, const std::string& section, const std::string& key,
               const std::string& value) {
    clsCfgWrite w(env, s);
    w.FileName = IniPath(env, s);
    w.Section = section;
    w.Key = key;
    w.Value = value;
    w.cWrite();
}

}  // namespace vm
