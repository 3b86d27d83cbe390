#include "sets/texture_status.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "common/convert.h"
#include "common/operation_guard.h"
#include "sets/backup.h"
#include "sets/catalogue.h"

namespace vm {

namespace {

const std::string kCrLf = "\r\n";

std::string ReadOnlyOrFailed(Env& env, const std::string& path) {
    const auto a = env.fs->Attributes(path);
    return a && (*a & kAttrReadOnly) ? "the file is read-only" : "the file could not be replaced";
}

}  // namespace

std::string DateText(double days) {
    if (days == 0) return std::string();
    // Days since 1899-12-30 to a civil date (proleptic Gregorian).
    const long long whole = static_cast<long long>(std::floor(days));
    long long minutes = std::llround((days - static_cast<double>(whole)) * 1440.0);
    long long z = whole - 25569 + 719468;  // days since 0000-03-01
    if (minutes >= 1440) minutes -= 1440, ++z;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02lld:%02lld", y, m, d, minutes / 60, minutes % 60);
    return buf;
}

StatusLine LineOf(const TextureEntry& e) {
    StatusLine l;
    l.file = e.name;
    if (e.hash.empty() && e.size == 0 && e.time == 0) {
        l.now = kNowMissing;
    } else if (!e.originalHash.empty() && e.hash == e.originalHash) {
        l.now = kNowOriginal;
        l.sinceDays = e.since;
    } else if (!e.set.empty() && !e.hash.empty() && e.hash == e.installedHash) {
        l.now = "Set " + e.set + (e.option.empty() ? "" : " (" + e.option + ")");
        l.sinceDays = e.since;
    } else {
        l.now = kNowChanged;
        l.sinceDays = e.time;
    }
    l.since = DateText(l.sinceDays);
    if (e.backupHash.empty())
        l.backup = kBackupNone;
    else
        l.backup = e.backupHash == e.originalHash ? kBackupOk : kBackupDiffers;
    return l;
}

std::string TotalsText(const std::vector<StatusLine>& lines) {
    int original = 0, sets = 0, changed = 0, missing = 0, noBackup = 0, differs = 0;
    for (const StatusLine& l : lines) {
        original += l.now == kNowOriginal;
        sets += l.now.rfind("Set ", 0) == 0;
        changed += l.now == kNowChanged;
        missing += l.now == kNowMissing;
        noBackup += l.backup == kBackupNone;
        differs += l.backup == kBackupDiffers;
    }
    return std::to_string(lines.size()) + " files: " + std::to_string(original) + " original, " +
           std::to_string(sets) + " from sets, " + std::to_string(changed) + " changed outside Vellmora, " +
           std::to_string(missing) + " missing; backups: " + std::to_string(noBackup) + " none, " +
           std::to_string(differs) + " differ from the original";
}

bool TextureStatus::Refresh() {
    // The window's own commands wait for its reading (they would reload the
    // record under it).
    const OperationScope scope(GuardOf(env_), Operation::StatusRead, hold::kStatusWindow);
    if (!scope) return false;
    view_.EnableButtons(false);
    view_.SetTitle("Texture Status - " + simName);
    bool stopped = false;
    const TextureRecord::Loaded how = LoadOrRebuild(env_, s_, record_, &stopped, stopReading);
    std::string note;
    if (how == TextureRecord::Loaded::Missing)
        note = "The texture record was missing: it was rebuilt from the backups and the data sets.";
    else if (how == TextureRecord::Loaded::Damaged)
        note = "The texture record was damaged: it was rebuilt from the backups and the data sets.";
    view_.ShowNote(note);
    lines_.clear();
    // One listing of each folder gives every file's size and time.
    const auto listing = [this](const std::string& folder) {
        std::map<std::string, FindData> byName;
        for (FindData& f : env_.fs->Find(SubPath(folder, "*.*")))
            if (!(f.attributes & kAttrDirectory)) byName[UCase(f.name)] = std::move(f);
        return byName;
    };
    // Fresh from a rebuild every stamp was just read; a record that learns
    // nothing new is not written again.
    const bool fresh = how != TextureRecord::Loaded::Ok;
    bool learnt = fresh && !stopped;
    const auto textures = fresh ? std::map<std::string, FindData>() : listing(s_.TextureDir);
    const auto backups = fresh ? std::map<std::string, FindData>() : listing(s_.BackupDir);
    const auto in = [](const std::map<std::string, FindData>& m, const std::string& name) -> const FindData* {
        const auto it = m.find(UCase(name));
        return it == m.end() ? nullptr : &it->second;
    };
    const std::vector<TextureEntry*> entries = record_.Entries();
    for (size_t i = 0; i < entries.size() && !stopped; ++i) {
        TextureEntry& e = *entries[i];
        // Trusted stamps are quick to compare: the window is served every
        // few files.
        if (i % 16 == 0 && env_.pump) env_.pump->DoEvents();
        // The program's end, or the window's close, ends the reading.
        if (EndAsked(env_) || (stopReading && stopReading())) {
            stopped = true;
            break;
        }
        if (!fresh) {
            const TextureEntry before = e;
            ObserveStamped(env_, SubPath(s_.TextureDir, e.name), in(textures, e.name), e.size, e.time, e.hash);
            ObserveStamped(env_, SubPath(s_.BackupDir, e.name), in(backups, e.name), e.backupSize, e.backupTime,
                           e.backupHash);
            learnt = learnt || e != before;
        }
        lines_.push_back(LineOf(e));
    }
    if (learnt && env_.fs->ModTime(s_.BackupDir)) record_.Save(env_, RecordPath(s_));
    Show();
    view_.EnableButtons(true);
    return !stopped;
}

void TextureStatus::Show() {
    const int col = sortColumn_;
    std::stable_sort(lines_.begin(), lines_.end(), [col](const StatusLine& a, const StatusLine& b) {
        switch (col) {
            case 1: return UCase(a.now) < UCase(b.now);
            case 2: return a.sinceDays < b.sinceDays;
            case 3: return UCase(a.backup) < UCase(b.backup);
            default: return UCase(a.file) < UCase(b.file);
        }
    });
    if (sortDown_) std::reverse(lines_.begin(), lines_.end());
    view_.ShowLines(lines_);
    view_.ShowTotals(TotalsText(lines_));
}

void TextureStatus::SortBy(int column) {
    if (column < 0 || column > 3) return;
    sortDown_ = column == sortColumn_ ? !sortDown_ : false;
    sortColumn_ = column;
    // Sorting is reversed by the same comparison run again on sorted lines.
    const bool down = sortDown_;
    sortDown_ = false;
    Show();
    if (down) {
        sortDown_ = true;
        std::reverse(lines_.begin(), lines_.end());
        view_.ShowLines(lines_);
    }
}

void TextureStatus::RestoreAllOriginals() {
    if (!Refresh()) return;
    std::vector<std::string> back, changed, failed;
    for (const StatusLine& l : lines_) {
        if (l.now == kNowOriginal) continue;
        if (l.backup != kBackupOk) {
            failed.push_back(l.file + ": " + (l.backup == kBackupNone ? std::string("no backup copy")
                                                                      : std::string("the backup differs from the original")));
            continue;
        }
        (l.now == kNowChanged ? changed : back).push_back(l.file);
    }
    if (back.empty() && changed.empty() && failed.empty()) {
        env_.msg->ShowMsg("Every texture file is the original.", 64, "Restore All Originals");
        return;
    }
    // The count leaves out the changed files: Yes puts them back "too".
    std::string question = std::to_string(back.size()) + " files go back to the original.";
    if (!changed.empty()) {
        question += kCrLf + kCrLf + "These files were changed outside Vellmora:" + kCrLf;
        for (const std::string& n : changed) question += " " + n + kCrLf;
        question += kCrLf + "Yes: put them back too.  No: keep them.";
    }
    const int answer = env_.msg->ShowMsg(question, 35, "Restore All Originals");
    if (answer == 2) return;
    std::vector<std::string> kept;
    if (answer == 7) kept = changed;
    else back.insert(back.end(), changed.begin(), changed.end());

    std::vector<std::string> restored;
    {
        const OperationScope scope(GuardOf(env_), Operation::Restore);
        if (!scope) return;
        view_.EnableButtons(false);
        RemoveStaleCopies(env_, s_.TextureDir);
        for (size_t i = 0; i < back.size(); ++i) {
            const std::string& name = back[i];
            if (env_.pump) env_.pump->DoEvents();
            if (EndAsked(env_)) {
                for (size_t j = i; j < back.size(); ++j) failed.push_back(back[j] + ": stopped");
                break;
            }
            const std::string backup = SubPath(s_.BackupDir, name), texture = SubPath(s_.TextureDir, name);
            // The backup is used only when it holds the recorded original now.
            const TextureEntry* e = record_.Find(name);
            const std::optional<std::string> data = env_.fs->Read(backup);
            if (!e || !data || HashOf(env_, *data) != e->originalHash) {
                failed.push_back(name + ": the backup differs from the original");
                continue;
            }
            if (ReplaceCopy(env_, backup, texture)) restored.push_back(name);
            else failed.push_back(name + ": " + ReadOnlyOrFailed(env_, texture));
        }
        NoteFiles(env_, s_, Noted::Restore, restored);
        view_.EnableButtons(true);
    }
    std::string report = "Restored: " + std::to_string(restored.size());
    report += kCrLf + "Kept: " + std::to_string(kept.size());
    for (const std::string& n : kept) report += kCrLf + " " + n;
    report += kCrLf + "Failed: " + std::to_string(failed.size());
    for (const std::string& n : failed) report += kCrLf + " " + n;
    env_.msg->ShowMsg(report, failed.empty() ? 64 : 48, "Restore All Originals");
    Refresh();
}

TextureStatusTable::TextureStatusTable(OperationGuard& guard, StatusView& view)
    : events_(guard, hold::kStatusWindow) {
    using namespace hold;
    EventTable& t = events_;
    t.On(cmdRefresh, kClicked, Policy::Start, kNothing, [this] {
        if (status_) status_->Refresh();
    });
    t.On(cmdRestoreAll, kClicked, Policy::Start, kTextures, [this] {
        if (status_) status_->RestoreAllOriginals();
    });
    t.On(lvwFiles, kColumnClick, Policy::Free, kNothing, [this](const Event& e) {
        if (status_) status_->SortBy(e.a);
    });
    t.On(cmdClose, kClicked, Policy::Close, kNothing, [&view] { view.Close(); });
    t.On(evClose, EventTable::kAnyCode, Policy::Close, kNothing, [&view] { view.Close(); });
}

void TextureStatusTable::Attach(TextureStatus* status) {
    status_ = status;
    if (status_) status_->stopReading = [this] { return events_.Closing(); };
}

}  // namespace vm
