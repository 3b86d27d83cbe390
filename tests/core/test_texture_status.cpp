// The texture record and the status window's logic on two simulators:
// installs in turn, a hand change, a deleted backup, a damaged record,
// "Restore All Originals" with a locked file and again, and a fault at
// every copy and replace.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>

#include "common/operation_guard.h"
#include "sets/texture_record.h"
#include "sets/texture_status.h"
#include "test_sets_view.h"
#include "test_window_views.h"

namespace vm {
namespace {

const char* kIniPath = "C:\\Prog\\cloud.ini";
const char* kDataDir = "C:\\Sky";
const std::vector<std::string> kFiles = {"cld1.bmp", "cld2.bmp", "cld3.bmp"};


// One simulator: its folders, its set controller, its status window logic.
struct Sim {
    Settings s;
    Catalogue cat;
    SetsState state;
    FakeSetsView view;
    SetsHooks hooks;
    std::unique_ptr<SetsController> ctl;
    RecordingStatusView statusView;
    std::unique_ptr<TextureStatus> status;

    Sim(TestEnv& te, const std::string& root) {
        s.FsDir = root;
        s.TextureDir = root + "\\texture";
        s.DataDir = kDataDir;
        s.BackupDir = root + "\\bk";
        s.BackupEnabled = true;
        s.ShowSkyFiles = true;
        s.LastInstCount = 3;
        hooks.autoRandomOn = [] { return false; };
        ctl = std::make_unique<SetsController>(te.env, s, cat, state, view, hooks);
        status = std::make_unique<TextureStatus>(te.env, s, statusView);
        status->simName = root;
        for (const std::string& f : kFiles) te.fs.AddFile(Tex(f), Orig(f));
    }
    std::string Tex(const std::string& f) const { return s.TextureDir + "\\" + f; }
    std::string Bak(const std::string& f) const { return s.BackupDir + "\\" + f; }
    std::string Orig(const std::string& f) const { return "own of " + s.FsDir + " " + f; }
};

std::string SetFile(const std::string& set, const std::string& f) { return "set " + set + " " + f; }

class TextureStatusTest : public ::testing::Test {
protected:
    TestEnv te;
    std::unique_ptr<Sim> a, b;

