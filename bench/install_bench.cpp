// Installation benchmark over real files:
//  1. InstallSet of 40 bitmaps of 1 MiB (questions answered, backups made)
//     next to two floors measured in the same run, in alternating rounds: the
//     safe replace of the same files with the platform calls the
//     installation makes (the destination's attributes read, and a read-only
//     one cleared; CopyFileA to a temporary name in the same folder;
//     MoveFileExA replacing the texture file in one step), and raw CopyFileA
//     of the same files into the same folder. Prints InstallSet's ratio to
//     each (medians of the rounds' ratios; goal: at most 1.05 over the safe
//     replace), and the first installation, which also makes the 40 backup
//     copies, next to 80 raw copies;
//  2. BackupAll over 1000 data folders of 20 bitmaps each (names drawn from
//     the simulator's 200 texture files): the time per listed file for the
//     first backup and for a re-backup that finds nothing changed.
// The files live under %TEMP% and are deleted at the end.
// Usage: install_bench.exe [install | backup]  (both by default)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "common/fileproc.h"
#include "config/settings.h"
#include "platform/win32_fs.h"
#include "platform/win32_ports.h"
#include "platform/win32_profile.h"
#include "sets/catalogue.h"
#include "sets/sets_controller.h"
#include "common/operation_guard.h"
#include "pump_gaps.h"
#include "win_files.h"

using namespace vm;

namespace {

constexpr int kFiles = 40;
constexpr size_t kFileSize = 1u << 20;
constexpr int kRounds = 15;
constexpr DWORD kSettleMs = 700;
constexpr int kFolders = 1000, kPerFolder = 20, kTextures = 200;

// Yes to a Yes/No question, OK to the rest.
class Answers : public Messages {
public:
    int shown = 0;
    int ShowMsg(const std::string&, uint8_t style, const std::string&) override {
        ++shown;
        return (style & 7) == 4 ? 6 : 1;
    }
};

// The main window's lists and states in memory.
class ListsView : public SetsView {
public:
    struct List {
        std::vector<std::string> items;
        std::vector<bool> checks;
        int selected = -1;
    };
    std::map<Lst, List> lists;
    std::map<Ctl, bool> enabled;

