#include "sets/last_installed.h"

#include <algorithm>

#include "common/convert.h"
#include "common/fileproc.h"
#include "config/settings.h"
#include "config/cfg_file.h"
#include "sets/sets_controller.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";
const std::string kSection = "LastInstalled";

// The text followed by blanks up to `width` characters (never cut).
std::string PadRight(const std::string& text, size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

void AddLastInstalled(Settings& s, const std::string& setName, const std::string& dataType) {
    s.LastInstalledSets.push_back(setName);
    s.LastInstalledTypes.push_back(dataType);
    // The loader never gives less than 1; a record that was never loaded keeps one pair.
    const size_t limit = static_cast<size_t>(std::max<int>(s.LastInstCount, 1));
    while (s.LastInstalledSets.size() > limit) {
        s.LastInstalledSets.erase(s.LastInstalledSets.begin());
        s.LastInstalledTypes.erase(s.LastInstalledTypes.begin());
    }
}

void SaveLastInstalled(Env& env, Settings& s) {
    const size_t count = std::min(s.LastInstalledSets.size(), s.LastInstalledTypes.size());
    if (count == 0) return;
    const std::string file = IniPath(env, s);
    if (SameText(FileCheck(env, file), "Error")) return;
    clsCfgWrite writer(env, s);
    writer.FileName = file;
    writer.Section = kSection;
    for (size_t i = 0; i < count; ++i) {
        writer.Key = std::to_string(i + 1);
        writer.Value = s.LastInstalledSets[i] + "," + s.LastInstalledTypes[i];
        writer.cWrite();
    }
    writer.Value.clear();
    clsCfgRead reader(env);
    reader.FileName = file;
    reader.Section = kSection;
    for (size_t i = count + 1;; ++i) {
        const std::string key = std::to_string(i);
        reader.Key = key;
        const std::string value = reader.Data();
        if (reader.ReadFailed || SameText(value, "Error")) break;
        // A key that cannot be deleted would be read again for ever.
        writer.Key = key;
        if (!writer.cWrite()) break;
    }
}

std::string LastInstalledReport(const Settings& s) {
    std::string text = "============ Last set installed ============" + kCrLf + "Lower number on the screen," + kCrLf +
                       "                are the latest set installed." + kCrLf +
                       "--------------------------------------------" + kCrLf + "No.   DataType     SetName" + kCrLf +
                       "--------------------------------------------" + kCrLf;
    const size_t count = std::min(s.LastInstalledSets.size(), s.LastInstalledTypes.size());
    if (count == 0) return text + "No Data was not installed.";
    for (size_t i = 0; i < count; ++i)
        text += PadRight(std::to_string(i + 1), 6) + PadRight(s.LastInstalledTypes[i], 13) + s.LastInstalledSets[i] +
                kCrLf;
    return text;
}

void SetsController::mnuLastInst_Click() { env_.msg->ShowMsg(LastInstalledReport(s_), 0, "Last Installed Data"); }

}  // namespace vm
