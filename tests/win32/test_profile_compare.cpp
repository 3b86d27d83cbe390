// The portable profile engine against the platform's own profile functions,
// on the same files: every read must agree, and writes must leave files that
// read the same (byte for byte for files already in the platform's layout).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

#include "config/ini_profile.h"
#include "platform/win32_fs.h"
#include "platform/win32_profile.h"

namespace vm {
namespace {

using namespace std::string_literals;
using Opt = std::optional<std::string>;

std::string Show(const std::string& s) {
    std::string r;
    for (unsigned char c : s) {
        if (c == 0) r += "\\0";
        else if (c == '\r') r += "\\r";
        else if (c == '\n') r += "\\n";
        else if (c < 32 || c > 126) {
            char b[8];
            snprintf(b, sizeof b, "\\x%02x", c);
            r += b;
        } else r += static_cast<char>(c);
    }
    return r;
}

// s between two texts (appended: operator+ on a literal trips a false -Wrestrict in gcc 12).
std::string Wrap(const char* before, const std::string& s, const char* after) {
    std::string r(before);
    r.append(s).append(after);
    return r;
}

std::string ShowOpt(const Opt& o) { return o ? Wrap("'", Show(*o), "'") : "NULL"; }

std::string Flip(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return s;
}

std::string Trimmed(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n\v\f\x1a");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r\n\v\f\x1a");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> r;
    size_t p = 0;
    while (p < list.size()) {
        size_t z = list.find('\0', p);
        if (z == std::string::npos) z = list.size();
        r.push_back(list.substr(p, z - p));
        p = z + 1;
    }
    return r;
}

class TempFolder {
public:
    TempFolder() {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir_ = std::string(tmp) + "vm_profile_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount());
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir_ + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = fd.cFileName;
                if (n != "." && n != "..") {
                    SetFileAttributesA((dir_ + "\\" + n).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA((dir_ + "\\" + n).c_str());
                }
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir_.c_str());
    }
    std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

private:
    std::string dir_;
};

struct IniCase {
    std::string name;
    std::string text;
    bool canonical;  // already in the platform's layout: writes compare byte for byte
    bool writes = true;
};

std::vector<IniCase> Cases() {
    std::vector<IniCase> c;
    c.push_back({"basic", "[Main]\r\nKey=Value\r\nOther=2\r\n", true});
    c.push_back({"cloudlike",
                 "[DataDirName]\r\nDataPath=vellmora\\Data\r\n[BackUpFunc]\r\nFunc=on\r\n[BackUpDirName]\r\n"
                 "Name=vellmora\\Backup\r\n[Set1]\r\nName=Big Cumulus\r\nFolder=Cu1\r\n[LastInstalled]\r\n"
                 "Count=2\r\nSet1=Big Cumulus,Cumulus\r\nSet2=Thin,Cirrus\r\n",
                 true});
    c.push_back({"blanks", "[ Sp ]\r\n  Key  =  value  \r\n\tTab\t=\tv2\t\r\n", false});
    c.push_back({"quotes",
                 "[Q]\r\nd=\"double\"\r\ns='single'\r\nmis=\"x'\r\none=\"\r\nempty=\"\"\r\ninner=\"a\"b\"\r\n"
                 "sp=\" spaced \"\r\npad=  'p'  \r\n",
                 false});
    c.push_back({"before_first_section", "top=1\r\n;note\r\nsecond=2\r\n[A]\r\nx=1\r\n", true});
    c.push_back({"duplicate_sections", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n", true});
    c.push_back({"duplicate_keys", "[A]\r\nx=1\r\nX=2\r\ny=3\r\nx=4\r\n", true});
    c.push_back({"no_equals", "[A]\r\nlonely\r\nx=1\r\n  spaced out  \r\n", false});
    c.push_back({"comments", "; head\r\n[A]\r\n;x=1\r\nx=2\r\n# hash=3\r\n;\r\n[B]\r\n;only\r\n", true});
    c.push_back({"no_final_newline", "[A]\r\nx=1\r\n[B]\r\ny=2", false});
    c.push_back({"lf", "[A]\nx=1\ny=2\n[B]\nz=3\n", false});
    c.push_back({"cr", "[A]\rx=1\ry=2\r[B]\rz=3\r", false});
    c.push_back({"mixed_breaks", "[A]\rx=1\ny=2\r\nz=3\n\r[B]\n\rw=4", false});
    c.push_back({"empty_values", "[A]\r\nx=\r\ny=  \r\nz=\"\"\r\n", false});
    c.push_back({"empty_file", "", true});
    c.push_back({"only_comments", "; a\r\n; b\r\n", true});
    c.push_back({"header_tails", "[A] ; comment\r\nx=1\r\n[B]x\r\ny=2\r\n[c]d]\r\nz=3\r\n", false});
    c.push_back({"unterminated_header", "[A]\r\nx=1\r\n[bad\r\ny=2\r\n[B]\r\nz=3\r\n", true});
    // Reads only: Wine's rewrite drops the "[]" headers, so their keys move
    // into the section above; the engine keeps the file as it is.
    c.push_back({"empty_section_name", "[A]\r\nx=1\r\n[]\r\ny=2\r\n[ ]\r\nw=5\r\n[B]\r\nz=3\r\n", true, false});
    c.push_back({"control_blanks", "[A]\r\n\vx\f=\t1\x1a\r\n\x1a[B]\r\ny=2\x1a\r\n", false});
    c.push_back({"high_bytes", "[\xe9t\xe9]\r\nK\xe9=\xc9t\xe9\r\n[B]\r\nv=\xa0x\xa0\r\nw=\xff\xfe\r\n", true});
    c.push_back({"nul_in_value", "[A]\r\nx=a\0b\r\ny=2\r\n"s, false});
    c.push_back({"long_value", "[A]\r\nlong=" + std::string(3000, 'v') + "\r\nshort=1\r\n", true});
    {
        std::string many;
        for (int i = 1; i <= 120; ++i) many += "[Set" + std::to_string(i) + "]\r\nName=Set number " + std::to_string(i) + "\r\n";
        c.push_back({"many_sections", many, true});
    }
    {
        std::string keys = "[Sound]\r\n";
        for (int i = 1; i <= 300; ++i) keys += "Music" + std::to_string(i) + "=C:\\Music\\track" + std::to_string(i) + ".mp3\r\n";
        c.push_back({"many_keys", keys, true});
    }
    c.push_back({"equals_in_value", "[A]\r\nx=a=b=c\r\n==\r\n", false});
    c.push_back({"empty_key_name", "[A]\r\n=v\r\nx=1\r\n[B]\r\ny=2\r\n=w\r\n", true});
    c.push_back({"empty_sections", "[A]\r\n[B]\r\n[C]\r\nx=1\r\n", true});
    c.push_back({"blank_lines", "\r\n\r\n[A]\r\n\r\nx=1\r\n\r\n\r\n[B]\r\n\r\n", false});
    c.push_back({"whitespace_lines", "[A]\r\n \t \r\nx=1\r\n\t\r\n", false});
    c.push_back({"case_variants", "[SECTION]\r\nKEY=1\r\n[section]\r\nkey=2\r\n[Section]\r\nKey=3\r\n", true});
    c.push_back({"inner_spaces", "[My Section]\r\nmy key = my value\r\n", false});
    c.push_back({"trailing_comment", "[A]\r\nx=1 ; not a comment\r\ny=\"2\" ; q\r\n", true});
    c.push_back({"bracket_values", "[A]\r\nx=[B]\r\n [C] \r\ny=2\r\n", false});
    c.push_back({"semicolon_names", "[;A]\r\nx=1\r\n[A]\r\n;y=2\r\n", true});
    return c;
}

// Names worth asking for: every header and key text found in the file, raw,
// trimmed and with flipped case, plus names that are not there.
void Candidates(const std::string& text, std::vector<std::string>& sections, std::vector<std::string>& keys) {
    std::set<std::string> secs{"", "missing", " "}, ks{"", "missing"};
    std::vector<std::string> lines;
    std::string cur;
    for (char ch : text) {
        if (ch == '\r' || ch == '\n') {
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    lines.push_back(cur);
    for (const std::string& l : lines) {
        std::string t = Trimmed(l);
        if (!t.empty() && t[0] == '[') {
            size_t close = t.rfind(']');
            std::string inner = t.substr(1, close == std::string::npos || close == 0 ? std::string::npos : close - 1);
            for (const std::string& v : {inner, Trimmed(inner), Flip(Trimmed(inner)), Wrap(" ", Trimmed(inner), " ")})
                secs.insert(v);
        }
        size_t eq = l.find('=');
        std::string name = eq == std::string::npos ? l : l.substr(0, eq);
        name = name.substr(0, name.find('\0'));
        for (const std::string& v : {name, Trimmed(name), Flip(Trimmed(name)), Wrap(" ", Trimmed(name), " ")}) ks.insert(v);
    }
    sections.assign(secs.begin(), secs.end());
    keys.assign(ks.begin(), ks.end());
    if (sections.size() > 24) sections.resize(24);
    if (keys.size() > 24) keys.resize(24);
}

struct Reader {
    Profile& profile;
    std::string file;
    std::string Get(const Opt& section, const Opt& key, unsigned size, const std::string& def = "Error") {
        return profile.Get(section ? &*section : nullptr, key ? &*key : nullptr, def, size, file);
    }
};

// Every read that the file suggests, through both readers.
void CompareReads(Reader a, Reader b, const std::string& text, const std::string& what) {
    std::vector<std::string> sections, keys;
    Candidates(text, sections, keys);
    auto same = [&](const Opt& s, const Opt& k, unsigned size, const std::string& def = "Error") {
        std::string ra = a.Get(s, k, size, def), rb = b.Get(s, k, size, def);
        EXPECT_EQ(Show(ra), Show(rb)) << what << ": section " << ShowOpt(s) << " key " << ShowOpt(k) << " size "
                                      << size << " default '" << def << "'";
        return ra;
    };
    std::string all = same(std::nullopt, std::nullopt, 65536);
    for (unsigned size : {0u, 1u, 2u, 3u, 4u, 5u, 7u, 9u, 16u, 2048u}) same(std::nullopt, std::nullopt, size);
    for (unsigned size = 1; size <= all.size() + 2 && size < 40; ++size) same(std::nullopt, std::nullopt, size);
    same(std::nullopt, "x"s, 2048);
    // Enough names to cover every shape without asking for all of a long file.
    std::vector<std::string> listed = Split(all);
    if (listed.size() > 12) listed.resize(12);
    sections.insert(sections.end(), listed.begin(), listed.end());
    for (const std::string& s : sections) {
        std::string list = same(s, std::nullopt, 65536);
        for (unsigned size : {0u, 1u, 2u, 3u, 4u, 6u, 2048u}) same(s, std::nullopt, size);
        if (list != "Error")
            for (unsigned size = 1; size <= list.size() + 2 && size < 40; ++size) same(s, std::nullopt, size);
        std::vector<std::string> ks = keys;
        if (list != "Error") {
            std::vector<std::string> listedKeys = Split(list);
            if (listedKeys.size() > 12) listedKeys.resize(12);
            ks.insert(ks.end(), listedKeys.begin(), listedKeys.end());
        }
        for (const std::string& k : ks) {
            std::string v = same(s, k, 2048);
            if (v == "Error" || v.empty()) continue;
            for (unsigned size : {0u, 1u, 2u, 3u})
                same(s, k, size);
            for (size_t size = v.size() > 2 ? v.size() - 1 : 1; size <= v.size() + 3; ++size)
                same(s, k, static_cast<unsigned>(size));
        }
        same(s, "missing"s, 2048, "'quoted default'  ");
        same(s, "missing"s, 4, "  lead");
    }
}

std::string ReadBytes(FileSystem& fs, const std::string& file) {
    return fs.Read(file).value_or("<no file>");
}

TEST(ProfileCompare, ReadsAgreeWithThePlatform) {
    TempFolder tmp;
    Win32FileSystem fs;
    Win32Profile win;
    IniProfile engine(fs);
    std::vector<IniCase> cases = Cases();
    ASSERT_GE(cases.size(), 30u);
    for (const IniCase& c : cases) {
        std::string file = tmp.Path(c.name + ".ini");
        ASSERT_TRUE(fs.Write(file, c.text)) << c.name;
        CompareReads({win, file}, {engine, file}, c.text, c.name);
        // A reading sequence's copy of the file answers the same.
        std::unique_ptr<Profile> snap = win.Snapshot(file);
        ASSERT_TRUE(snap) << c.name;
        CompareReads({win, file}, {*snap, file}, c.text, c.name + " (snapshot)");
    }
    EXPECT_FALSE(win.Snapshot(tmp.Path("missing.ini")));
    std::string missing = tmp.Path("missing.ini");
    CompareReads({win, missing}, {engine, missing}, "[A]\r\nx=1\r\n", "missing file");
}

struct Op {
    Opt section, key, value;
    bool padded = false;  // blanks around a name or value
};

std::vector<Op> OpsFor(Profile& win, const std::string& file) {
    std::vector<std::string> secs = Split(win.Get(nullptr, nullptr, "", 65536, file));
    std::string s0 = secs.empty() ? "Main" : secs.front();
    std::string sLast = secs.empty() ? "Main" : secs.back();
    std::vector<std::string> ks = Split(win.Get(&s0, nullptr, "", 65536, file));
    std::string k0 = ks.empty() || ks.front().empty() ? "Key" : ks.front();
    std::string kLast = ks.empty() || ks.back().empty() ? "Other" : ks.back();
    return {
        {s0, k0, "changed"s},
        {s0, k0, "changed"s},
        {Flip(s0), Flip(k0), "Changed"s},
        {s0, "NewKey"s, "  lead and trail  "s, true},
        {s0, "NewKey2"s, "\tlead"s},
        {Wrap(" ", s0, " "), " Padded "s, "p"s, true},
        {"Added Section"s, "k"s, "v"s},
        {" Padded Section "s, " pk "s, "v"s, true},
        {"Added Section"s, "k2"s, "v2"s},
        {s0, k0, std::nullopt},
        {s0, "nope"s, std::nullopt},
        {Wrap(" ", s0, " "), "NewKey2"s, std::nullopt},
        {Flip(s0), "newkey2"s, std::nullopt},
        {s0, kLast, ""s},
        {""s, "top"s, "1"s},
        {std::nullopt, "k"s, "v"s},
        {sLast, std::nullopt, std::nullopt},
        {"No Such Section"s, std::nullopt, std::nullopt},
        {" Added Section "s, std::nullopt, std::nullopt},
        {"Added Section"s, std::nullopt, std::nullopt},
    };
}

// The platform rewrites the whole file in its own layout at each change, and
// stores blanks around new names and values at first; the engine changes only
// the lines concerned and leaves such blanks out. So files compare byte for
// byte when they start in the platform's layout and no change brings blanks;
// otherwise the written files must read the same.
void RunWrites(const IniCase& c, bool withPadded, TempFolder& tmp) {
    Win32FileSystem fs;
    Win32Profile win;
    IniProfile engine(fs);
    std::string tag = withPadded ? "_all" : "_plain";
    std::string a = tmp.Path(c.name + tag + "_platform.ini"), b = tmp.Path(c.name + tag + "_engine.ini");
    ASSERT_TRUE(fs.Write(a, c.text));
    ASSERT_TRUE(fs.Write(b, c.text));
    for (const Op& op : OpsFor(win, a)) {
        if (op.padded && !withPadded) continue;
        std::string what = c.name + " put " + ShowOpt(op.section) + "/" + ShowOpt(op.key) + "=" + ShowOpt(op.value);
        const std::string* s = op.section ? &*op.section : nullptr;
        const std::string* k = op.key ? &*op.key : nullptr;
        const std::string* v = op.value ? &*op.value : nullptr;
        EXPECT_EQ(win.Put(s, k, v, a), engine.Put(s, k, v, b)) << what;
        if (c.canonical && !withPadded) {
            EXPECT_EQ(Show(ReadBytes(fs, a)), Show(ReadBytes(fs, b))) << what;
        }
    }
    std::string textA = ReadBytes(fs, a), textB = ReadBytes(fs, b);
    // The same answers from the written files, whoever wrote and reads them.
    CompareReads({win, a}, {win, b}, textA + "\r\n" + textB, c.name + tag + " after writes (platform reads both)");
    CompareReads({win, b}, {engine, b}, textB, c.name + tag + " after writes (engine's file)");
}

TEST(ProfileCompare, WritesAgreeWithThePlatform) {
    TempFolder tmp;
    for (const IniCase& c : Cases()) {
        if (!c.writes) continue;
        RunWrites(c, false, tmp);
        RunWrites(c, true, tmp);
    }
}

TEST(ProfileCompare, NewFileAndMissingFolder) {
    TempFolder tmp;
    Win32FileSystem fs;
    Win32Profile win;
    IniProfile engine(fs);
    std::string s = "S", k = "k", v = "v";
    std::string a = tmp.Path("new_platform.ini"), b = tmp.Path("new_engine.ini");
    EXPECT_TRUE(win.Put(&s, nullptr, nullptr, a));
    EXPECT_TRUE(engine.Put(&s, nullptr, nullptr, b));
    EXPECT_TRUE(win.Put(&s, &k, nullptr, a));
    EXPECT_TRUE(engine.Put(&s, &k, nullptr, b));
    EXPECT_FALSE(fs.Read(a).has_value());
    EXPECT_FALSE(fs.Read(b).has_value());
    EXPECT_TRUE(win.Put(&s, &k, &v, a));
    EXPECT_TRUE(engine.Put(&s, &k, &v, b));
    EXPECT_EQ(ReadBytes(fs, a), ReadBytes(fs, b));
    std::string lost = tmp.Path("no_folder\\x.ini");
    EXPECT_EQ(win.Put(&s, &k, &v, lost), engine.Put(&s, &k, &v, lost));
}

}  // namespace
}  // namespace vm
