// Any cloud.ini text: the profile engine answers every kind of query and
// write, and the loader either loads or ends with a message; nothing crashes
// or reads out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/loader.h"
#include "fakes.h"

namespace {

class NullView : public vm::ConfigView {
public:
    void ClearLists() override {}
    void SetStretch(bool) override {}
    void SetToolTip(const std::string&, int, const std::string&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const unsigned bufSize = 1u + data[0] % 64u;
    const uint8_t mode = data[1];
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);

    vm::TestEnv t;
    const std::string ini = "C:\\Prog\\cloud.ini";
    t.fs.AddDir("C:\\FS\\texture\\Sky");
    t.fs.AddFile("C:\\FS\\texture\\Sky\\cld1.bmp", "b");
    t.fs.AddFile(ini, text);

    // Section and key names taken from the text itself.
    const std::string sec = text.substr(0, text.find('\n') == std::string::npos ? 8 : text.find('\n'));
    const std::string key = text.size() > 4 ? text.substr(text.size() / 2, 5) : "k";
    const std::string val = "v";
    t.profile.Get(nullptr, nullptr, "Error", bufSize, ini);
    t.profile.Get(&sec, nullptr, "Error", bufSize, ini);
    t.profile.Get(&sec, &key, "Error", bufSize, ini);
    t.profile.Get(nullptr, &key, "Error", bufSize, ini);
    if (mode & 1) t.profile.Put(&sec, &key, &val, ini);
    if (mode & 2) t.profile.Put(&sec, &key, nullptr, ini);
    if (mode & 4) t.profile.Put(&sec, nullptr, nullptr, ini);
    t.profile.Get(&sec, &key, "Error", 2048, ini);

    if (mode & 8) {
        t.fs.AddFile(ini, text);
        vm::Settings s;
        s.FsPath[0] = "C:\\FS";
        s.FsDir = "C:\\FS";
        s.TextureDir = "C:\\FS\\texture";
        vm::FontTable fonts;
        NullView view;
        try {
            vm::FindIni(t.env, s);
            vm::ReadConfig(t.env, s, fonts, view, vm::LoadSteps{});
        } catch (const vm::ProgramEnd&) {
        }
    }
    return 0;
}
