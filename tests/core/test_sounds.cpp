// clsPlaySound, clsRegRead and the button, AutoRandom and system sounds.
#include <gtest/gtest.h>

#include "common/fileproc.h"
#include "fakes.h"
#include "sound/play_sound.h"
#include "sound/reg_read.h"

namespace vm {
namespace {

const char* const kScheme = ".DEFAULT\\AppEvents\\Schemes\\Apps\\.Default";

TEST(clsPlaySound, PlaysOnlyAnExistingFile) {
    TestEnv t;
    t.fs.AddFile("C:\\snd\\a.wav");
    clsPlaySound ok(t.env);
    ok.FilePath = "C:\\snd\\a.wav";
    ok.Play();
    EXPECT_FALSE(ok.ErrFlg);
    EXPECT_EQ(ok.ErrCode, 0);
    for (const char* bad : {"C:\\snd\\b.wav", ""}) {
        clsPlaySound snd(t.env);
        snd.FilePath = bad;
        snd.Play();
        EXPECT_TRUE(snd.ErrFlg) << bad;
        EXPECT_EQ(snd.ErrCode, 1) << bad;
    }
    EXPECT_EQ(t.sound.played, std::vector<std::string>{"C:\\snd\\a.wav"});
}

TEST(clsRegRead, ReadsOneValueAndClosesItsKeys) {
    TestEnv t;
    const std::string key = std::string(kScheme) + "\\SystemHand\\.Current";
    t.registry.Set(Registry::kUsers, key, "", "C:\\Windows\\Media\\chord.wav");
    t.registry.Set(Registry::kUsers, key, "Long", std::string(255, 'x'));
    t.registry.Set(Registry::kUsers, key, "TooLong", std::string(256, 'x'));

    clsRegRead reg(t.env);
    reg.RootName = Registry::kUsers;
    reg.SubKey = kScheme;
    reg.SubKey2 = "SystemHand\\.Current";
    EXPECT_EQ(reg.RegData(), "C:\\Windows\\Media\\chord.wav");
    EXPECT_FALSE(reg.ErrFlg);
    reg.ValueName = "Long";
    EXPECT_EQ(reg.RegData(), std::string(255, 'x'));
    reg.ValueName = "TooLong";  // does not fit the 256-byte buffer with its NUL: cut to it
    EXPECT_EQ(reg.RegData(), std::string(256, 'x'));
    EXPECT_FALSE(reg.ErrFlg);
    reg.ValueName = "Missing";
    EXPECT_EQ(reg.RegData(), "");
    EXPECT_TRUE(reg.ErrFlg);
    reg.ValueName = "";
    reg.SubKey2 = "NoSuchKey";
    EXPECT_EQ(reg.RegData(), "");
    EXPECT_TRUE(reg.ErrFlg);
    EXPECT_EQ(t.registry.OpenHandles(), 0u);
    EXPECT_EQ(t.registry.badCloses, 0);
    for (uint32_t a : t.registry.accessMasks) EXPECT_EQ(a, 9u);

    const size_t opens = t.registry.accessMasks.size();
    reg.SubKey2 = "";  // nothing to open
    EXPECT_EQ(reg.RegData(), "");
    EXPECT_TRUE(reg.ErrFlg);
    EXPECT_EQ(t.registry.accessMasks.size(), opens);
}

TEST(FeedbackSounds, ButtonAndAutoRandom) {
    TestEnv t;
    Settings s;
    const int findsBefore = t.fs.Calls(FsOp::Find);
    EXPECT_FALSE(PlayButtonSound(t.env, s));
    EXPECT_EQ(t.fs.Calls(FsOp::Find), findsBefore);  // no file configured: no disk access
    PlayAutoRandomSound(t.env, s);
    EXPECT_EQ(t.sound.beeps, 1);

    s.ButtonSoundFile = "C:\\snd\\click.wav";
    s.AutoRandomSoundFile = "C:\\snd\\change.wav";
    EXPECT_FALSE(PlayButtonSound(t.env, s));  // missing file
    PlayAutoRandomSound(t.env, s);
    EXPECT_EQ(t.sound.beeps, 2);
    EXPECT_TRUE(t.sound.played.empty());

    t.fs.AddFile(s.ButtonSoundFile);
    t.fs.AddFile(s.AutoRandomSoundFile);
    EXPECT_TRUE(PlayButtonSound(t.env, s));
    PlayAutoRandomSound(t.env, s);
    EXPECT_EQ(t.sound.beeps, 2);
    EXPECT_EQ(t.sound.played, (std::vector<std::string>{s.ButtonSoundFile, s.AutoRandomSoundFile}));
}

TEST(FeedbackSounds, SystemSoundKeyByStyle) {
    const std::pair<uint8_t, const char*> cases[] = {
        {48 + 4, "SystemExclamation\\.Current"}, {32, "SystemQuestion\\.Current"}, {16, "SystemHand\\.Current"},
        {64, "SystemAsterisk\\.Current"}, {64 + 16, "SystemHand\\.Current"}, {4, ""}};
    for (const auto& [style, key] : cases) EXPECT_EQ(SystemSoundSubKey(style), key) << int(style);
}

TEST(FeedbackSounds, SystemSound) {
    TestEnv t;
    Settings s;
    t.registry.Set(Registry::kUsers, std::string(kScheme) + "\\SystemQuestion\\.Current", "", "C:\\m\\q.wav");
    t.registry.Set(Registry::kUsers, std::string(kScheme) + "\\SystemHand\\.Current", "", "C:\\m\\gone.wav");
    t.fs.AddFile("C:\\m\\q.wav");

    PlaySystemSound(t.env, s, 32 + 4);
    PlaySystemSound(t.env, s, 16);  // entry names a missing file
    PlaySystemSound(t.env, s, 64);  // no entry
    PlaySystemSound(t.env, s, 0);   // no icon
    EXPECT_EQ(t.sound.played, std::vector<std::string>{"C:\\m\\q.wav"});
    EXPECT_EQ(t.sound.beeps, 0);
    EXPECT_EQ(t.registry.OpenHandles(), 0u);

    // A working button sound stands for the system sound.
    s.ButtonSoundFile = "C:\\m\\click.wav";
    t.fs.AddFile(s.ButtonSoundFile);
    const size_t opens = t.registry.accessMasks.size();
    PlaySystemSound(t.env, s, 32);
    EXPECT_EQ(t.sound.played.back(), s.ButtonSoundFile);
    EXPECT_EQ(t.registry.accessMasks.size(), opens);
    EXPECT_TRUE(t.msg.calls.empty());
}

}  // namespace
}  // namespace vm
