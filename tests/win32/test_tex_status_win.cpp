// The "Texture Status" window on real folders: the Win32 file system and
// CryptoAPI hashes, its columns read back from the list view, sorting by a
// column click, and "Restore All Originals" answered by script.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "fakes.h"
#include "platform/win32_fs.h"
#include "platform/win32_hash.h"
#include "screenshot.h"
#include "sets/frm_tex_status.h"
#include "sets/texture_record.h"
#include "win_files.h"

namespace vm {
namespace {

TEST(TexStatusWin, ColumnsOnRealFoldersSortingAndRestoreAll) {
    const std::string root = TempFolderName("vm_texstatus");
    RemoveTree(root);
    Settings s;
    s.TextureDir = root + "\\texture";
    s.BackupDir = root + "\\bk";
    s.DataDir = root + "\\Sky";
    for (const std::string& d : {root, s.TextureDir, s.BackupDir, s.DataDir, s.DataDir + "\\Alto"})
        CreateDirectoryA(d.c_str(), nullptr);
    for (const char* f : {"cld1.bmp", "cld2.bmp", "cld3.bmp"}) {
        WriteTextFile(s.BackupDir + "\\" + f, std::string("own ") + f);
        WriteTextFile(s.DataDir + "\\Alto\\" + f, std::string("Alto ") + f);
    }
    WriteTextFile(s.TextureDir + "\\cld1.bmp", "Alto cld1.bmp");  // the set's
    WriteTextFile(s.TextureDir + "\\cld2.bmp", "own cld2.bmp");   // the original
    WriteTextFile(s.TextureDir + "\\cld3.bmp", "by hand");       // changed outside

    Win32FileSystem fs;
    Win32Hasher hasher;
    ScriptedMessages msg;
    OperationGuard guard;
    Env env;
    env.fs = &fs;
    env.hasher = &hasher;
    env.msg = &msg;
    env.pump = &guard;
    EXPECT_EQ(hasher.Algorithm(), "SHA-256");
    EXPECT_EQ(hasher.Hash("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // The worker thread gives the same digests, in the order begun.
    {
        std::vector<std::string> contents;
        for (int i = 0; i < 40; ++i) contents.push_back(std::string(1000u * static_cast<unsigned>(i), char('a' + i % 26)));
        size_t ended = 0;
        for (size_t i = 0; i < contents.size(); ++i) {
            ASSERT_TRUE(hasher.Begin(std::make_shared<const std::string>(contents[i])));
            if (i % 3 == 2) {
                EXPECT_EQ(hasher.End(), hasher.Hash(contents[ended])) << ended;
                ++ended;
            }
        }
        for (; ended < contents.size(); ++ended) EXPECT_EQ(hasher.End(), hasher.Hash(contents[ended])) << ended;
    }

    frmTexStatus w(env, s, guard);
    {
        // Opened as the main window's menu command opens it: from a handler.
        const OperationScope handler(guard, Operation::Handler);
        w.Show(nullptr, "FS2002");
    }
    ASSERT_TRUE(w.Loaded());
    EXPECT_EQ(GetText(w.hwnd()), "Texture Status - FS2002");
    ASSERT_EQ(w.Rows(), 3);
    EXPECT_EQ(w.Cell(0, 0), "cld1.bmp");
    EXPECT_EQ(w.Cell(0, 1), "Set Alto");
    EXPECT_EQ(w.Cell(1, 1), "Original");
    EXPECT_EQ(w.Cell(2, 1), "Changed outside Vellmora");
    EXPECT_EQ(w.Cell(2, 3), "OK");
    EXPECT_EQ(GetText(w.Control(frmTexStatus::lblNote)),
              "The texture record was missing: it was rebuilt from the backups and the data sets.");
    EXPECT_NE(ReadTextFile(RecordPath(s)).find("Hash=SHA-256"), std::string::npos);
    Settle(100);
    Screenshot(w.hwnd(), "frmTexStatus");

    // A click on "Now" sorts by it.
    w.Events().Fire(frmTexStatus::lvwFiles, frmTexStatus::kColumnClick, 1);
    EXPECT_EQ(w.Cell(0, 1), "Changed outside Vellmora");

    // Restore All, keeping the hand-changed file.
    msg.Answer({7, 1});
    SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(frmTexStatus::cmdRestoreAll, BN_CLICKED),
                 reinterpret_cast<LPARAM>(w.Control(frmTexStatus::cmdRestoreAll)));
    ASSERT_EQ(msg.calls.size(), 2u);
    EXPECT_EQ(msg.calls[1].text, "Restored: 1\r\nKept: 1\r\n cld3.bmp\r\nFailed: 0");
    EXPECT_EQ(ReadTextFile(s.TextureDir + "\\cld1.bmp"), "own cld1.bmp");
    EXPECT_EQ(ReadTextFile(s.TextureDir + "\\cld3.bmp"), "by hand");
    EXPECT_EQ(GetText(w.Control(frmTexStatus::lblNote)), "");
    EXPECT_EQ(GetText(w.Control(frmTexStatus::lblTotals)),
              "3 files: 2 original, 0 from sets, 1 changed outside Vellmora, 0 missing; backups: 0 none, 0 differ "
              "from the original");
    w.Destroy();
    RemoveTree(root);
}

}  // namespace
}  // namespace vm
