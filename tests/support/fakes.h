// Simple fakes of the ports for core tests, and TestEnv, which owns one of
// each plus an in-memory file system and a profile engine over it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/ports.h"
#include "config/ini_profile.h"
#include "sim/refresh.h"
#include "memory_fs.h"

namespace vm {

// Now and TickMs are set by the test; Sleep advances both and is recorded.
class FakeClock : public Clock {
public:
    double now = 45000.5;  // 2023-03-14 12:00
    uint32_t tick = 1000;
    std::vector<unsigned> sleeps;
    std::function<void(unsigned)> onSleep;  // runs after the clock advanced

    double Now() override { return now; }
    uint32_t TickMs() override { return tick; }
    void Sleep(unsigned ms) override {
        sleeps.push_back(ms);
        Advance(ms);
        if (onSleep) onSleep(ms);
    }
    void Advance(unsigned ms) {
        tick += ms;
        now += ms / 86400000.0;
    }
    unsigned SleptMs() const {
        unsigned total = 0;
        for (unsigned s : sleeps) total += s;
        return total;
    }
};

class CountingPump : public Pump {
public:
    int count = 0;
    std::function<void()> onEvents;
    void DoEvents() override {
        ++count;
        if (onEvents) onEvents();
    }
};

// Records every message; answers from a queue, then `defaultAnswer`.
class ScriptedMessages : public Messages {
public:
    struct Call {
        std::string text;
        uint8_t style = 0;
        std::string title;
    };
    std::vector<Call> calls;
    std::deque<int> answers;
    int defaultAnswer = 1;
    std::function<void(const Call&)> onShow;

    int ShowMsg(const std::string& text, uint8_t style, const std::string& title) override {
        calls.push_back({text, style, title});
        if (onShow) onShow(calls.back());
        if (answers.empty()) return defaultAnswer;
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    void Answer(std::initializer_list<int> list) { answers.insert(answers.end(), list); }
    const Call& Last() const { return calls.back(); }
};

class RecordingSound : public Sound {
public:
    std::vector<std::string> played;
    int beeps = 0;
    void PlayAsync(const std::string& path) override { played.push_back(path); }
    void Beep() override { ++beeps; }
};

// A tree of keys holding string values. Key paths are "\"-separated and
// compared without regard to case; value names too ("" is the default value).
class FakeRegistry : public Registry {
public:
    // Creates the key (and its parents) under the root and sets a value.
    void Set(Key root, const std::string& path, const std::string& valueName, const std::string& value);
    // Creates an empty key.
    void AddKey(Key root, const std::string& path);

    Key Open(Key parent, const std::string& subKey, uint32_t access) override;
    // Fails when the key handle is unknown or the value is missing; else the
    // value, cut to bufSize bytes when it and its NUL do not fit, and NUL
    // padding up to bufSize bytes.
    std::optional<std::string> Query(Key key, const std::string& valueName, unsigned bufSize) override;
    void Close(Key key) override;

    size_t OpenHandles() const { return open_.size(); }
    std::vector<uint32_t> accessMasks;  // access of every Open call
    int closeCalls = 0;
    int badCloses = 0;                  // Close of a handle not open

private:
    static std::string Norm(Key root, const std::string& path);
    std::map<std::string, std::map<std::string, std::string>> keys_;  // upper path -> upper name -> value
    std::map<Key, std::string> open_;
    Key next_ = 0x1000;
};

class FakeFonts : public FontCatalog {
public:
    std::vector<FontFace> faces;
    void Add(const std::string& name, uint32_t fontType = 4, uint8_t pitchAndFamily = 0, uint8_t charSet = 0) {
        faces.push_back({name, fontType, pitchAndFamily, charSet});
    }
    void Enumerate(const std::function<void(const FontFace&)>& each) override {
        for (const FontFace& f : faces) each(f);
    }
};

// Returns the scripted values in turn, then repeats the last one (0 when none).
class ScriptedRandom : public Random {
public:
    std::deque<double> values;
    int calls = 0;
    double Next() override {
        ++calls;
        if (values.empty()) return last_;
        last_ = values.front();
        values.pop_front();
        return last_;
    }
    void Script(std::initializer_list<double> list) { values.insert(values.end(), list); }

private:
    double last_ = 0;
};

// Every port faked, wired into `env`. The program folder "C:\Prog" exists.
// A main window for the cloud refresh that records its messages and
// otherwise stays still: AutoRandom off, the IPC module present.
struct QuietRefreshView : RefreshView {
    std::vector<std::string> messages;
    void SetMessage(const std::string& t) override { messages.push_back(t); }
    std::string CloudsText() override { return ""; }
    bool RandomMode() override { return false; }
    double AutoRandomTime() override { return 0; }
    void SetAutoRandomTime(double) override {}
    void ShowTime(const std::string&) override {}
    void EnableTime(bool) override {}
    void ButtonCtrl(bool) override {}
    void EnableStopRefresh(bool) override {}
    void EnableLastInst(bool) override {}
    bool ModulePresent() override { return true; }
    void CheckSimWindow() override {}
    void PlayButtonSound() override {}
    bool MusicKeepsLink() override { return false; }
};

struct TestEnv {
    MemoryFileSystem fs;
    IniProfile profile{fs};
    FakeRegistry registry;
    FakeClock clock;
    CountingPump pump;
    RecordingSound sound;
    FakeFonts fonts;
    ScriptedRandom random;
    ScriptedMessages msg;
    Env env;

    TestEnv() {
        env.fs = &fs;
        env.profile = &profile;
        env.registry = &registry;
        env.clock = &clock;
        env.pump = &pump;
        env.sound = &sound;
        env.fonts = &fonts;
        env.random = &random;
        env.msg = &msg;
        env.programDir = "C:\\Prog";
        fs.AddDir(env.programDir);
    }
    TestEnv(const TestEnv&) = delete;
    TestEnv& operator=(const TestEnv&) = delete;
};

}  // namespace vm