    TextureStatusTest() { Reset(); }
    void Reset() {
        te.fs = MemoryFileSystem();
        te.fs.AddDir(te.env.programDir);
        te.msg.calls.clear();
        te.msg.answers.clear();
        te.fs.AddFile(kIniPath, "[AppName]\r\nName=Vellmora\r\n[Set1]\r\nDirName=Alto\r\n[Set2]\r\nDirName=Bora\r\n");
        for (const char* set : {"Alto", "Bora"})
            for (const std::string& f : kFiles)
                te.fs.AddFile(std::string(kDataDir) + "\\" + set + "\\" + f, SetFile(set, f));
        a = std::make_unique<Sim>(te, "C:\\FS2002");
        b = std::make_unique<Sim>(te, "C:\\CFS3");
        for (Sim* sim : {a.get(), b.get()}) {
            BuildCatalogue(te.env, sim->s, sim->cat);
            sim->ctl->FillSetLists();
        }
    }
    // Installs set `index` (0 Alto, 1 Bora) with every file checked.
    bool Install(Sim& sim, int index) {
        sim.ctl->ChooseSet(index);
        te.msg.Answer({6, 1});
        const bool ok = sim.ctl->InstallSet();
        te.msg.answers.clear();
        return ok;
    }
    // Every texture holds its original or a set's file; every backup holds
    // the original.
    void ExpectNothingLost(const Sim& sim) {
        for (const std::string& f : kFiles) {
            const std::string c = te.fs.Content(sim.Tex(f));
            EXPECT_TRUE(c == sim.Orig(f) || c == SetFile("Alto", f) || c == SetFile("Bora", f)) << f << ": " << c;
            if (te.fs.Exists(sim.Bak(f))) { EXPECT_EQ(te.fs.Content(sim.Bak(f)), sim.Orig(f)) << f; }
        }
    }
    // What the lines and the stored record claim is what the disk holds.
    void ExpectClaimsHold(Sim& sim) {
        for (const StatusLine& l : sim.statusView.lines) {
            const std::string c = te.fs.Content(sim.Tex(l.file));
            if (l.now == kNowOriginal) { EXPECT_EQ(c, sim.Orig(l.file)) << l.file; }
            if (l.now == "Set Alto") { EXPECT_EQ(c, SetFile("Alto", l.file)) << l.file; }
            if (l.now == "Set Bora") { EXPECT_EQ(c, SetFile("Bora", l.file)) << l.file; }
            if (l.backup == kBackupOk) { EXPECT_EQ(te.fs.Content(sim.Bak(l.file)), sim.Orig(l.file)) << l.file; }
        }
        TextureRecord stored;
        ASSERT_EQ(stored.Load(te.env, RecordPath(sim.s)), TextureRecord::Loaded::Ok);
        for (TextureEntry* e : stored.Entries()) {
            if (!e->hash.empty()) { EXPECT_EQ(e->hash, HashOf(te.env, te.fs.Content(sim.Tex(e->name)))) << e->name; }
            if (!e->backupHash.empty()) {
                EXPECT_EQ(e->backupHash, HashOf(te.env, te.fs.Content(sim.Bak(e->name)))) << e->name;
            }
        }
    }
};

TEST_F(TextureStatusTest, TwoSimulatorsHandChangesDeletedBackupDamagedRecordAndRestoreAll) {
    ASSERT_TRUE(Install(*a, 0));
    ASSERT_TRUE(Install(*a, 1));
    ASSERT_TRUE(Install(*b, 1));
    ASSERT_TRUE(Install(*b, 0));

    ASSERT_TRUE(a->status->Refresh());
    EXPECT_EQ(a->statusView.title, "Texture Status - C:\\FS2002");
    EXPECT_EQ(a->statusView.note, "");
    for (const std::string& f : kFiles) {
        EXPECT_EQ(a->statusView.Now(f), "Set Bora") << f;
        EXPECT_EQ(a->statusView.Backup(f), kBackupOk) << f;
    }
    ASSERT_TRUE(b->status->Refresh());
    for (const std::string& f : kFiles) EXPECT_EQ(b->statusView.Now(f), "Set Alto") << f;
    ExpectClaimsHold(*a);

    // A hand change, a deleted backup, a changed backup.
    te.fs.AddFile(a->Tex("cld2.bmp"), "painted by hand");
    te.fs.Remove(b->Bak("cld1.bmp"));
    te.fs.AddFile(b->Bak("cld3.bmp"), "not the original");
    a->status->Refresh();
    b->status->Refresh();
    EXPECT_EQ(a->statusView.Now("cld2.bmp"), kNowChanged);
    EXPECT_EQ(b->statusView.Backup("cld1.bmp"), kBackupNone);
    EXPECT_EQ(b->statusView.Backup("cld3.bmp"), kBackupDiffers);
    EXPECT_EQ(a->statusView.totals,
              "3 files: 0 original, 2 from sets, 1 changed outside Vellmora, 0 missing; backups: 0 none, 0 differ "
              "from the original");

    // A damaged record is rebuilt, with a note: the sets' files are known by content.
    const std::string text = te.fs.Content(RecordPath(a->s));
    te.fs.AddFile(RecordPath(a->s), text.substr(0, text.size() / 2));
    a->status->Refresh();
    EXPECT_EQ(a->statusView.note, "The texture record was damaged: it was rebuilt from the backups and the data sets.");
    EXPECT_EQ(a->statusView.Now("cld1.bmp"), "Set Bora");
    EXPECT_EQ(a->statusView.Now("cld2.bmp"), kNowChanged);
    te.fs.Remove(RecordPath(a->s));
    a->status->Refresh();
    EXPECT_EQ(a->statusView.note, "The texture record was missing: it was rebuilt from the backups and the data sets.");
    a->status->Refresh();
    EXPECT_EQ(a->statusView.note, "");

    // Restore All with a locked file, keeping the hand-changed one.
    te.fs.Lock(a->Tex("cld3.bmp"));
    te.msg.calls.clear();
    te.msg.Answer({7, 1});
    a->status->RestoreAllOriginals();
    ASSERT_EQ(te.msg.calls.size(), 2u);
    EXPECT_EQ(te.msg.calls[0].text,
              "2 files go back to the original.\r\n\r\nThese files were changed outside Vellmora:\r\n cld2.bmp\r\n"
              "\r\nYes: put them back too.  No: keep them.");
    EXPECT_EQ(te.msg.calls[0].style, 35);
    EXPECT_EQ(te.msg.calls[1].text, "Restored: 1\r\nKept: 1\r\n cld2.bmp\r\nFailed: 1\r\n cld3.bmp: the file could not be replaced");
    EXPECT_EQ(te.fs.Content(a->Tex("cld1.bmp")), a->Orig("cld1.bmp"));
    EXPECT_EQ(te.fs.Content(a->Tex("cld2.bmp")), "painted by hand");
    te.fs.Lock(a->Tex("cld3.bmp"), false);
    ExpectClaimsHold(*a);

    // Again, putting the hand-changed file back too: every file original.
    te.msg.calls.clear();
    te.msg.Answer({6, 1});
    a->status->RestoreAllOriginals();
    EXPECT_EQ(te.msg.calls.back().text, "Restored: 2\r\nKept: 0\r\nFailed: 0");
    for (const std::string& f : kFiles) {
        EXPECT_EQ(a->statusView.Now(f), kNowOriginal) << f;
        EXPECT_EQ(te.fs.Content(a->Tex(f)), a->Orig(f)) << f;
    }
    TextureRecord stored;
    ASSERT_EQ(stored.Load(te.env, RecordPath(a->s)), TextureRecord::Loaded::Ok);
    for (TextureEntry* e : stored.Entries()) EXPECT_EQ(LineOf(*e).now, kNowOriginal) << e->name;

    // On the other simulator the changed backup is never used, and with no
    // backup nothing goes back; Cancel does nothing.
    te.msg.calls.clear();
    te.msg.Answer({2});
    b->status->RestoreAllOriginals();
    EXPECT_EQ(te.fs.Content(b->Tex("cld2.bmp")), SetFile("Alto", "cld2.bmp"));
    te.msg.Answer({6, 1});
    b->status->RestoreAllOriginals();
    EXPECT_EQ(te.msg.calls.back().text, "Restored: 1\r\nKept: 0\r\nFailed: 2\r\n cld1.bmp: no backup copy\r\n"
                                        " cld3.bmp: the backup differs from the original");
    EXPECT_EQ(te.fs.Content(b->Tex("cld3.bmp")), SetFile("Alto", "cld3.bmp"));
}

TEST_F(TextureStatusTest, FilesUnchangedSinceTheRecordAreNotReadAgain) {
    ASSERT_TRUE(Install(*a, 0));
    ASSERT_TRUE(a->status->Refresh());
    // A file first backed up into an existing record has a date too.
    te.fs.AddFile(a->Tex("cld9.bmp"), "own cld9");
    te.fs.AddFile(a->Bak("cld9.bmp"), "own cld9");
    NoteFiles(te.env, a->s, Noted::Backup, {"cld9.bmp"});
    ASSERT_TRUE(a->status->Refresh());
    EXPECT_NE(std::find_if(a->statusView.lines.begin(), a->statusView.lines.end(),
                           [](const StatusLine& l) {
                               return l.file == "cld9.bmp" && l.now == kNowOriginal && !l.since.empty();
                           }),
              a->statusView.lines.end());
    // Unreadable now, but size and time as recorded: the record is trusted.
    for (const std::string& f : kFiles) te.fs.Lock(a->Tex(f));
    ASSERT_TRUE(a->status->Refresh());
    for (const std::string& f : kFiles) EXPECT_EQ(a->statusView.Now(f), "Set Alto") << f;
    // Sorting by "Now" and again reversed.
    te.fs.Lock(a->Tex("cld2.bmp"), false);
    te.fs.AddFile(a->Tex("cld2.bmp"), "x");
    a->status->Refresh();
    a->status->SortBy(1);
    EXPECT_EQ(a->statusView.lines.front().file, "cld2.bmp");
    a->status->SortBy(1);
    EXPECT_EQ(a->statusView.lines.back().file, "cld2.bmp");
}

TEST_F(TextureStatusTest, AFaultAtEveryCopyAndReplaceLosesNoOriginalAndTheClaimsHold) {
    for (FsOp op : {FsOp::Copy, FsOp::Replace, FsOp::Write}) {
        for (int n = 1; n < 40; ++n) {
            Reset();
            te.fs.FailNth(op, n);
            Install(*a, 0);
            Install(*a, 1);
            te.msg.Answer({6, 1});
            a->status->RestoreAllOriginals();
            te.msg.answers.clear();
            ExpectNothingLost(*a);
            // A fresh window on the same folders tells the truth.
            TextureStatus fresh(te.env, a->s, a->statusView);
            fresh.Refresh();
            ExpectClaimsHold(*a);
        }
    }
}

// A hasher that hashes only when asked for the digest, as a worker thread
// would finish later; `deferring` false: it cannot work beside the caller.
class LaterHasher : public Hasher {
public:
    explicit LaterHasher(bool deferring) : deferring_(deferring) {}
    std::string Algorithm() override { return "test"; }
    std::string Hash(const std::string& data) override { return "h(" + data + ")"; }
    bool Begin(std::shared_ptr<const std::string> data) override {
        if (!deferring_) return false;
        ++begun;
        waiting_.push_back(std::move(data));
        return true;
    }
    std::string End() override {
        const std::string digest = Hash(*waiting_.front());
        waiting_.pop_front();
        return digest;
    }
    int begun = 0;

private:
    bool deferring_;
    std::deque<std::shared_ptr<const std::string>> waiting_;
};

TEST(ReadAndHash, EveryFileInOrderEqualNeighboursHashedOnceAndAStopOnlyWhereAsked) {
    for (const bool deferring : {true, false}) {
        TestEnv te;
        LaterHasher hasher(deferring);
        te.env.hasher = &hasher;
        const std::vector<std::pair<std::string, const char*>> files = {
            {"C:\\T\\a", "one"}, {"C:\\T\\b", "two"}, {"C:\\T\\c", "two"}, {"C:\\T\\d", nullptr},
            {"C:\\T\\e", "two"}, {"C:\\T\\f", "three"}, {"C:\\T\\g", "four"}, {"C:\\T\\h", "four"}};
        std::vector<std::string> paths;
        for (const auto& [path, content] : files) {
            paths.push_back(path);
            if (content) te.fs.AddFile(path, content);
        }
        const std::vector<FileHash> got = ReadAndHash(te.env, paths);
        ASSERT_EQ(got.size(), files.size());
        for (size_t i = 0; i < files.size(); ++i) {
            const char* content = files[i].second;
            EXPECT_EQ(got[i].read, content != nullptr) << i;
            EXPECT_EQ(got[i].hash, content ? "h(" + std::string(content) + ")" : "") << i << " deferring " << deferring;
            EXPECT_EQ(got[i].size, content ? std::string(content).size() : 0u) << i;
        }
        // c and h equal the file before them; e follows a missing one.
        if (deferring) {
            EXPECT_EQ(hasher.begun, 5);
        }
        // The program's end ends only a reading that may stop.
        OperationGuard guard(&te.pump);
        te.env.pump = &guard;
        te.pump.onEvents = [&] {
            if (te.pump.count == 3) guard.AskEnd(nullptr);
        };
        EXPECT_TRUE(ReadAndHash(te.env, paths).back().read);
        te.pump.count = 0;
        bool stopped = false;
        const std::vector<FileHash> cut = ReadAndHash(te.env, paths, &stopped);
        EXPECT_TRUE(stopped);
        EXPECT_TRUE(cut[1].read);
        EXPECT_FALSE(cut[2].read);
    }
}

TEST_F(TextureStatusTest, AClosedWindowDuringTheFirstReadingWritesNoHalfRecord) {
    ASSERT_TRUE(Install(*a, 0));
    te.fs.Remove(RecordPath(a->s));
    OperationGuard guard(&te.pump);
    te.env.pump = &guard;
    // The window's close asked during the reading ends it.
    bool closing = false;
    a->status->stopReading = [&] { return closing; };
    te.pump.onEvents = [&] { closing = true; };
    EXPECT_FALSE(a->status->Refresh());
    EXPECT_FALSE(te.fs.Exists(RecordPath(a->s)));
    te.pump.onEvents = nullptr;
    closing = false;
    ASSERT_TRUE(a->status->Refresh());
    for (const std::string& f : kFiles) EXPECT_EQ(a->statusView.Now(f), "Set Alto") << f;
    ExpectClaimsHold(*a);
}

// The window's table over a simulator's status logic, with the program's
// guard as the pump.
struct StatusTable {
    OperationGuard guard;
    TextureStatusTable table;
    StatusTable(TestEnv& te, Sim& sim) : guard(&te.pump), table(guard, sim.statusView) {
        te.env.pump = &guard;
        table.Attach(sim.status.get());
    }
};

// Every entry of the window fired while a main window's handler, an
// install, a refresh and an exchange let messages run: reading holds
// nothing and goes on beside an install; Restore All Originals waits for
// the textures; the close boxes always close.
TEST_F(TextureStatusTest, TheWindowsTableInsideWhatRuns) {
    using F = Fired;
    using I = TextureStatusIds;
    ASSERT_TRUE(Install(*a, 0));
    StatusTable w(te, *a);
    te.msg.defaultAnswer = 2;  // Restore All: Cancel at its question
    ExpectEachEntryInside(w.guard, te.pump, w.table.Events(),
                          {
                              {I::cmdRefresh, I::kClicked, F::Queued, F::Ran, F::Ran, F::Ran},
                              {I::cmdRestoreAll, I::kClicked, F::Queued, F::Refused, F::Ran, F::Ran},
                          });
    EXPECT_EQ(a->statusView.closes, 8);
    for (const std::string& f : kFiles) EXPECT_EQ(a->statusView.Now(f), "Set Alto") << f;
}

// The window opened during an install reads beside it; its close box
// during that reading ends the reading at its next step and closes the
// window once the reading has ended; the install goes on to its end.
TEST_F(TextureStatusTest, ItsCloseEndsItsReadingAndNeverAnInstall) {
    using I = TextureStatusIds;
    ASSERT_TRUE(Install(*a, 1));
    StatusTable w(te, *a);
    EventTable& table = w.table.Events();
    int closesInside = -1;
    Fired read = Fired::NoEntry, close = Fired::NoEntry;
    te.pump.onEvents = [&] {
        if (table.Running()) {  // during the reading
            if (close == Fired::NoEntry) {
                close = table.Fire(I::evClose);
                closesInside = a->statusView.closes;
            }
        } else if (read == Fired::NoEntry && w.guard.Holding(hold::kTextures)) {  // during the install's copy
            read = table.Fire(I::cmdRefresh, I::kClicked);
        }
    };
    a->statusView.lines.clear();
    ASSERT_TRUE(Install(*a, 0));
    EXPECT_EQ(read, Fired::Ran);
    EXPECT_EQ(close, Fired::Deferred);
    EXPECT_EQ(closesInside, 0);
    EXPECT_EQ(a->statusView.closes, 1);
    EXPECT_TRUE(a->statusView.lines.empty());  // nothing read after the close
    for (const std::string& f : kFiles) EXPECT_EQ(te.fs.Content(a->Tex(f)), SetFile("Alto", f)) << f;
    ExpectNothingLost(*a);
}

TEST(TextureRecordText, RoundTripsAndRefusesDamage) {
    TextureRecord r;
    r.algorithm = "SHA-256";
    TextureEntry& e = r.At("cld1.bmp");
    e.originalHash = "ab12", e.originalSize = 5, e.backupHash = "ab12", e.backupTime = 46000.123456789;
    e.set = "Alto", e.option = "Sun", e.installedHash = "cd34", e.hash = "cd34", e.size = 9, e.time = 46001.5;
    TextureRecord back;
    ASSERT_TRUE(back.Parse(r.Text()));
    EXPECT_EQ(back.Text(), r.Text());
    const std::string text = r.Text();
    EXPECT_FALSE(back.Parse(text.substr(0, text.find("[cld1.bmp]"))));  // counts one file, holds none
    std::string bad = text;
    bad.replace(bad.find("Size=9"), 6, "Size=x");
    EXPECT_FALSE(back.Parse(bad));
    EXPECT_FALSE(back.Parse("garbage"));
    EXPECT_EQ(DateText(46000.5), "2025-12-09 12:00");
}

}  // namespace
}  // namespace vm
