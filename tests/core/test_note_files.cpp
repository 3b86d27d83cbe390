// The texture record after each copy loop: a copied file takes its source's
// hash, known while the source's size and time are unchanged; only what the
// record cannot vouch for is read, and a file changed behind its back is
// found by its new size or time.
#include <gtest/gtest.h>

#include <functional>

#include "sets/catalogue.h"
#include "fakes.h"
#include "sets/backup.h"
#include "sets/texture_record.h"

namespace vm {
namespace {

TEST(NoteFiles, ReadsOnlyWhatTheRecordCannotVouchFor) {
    TestEnv te;
    Settings s;
    s.TextureDir = "C:\\FS\\texture";
    s.BackupDir = "C:\\FS\\texture\\bk";
    s.DataDir = "C:\\Sky";
    const std::vector<std::string> names = {"cld1.bmp", "cld2.bmp", "cld3.bmp"};
    auto tex = [&](const std::string& n) { return SubPath(s.TextureDir, n); };
    auto bak = [&](const std::string& n) { return SubPath(s.BackupDir, n); };
    auto src = [&](const std::string& set, const std::string& n) { return s.DataDir + "\\" + set + "\\" + n; };
    double clock = 45000;
    auto put = [&](const std::string& path, const std::string& content) {
        te.fs.AddFile(path, content);
        te.fs.SetModTime(path, clock += 0.01);
    };
    for (const std::string& n : names) {
        put(tex(n), "own " + n);
        put(src("Alto", n), "alto " + n);
        put(src("Bora", n), "bora " + n);
    }
    te.fs.AddDir(s.BackupDir);

    auto install = [&](const std::string& set) {
        std::vector<std::string> sources;
        for (const std::string& n : names) {
            sources.push_back(src(set, n));
            ASSERT_TRUE(ReplaceCopy(te.env, sources.back(), tex(n)));
        }
        NoteFiles(te.env, s, Noted::Install, names, sources);
    };
    auto restore = [&] {
        for (const std::string& n : names) ASSERT_TRUE(ReplaceCopy(te.env, bak(n), tex(n)));
        NoteFiles(te.env, s, Noted::Restore, names);
    };
    auto backup = [&] {
        for (const std::string& n : names) ASSERT_TRUE(ReplaceCopy(te.env, tex(n), bak(n)));
        NoteFiles(te.env, s, Noted::Backup, names);
    };
    struct Row {
        const char* what;
        std::function<void()> act;
        int reads;  // files read, the record itself left out
        const char* set;  // what the record says is installed ("" the original)
    };
    const Row rows[] = {
        {"first backup: each texture read once, its copy takes the hash", backup, 3, ""},
        {"first install of a set: its files read", [&] { install("Alto"); }, 3, "Alto"},
        {"another set", [&] { install("Bora"); }, 3, "Bora"},
        {"the first again: nothing read", [&] { install("Alto"); }, 0, "Alto"},
        {"restore: the backups' hashes", restore, 0, ""},
        {"a set file changed by hand, longer", [&] {
             put(src("Alto", "cld1.bmp"), "alto cld1.bmp, repainted");
             install("Alto");
         }, 1, "Alto"},
        {"a set file changed by hand, same length, new time", [&] {
             put(src("Alto", "cld2.bmp"), "ALTO cld2.bmp");
             install("Alto");
         }, 1, "Alto"},
        {"a texture changed behind the record's back, then backed up again", [&] {
             put(tex("cld3.bmp"), "hand-made cld3");
             backup();
         }, 1, "Alto"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const int before = te.fs.Calls(FsOp::Read);
        r.act();
        // One read is the record's own.
        EXPECT_EQ(te.fs.Calls(FsOp::Read) - before - 1, r.reads);
        TextureRecord record;
        ASSERT_EQ(record.Load(te.env, RecordPath(s)), TextureRecord::Loaded::Ok);
        for (const std::string& n : names) {
            const TextureEntry* e = record.Find(n);
            ASSERT_NE(e, nullptr) << n;
            EXPECT_EQ(e->hash, HashOf(te.env, te.fs.Content(tex(n)))) << n;
            EXPECT_EQ(e->backupHash, HashOf(te.env, te.fs.Content(bak(n)))) << n;
            if (n != "cld3.bmp" || std::string(r.what).find("behind") == std::string::npos) {
                EXPECT_EQ(e->set, r.set) << n;
                EXPECT_EQ(e->installedHash, *r.set ? e->hash : std::string()) << n;
            }
        }
    }
}

}  // namespace
}  // namespace vm
