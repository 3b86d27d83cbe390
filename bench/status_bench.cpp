// Texture status benchmark over real files: 1000 texture files of 64 KiB
// with their backup copies.
//  1. The first status (no record: every file hashed) against reading every
//     file once with the same port (goal: at most 1.2), with the textures
//     the simulator's own and again with a set installed over all of them.
//  2. The status again, nothing changed (the record trusted) against one
//     listing of the texture folder (goal: at most 2.0); the listings of
//     both folders, which the status needs, are printed beside it.
// Each is the median of the rounds' ratios, measured in alternating rounds.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/operation_guard.h"
#include "platform/win32_fs.h"
#include "platform/win32_hash.h"
#include "platform/win32_ports.h"
#include "sets/catalogue.h"
#include "sets/texture_record.h"
#include "sets/texture_status.h"
#include "win_files.h"

using namespace vm;

namespace {

constexpr int kFiles = 1000;
constexpr size_t kSize = 64 * 1024;
constexpr int kRounds = 7;

class NoView : public StatusView {
public:
    void SetTitle(const std::string&) override {}
    void ShowLines(const std::vector<StatusLine>&) override {}
    void ShowTotals(const std::string&) override {}
    void ShowNote(const std::string&) override {}
    void EnableButtons(bool) override {}
    void Close() override {}
};

class Ok : public Messages {
public:
    int ShowMsg(const std::string&, uint8_t, const std::string&) override { return 1; }
};

}  // namespace

int main() {
    const std::string root = TempFolderName("vm_status_bench");
    RemoveTree(root);
    Settings s;
    s.TextureDir = root + "\\texture";
    s.BackupDir = root + "\\bk";
    s.DataDir = root + "\\Sky";
    for (const std::string& d : {root, s.TextureDir, s.BackupDir, s.DataDir}) CreateDirectoryA(d.c_str(), nullptr);
    std::string data(kSize, '\0');
    for (int i = 0; i < kFiles; ++i) {
        for (size_t j = 0; j < kSize; j += 64) data[j] = static_cast<char>(i + j);
        const std::string name = "tex" + std::to_string(i) + ".bmp";
        WriteTextFile(s.TextureDir + "\\" + name, data);
        WriteTextFile(s.BackupDir + "\\" + name, data);
    }
    Win32FileSystem fs;
    Win32Hasher hasher;
    Win32Clock clock;
    Ok ok;
    OperationGuard guard;
    Env env;
    env.fs = &fs;
    env.hasher = &hasher;
    env.clock = &clock;
    env.msg = &ok;
    env.pump = &guard;
    NoView view;
    // The first status (no record) against every file read once, as it
    // reads them.
    const auto firstStatus = [&] {
        double t = Seconds();
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "tex" + std::to_string(i) + ".bmp";
            fs.Read(s.TextureDir + "\\" + name);
            fs.Read(s.BackupDir + "\\" + name);
        }
        const double reads = Seconds() - t;
        DeleteFileA(RecordPath(s).c_str());
        TextureStatus status(env, s, view);
        t = Seconds();
        status.Refresh();
        return (Seconds() - t) / reads;
    };
    std::vector<double> first, unchanged, floor, installed;
    for (int r = 0; r < kRounds; ++r) {
        first.push_back(firstStatus());
        // Nothing changed: the record is trusted.
        double t = Seconds();
        const size_t listed = fs.Find(s.TextureDir + "\\*.*").size();
        const double listing = Seconds() - t;
        // The status lists the backup folder too: its floor.
        t = Seconds();
        fs.Find(s.TextureDir + "\\*.*");
        fs.Find(s.BackupDir + "\\*.*");
        floor.push_back((Seconds() - t) / listing);
        TextureStatus again(env, s, view);
        t = Seconds();
        again.Refresh();
        unchanged.push_back((Seconds() - t) / listing);
        if (listed < kFiles || again.Lines().size() != kFiles) std::printf("unexpected: %zu files\n", listed);
    }
    // A set installed over every file: no texture equals its backup, each
    // is hashed on its own.
    for (int i = 0; i < kFiles; ++i) {
        for (size_t j = 0; j < kSize; j += 64) data[j] = static_cast<char>(i + j + 1);
        WriteTextFile(s.TextureDir + "\\tex" + std::to_string(i) + ".bmp", data);
    }
    for (int r = 0; r < kRounds; ++r) installed.push_back(firstStatus());
    std::printf("first status, everything hashed / every file read once: %.2f (goal <= 1.2)\n", Median(first));
    std::printf("status unchanged, record trusted / one listing of the folder: %.2f (goal <= 2.0)\n",
                Median(unchanged));
    std::printf("first status, every texture differs from its backup / every file read once: %.2f\n",
                Median(installed));
    std::printf("listings of the texture and the backup folder / one listing: %.2f\n", Median(floor));
    RemoveTree(root);
    return 0;
}