    int Count(Lst l) override { return static_cast<int>(lists[l].items.size()); }
    std::string Item(Lst l, int i) override { return lists[l].items.at(static_cast<size_t>(i)); }
    void Clear(Lst l) override { lists[l] = List{}; }
    void Add(Lst l, const std::string& t) override {
        lists[l].items.push_back(t);
        lists[l].checks.push_back(false);
    }
    int Selected(Lst l) override { return lists[l].selected; }
    void Select(Lst l, int i) override { lists[l].selected = i; }
    bool Checked(Lst l, int i) override { return lists[l].checks.at(static_cast<size_t>(i)); }
    void SetChecked(Lst l, int i, bool c) override { lists[l].checks.at(static_cast<size_t>(i)) = c; }
    bool Enabled(Ctl c) override { return enabled.count(c) ? enabled[c] : true; }
    void SetEnabled(Ctl c, bool e) override { enabled[c] = e; }
    void SetVisible(Ctl, bool) override {}
    bool OptionChosen(Ctl c) override { return c == Ctl::optSky; }
    void SetCaption(Ctl, const std::string&) override {}
    void SetFilterColor(int, uint32_t) override {}
    void ShowPicture(const std::string&) override {}
    void Popup(Menu) override {}
    void ShowMainWindow() override {}
};

bool PutFile(const std::string& path, size_t size, unsigned seed) {
    std::string data(size, '\0');
    unsigned x = seed * 2654435761u + 7;
    for (size_t i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        data[i] = static_cast<char>(x >> 24);
    }
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = WriteFile(h, data.data(), static_cast<DWORD>(size), &wrote, nullptr) && wrote == size;
    CloseHandle(h);
    return ok;
}

void Wipe(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string n = fd.cFileName, p = dir + "\\" + n;
            if (n == "." || n == "..") continue;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Wipe(p);
            else
                DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// One simulator layout with its ports and the set logic over it.
struct Rig {
    Win32FileSystem fs;
    Win32Profile profile;
    Win32Clock clock;
    Win32Pump pump;
    TimedPump timed{pump};
    OperationGuard guard{&timed};
    Answers answers;
    Env env;
    Settings s;
    Catalogue cat;
    SetsState state;
    ListsView view;
    SetsHooks hooks;
    SetsController ctl{env, s, cat, state, view, hooks};

    explicit Rig(const std::string& root) {
        env.fs = &fs;
        env.profile = &profile;
        env.clock = &clock;
        env.pump = &guard;
        env.msg = &answers;
        env.programDir = root + "\\Prog";
        s.TextureDir = root + "\\texture";
        s.DataDir = s.TextureDir + "\\Sky";
        s.BackupDir = s.TextureDir + "\\Backup";
        s.BackupEnabled = true;
        s.LastInstCount = 3;
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA(env.programDir.c_str(), nullptr);
        CreateDirectoryA(s.TextureDir.c_str(), nullptr);
        CreateDirectoryA(s.DataDir.c_str(), nullptr);
    }
};

int InstallBench(const std::string& root) {
    Rig r(root);
    const std::string set = r.s.DataDir + "\\Big";
    CreateDirectoryA(set.c_str(), nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < kFiles; ++i) {
        names.push_back("cld" + std::to_string(i + 1) + ".bmp");
        if (!PutFile(set + "\\" + names.back(), kFileSize, static_cast<unsigned>(i)) ||
            !PutFile(r.s.TextureDir + "\\" + names.back(), kFileSize, static_cast<unsigned>(i + 1000))) {
            std::printf("cannot lay out the files\n");
            return 1;
        }
    }
    PutFile(r.env.programDir + "\\cloud.ini", 0, 0);
    WritePrivateProfileStringA("Set1", "DirName", "Big", (r.env.programDir + "\\cloud.ini").c_str());
    BuildCatalogue(r.env, r.s, r.cat);
    r.ctl.FillSetLists();
    if (r.view.Count(Lst::lstClouds) != kFiles) {
        std::printf("the set lists %d files, not %d\n", r.view.Count(Lst::lstClouds), kFiles);
        return 1;
    }

    auto raw = [&](int copiesPerFile) {
        const double t0 = (Seconds() * 1e3);
        for (int k = 0; k < copiesPerFile; ++k)
            for (const std::string& n : names)
                CopyFileA((set + "\\" + n).c_str(), (r.s.TextureDir + "\\" + n).c_str(), FALSE);
        return (Seconds() * 1e3) - t0;
    };
    // The same copies the safe way, with the calls the installation makes:
    // the destination's attributes (a read-only file is cleared first), a
    // copy to a temporary name, then the texture file replaced in one step.
    // Its ratio to CopyFileA is the platform's price of the safe replace.
    const std::string temp = r.s.TextureDir + "\\~bench-copy.tmp";
    auto safe = [&] {
        const double t0 = (Seconds() * 1e3);
        for (const std::string& n : names) {
            const std::string dest = r.s.TextureDir + "\\" + n;
            const DWORD attrs = GetFileAttributesA(dest.c_str());
            if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
                SetFileAttributesA(dest.c_str(), attrs & ~DWORD(FILE_ATTRIBUTE_READONLY));
            CopyFileA((set + "\\" + n).c_str(), temp.c_str(), FALSE);
            MoveFileExA(temp.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING);
        }
        return (Seconds() * 1e3) - t0;
    };

    // The first installation makes the backups too: 80 copies.
    Sleep(kSettleMs);
    const double firstRaw = raw(2);
    Sleep(kSettleMs);
    double t0 = (Seconds() * 1e3);
    const bool firstOk = r.ctl.InstallSet();
    const double first = (Seconds() * 1e3) - t0;

    std::vector<double> raws, safes, installs;
    bool ok = firstOk;
    double longestGap = 0;
    for (int round = 0; round < kRounds; ++round) {
        // The disk's write-back of the previous round settles first: each
        // measure starts from the same state.
        Sleep(kSettleMs);
        raws.push_back(raw(1));
        Sleep(kSettleMs);
        safes.push_back(safe());
        Sleep(kSettleMs);
        t0 = (Seconds() * 1e3);
        r.timed.Reset();
        r.timed.Mark();
        ok = r.ctl.InstallSet() && ok;
        r.timed.Mark();
        installs.push_back((Seconds() * 1e3) - t0);
        longestGap = std::max(longestGap, r.timed.longestMs);
    }
    // Each round pairs the two next to each other; the median of the
    // rounds' ratios is the least disturbed by other work on the machine.
    std::vector<double> ratios, safeRatios, ownRatios;
    for (size_t i = 0; i < raws.size(); ++i) {
        ratios.push_back(installs[i] / raws[i]);
        safeRatios.push_back(safes[i] / raws[i]);
        ownRatios.push_back(installs[i] / safes[i]);
    }
    std::printf("install %d x 1 MiB, %d rounds (medians): InstallSet %.1f ms, safe replace %.1f ms, "
                "CopyFileA %.1f ms%s\n",
                kFiles, kRounds, Median(installs), Median(safes), Median(raws), ok ? "" : "  [AN INSTALL FAILED]");
    std::printf("  InstallSet / safe replace: %.3f (goal <= 1.05)\n", Median(ownRatios));
    std::printf("  InstallSet / CopyFileA:    %.3f; safe replace / CopyFileA: %.3f\n", Median(ratios),
                Median(safeRatios));
    std::printf("  best round: InstallSet / CopyFileA %.3f; best times: InstallSet %.1f ms, CopyFileA %.1f ms\n",
                *std::min_element(ratios.begin(), ratios.end()), *std::min_element(installs.begin(), installs.end()),
                *std::min_element(raws.begin(), raws.end()));
    std::printf("  longest gap between two pumped messages during an install: %.1f ms (goal <= 50 ms)%s\n",
                longestGap, Missed(longestGap <= 50));
    std::printf("first install with %d backups: %.1f ms, %d CopyFileA %.1f ms, ratio %.3f\n", kFiles, first,
                2 * kFiles, firstRaw, first / firstRaw);
    return ok ? 0 : 1;
}

int BackupAllBench(const std::string& root) {
    Rig r(root);
    for (int t = 0; t < kTextures; ++t)
        PutFile(r.s.TextureDir + "\\tex" + std::to_string(t) + ".bmp", 4096, static_cast<unsigned>(t));
    const double l0 = (Seconds() * 1e3);
    for (int f = 0; f < kFolders; ++f) {
        char folder[32];
        std::snprintf(folder, sizeof folder, "\\Set%04d", f);
        const std::string dir = r.s.DataDir + folder;
        CreateDirectoryA(dir.c_str(), nullptr);
        for (int j = 0; j < kPerFolder; ++j)
            PutFile(dir + "\\tex" + std::to_string((f * 7 + j * 11) % kTextures) + ".bmp", 64,
                    static_cast<unsigned>(j));
    }
    const int listed = kFolders * kPerFolder;
    std::printf("laid out %d data files in %.1f s\n", listed, ((Seconds() * 1e3) - l0) / 1000);

    double t0 = (Seconds() * 1e3);
    const bool first = r.ctl.BackupAll(false, false);
    const double firstMs = (Seconds() * 1e3) - t0;
    std::vector<std::string> copies;
    ListFiles(r.env, r.s.BackupDir, "*.bmp", copies);
    t0 = (Seconds() * 1e3);
    const bool again = r.ctl.BackupAll(true, false);
    const double againMs = (Seconds() * 1e3) - t0;
    std::printf("BackupAll over %d folders x %d bitmaps: first %.1f ms (%.1f us per file, %zu copies made), "
                "re-backup with nothing changed %.1f ms (%.1f us per file)%s\n",
                kFolders, kPerFolder, firstMs, firstMs * 1000 / listed, copies.size(), againMs,
                againMs * 1000 / listed, first && again ? "" : "  [A BACKUP FAILED]");
    return first && again && copies.size() == static_cast<size_t>(kTextures) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string base = std::string(tmp) + "vm_install_bench_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(base.c_str(), nullptr);
    int failed = 0;
    if (only.empty() || only == "install") {
        failed += InstallBench(base + "\\install");
        Wipe(base + "\\install");
    }
    if (only.empty() || only == "backup") failed += BackupAllBench(base + "\\backup");
    Wipe(base);
    return failed;
}
