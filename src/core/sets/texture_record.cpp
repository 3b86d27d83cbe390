#include "sets/texture_record.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string_view>

#include "common/convert.h"
#include "common/fileproc.h"
#include "common/operation_guard.h"
#include "sets/backup.h"
#include "sets/catalogue.h"

namespace vm {

namespace {

constexpr const char* kHead = "Record";
constexpr const char* kSources = "Sources";
constexpr int kVersion = 1;

std::string Number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// The portable stand-in for the platform's hash: FNV-1a, 64 bits.
std::string Fnv1a(const std::string& data) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : data) h = (h ^ c) * 1099511628211ull;
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

bool ToU64(std::string_view v, uint64_t& out) {
    if (v.empty() || v.size() > 19) return false;
    out = 0;
    for (char c : v) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

bool ToNum(std::string_view v, double& out) {
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), out);
    return !v.empty() && error == std::errc() && end == v.data() + v.size();
}

bool IsHex(std::string_view v) {
    for (char c : v)
        if ((c < '0' || c > '9') && (c < 'a' || c > 'f')) return false;
    return true;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string RecordPath(const Settings& s) { return SubPath(s.BackupDir, kRecordFileName); }

std::string HashAlgorithm(Env& env) { return env.hasher ? env.hasher->Algorithm() : "FNV-1a"; }

std::string HashOf(Env& env, const std::string& data) { return env.hasher ? env.hasher->Hash(data) : Fnv1a(data); }

TextureEntry& TextureRecord::At(const std::string& name) {
    TextureEntry& e = byName_[UCase(name)];
    if (e.name.empty()) e.name = name;
    return e;
}

const TextureEntry* TextureRecord::Find(const std::string& name) const {
    const auto it = byName_.find(UCase(name));
    return it == byName_.end() ? nullptr : &it->second;
}

SourceEntry& TextureRecord::Source(const std::string& path) {
    SourceEntry& e = sources_[UCase(path)];
    if (e.path.empty()) e.path = path;
    return e;
}

const SourceEntry* TextureRecord::FindSource(const std::string& path) const {
    const auto it = sources_.find(UCase(path));
    return it == sources_.end() ? nullptr : &it->second;
}

std::vector<TextureEntry*> TextureRecord::Entries() {
    std::vector<TextureEntry*> all;
    for (auto& [key, e] : byName_) all.push_back(&e);
    return all;
}

std::string TextureRecord::Text() const {
    std::string t = "; Vellmora's record of the simulator's own texture files and of what is installed.\r\n";
    // Appended piece by piece (a chain of + here trips a false -Wrestrict of gcc 12).
    t += "[";
    t += kHead;
    t += "]\r\nVersion=";
    t += std::to_string(kVersion);
    t += "\r\nHash=";
    t += algorithm;
    t += "\r\nFiles=";
    t += std::to_string(byName_.size());
    // Only the data-set files whose hash is known are kept.
    size_t known = 0;
    for (const auto& [key, e] : sources_) known += !e.hash.empty();
    t += "\r\nSources=";
    t += std::to_string(known);
    t += "\r\n";
    for (const auto& [key, e] : byName_) {
        t += "\r\n[";
        t += e.name;
        t += "]\r\n";
        t += "OriginalSize=" + std::to_string(e.originalSize) + "\r\nOriginalHash=" + e.originalHash + "\r\n";
        t += "BackupSize=" + std::to_string(e.backupSize) + "\r\nBackupTime=" + Number(e.backupTime) +
             "\r\nBackupHash=" + e.backupHash + "\r\n";
        t += "Set=" + e.set + "\r\nOption=" + e.option + "\r\nInstalledHash=" + e.installedHash +
             "\r\nSince=" + Number(e.since) + "\r\n";
        t += "Size=" + std::to_string(e.size) + "\r\nTime=" + Number(e.time) + "\r\nHash=" + e.hash + "\r\n";
    }
    // The data-set files installed from: size|time|hash|path (a path holds
    // no "|").
    if (known > 0) {
        t += "\r\n[";
        t += kSources;
        t += "]\r\n";
        int n = 0;
        for (const auto& [key, e] : sources_)
            if (!e.hash.empty())
                t += "File" + std::to_string(++n) + "=" + std::to_string(e.size) + "|" + Number(e.time) + "|" + e.hash +
                 "|" + e.path + "\r\n";
    }
    return t;
}

bool TextureRecord::Parse(const std::string& text) {
    byName_.clear();
    sources_.clear();
    TextureEntry* e = nullptr;
    bool head = false, inSources = false;
    uint64_t files = 0, sources = 0;
    int version = 0;
    const std::string_view all(text);
    size_t at = 0;
    while (at < all.size()) {
        size_t end = all.find('\n', at);
        if (end == std::string_view::npos) end = all.size();
        std::string_view line = all.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) return false;
            const std::string section(line.substr(1, line.size() - 2));
            inSources = false;
            if (SameText(section, kHead)) {
                head = true;
                e = nullptr;
                continue;
            }
            if (head && SameText(section, kSources)) {
                inSources = true;
                e = nullptr;
                continue;
            }
            if (!head || !IsTextureFileName(section)) return false;
            const auto [it, added] = byName_.try_emplace(UCase(section));
            if (!added) return false;  // a file named twice
            e = &it->second;
            e->name = section;
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return false;
        const std::string_view key = line.substr(0, eq), v = line.substr(eq + 1);
        bool ok = true;
        if (inSources) {
            ok = key.substr(0, 4) == "File" && ParseSource(v);
        } else if (!e) {
            if (!head) return false;
            if (key == "Version") ok = v == std::to_string(kVersion), version = kVersion;
            else if (key == "Hash") algorithm = v;
            else if (key == "Files") ok = ToU64(v, files);
            else if (key == "Sources") ok = ToU64(v, sources);
        } else if (key == "OriginalSize") ok = ToU64(v, e->originalSize);
        else if (key == "OriginalHash") ok = IsHex(v), e->originalHash = v;
        else if (key == "BackupSize") ok = ToU64(v, e->backupSize);
        else if (key == "BackupTime") ok = ToNum(v, e->backupTime);
        else if (key == "BackupHash") ok = IsHex(v), e->backupHash = v;
        else if (key == "Set") e->set = v;
        else if (key == "Option") e->option = v;
        else if (key == "InstalledHash") ok = IsHex(v), e->installedHash = v;
        else if (key == "Since") ok = ToNum(v, e->since);
        else if (key == "Size") ok = ToU64(v, e->size);
        else if (key == "Time") ok = ToNum(v, e->time);
        else if (key == "Hash") ok = IsHex(v), e->hash = v;
        if (!ok) return false;
    }
    // A record cut short lacks some of the files it counts.
    return head && version == kVersion && files == byName_.size() && sources == sources_.size();
}

bool TextureRecord::ParseSource(std::string_view v) {
    SourceEntry src;
    const size_t a = v.find('|'), b = a == std::string_view::npos ? a : v.find('|', a + 1),
                 c = b == std::string_view::npos ? b : v.find('|', b + 1);
    if (c == std::string_view::npos || c + 1 >= v.size()) return false;
    const std::string_view hash = v.substr(b + 1, c - b - 1);
    if (!ToU64(v.substr(0, a), src.size) || !ToNum(v.substr(a + 1, b - a - 1), src.time) || hash.empty() ||
        !IsHex(hash))
        return false;
    src.hash = hash;
    src.path = v.substr(c + 1);
    // A path named twice is damage.
    return sources_.try_emplace(UCase(src.path), std::move(src)).second;
}

TextureRecord::Loaded TextureRecord::Load(Env& env, const std::string& path) {
    const std::optional<std::string> text = env.fs->Read(path);
    if (!text) {
        byName_.clear();
        return env.fs->ModTime(path) ? Loaded::Damaged : Loaded::Missing;
    }
    // Hashes of another provider cannot be compared with today's.
    if (!Parse(*text) || algorithm != HashAlgorithm(env)) {
        byName_.clear();
        return Loaded::Damaged;
    }
    return Loaded::Ok;
}

bool TextureRecord::Save(Env& env, const std::string& path) const {
    const size_t slash = path.rfind('\\');
    const std::string temp = NewTempPath(env, slash == std::string::npos ? std::string() : path.substr(0, slash));
    if (temp.empty()) return false;
    if (env.fs->Write(temp, Text()) && env.fs->Replace(temp, path)) return true;
    env.fs->Remove(temp);
    return false;
}

bool Observe(Env& env, const std::string& path, uint64_t& size, double& time, std::string& hash) {
    const std::optional<double> t = env.fs->ModTime(path);
    const std::optional<uint64_t> n = t ? env.fs->Size(path) : std::nullopt;
    if (!t || !n) {
        size = 0, time = 0, hash.clear();
        return false;
    }
    FindData stamp;
    stamp.stamped = true, stamp.size = *n, stamp.time = *t;
    return ObserveStamped(env, path, &stamp, size, time, hash);
}

bool ObserveStamped(Env& env, const std::string& path, const FindData* listed, uint64_t& size, double& time,
                    std::string& hash) {
    if (listed && !listed->stamped) return Observe(env, path, size, time, hash);
    const std::optional<double> t = listed ? std::optional<double>(listed->time) : std::nullopt;
    const std::optional<uint64_t> n = listed ? std::optional<uint64_t>(listed->size) : std::nullopt;
    if (!t || !n) {
        size = 0, time = 0, hash.clear();
        return false;
    }
    if (!hash.empty() && *n == size && *t == time) return true;  // unchanged: not read again
    const std::optional<std::string> data = env.fs->Read(path);
    if (!data) {
        // There but unreadable (locked): known by its stamp only.
        size = *n, time = *t, hash.clear();
        return true;
    }
    size = data->size(), time = *t, hash = HashOf(env, *data);
    return true;
}

void SetOfSource(const Settings& s, const std::string& source, std::string& set, std::string& option) {
    std::string base = s.DataDir;
    while (!base.empty() && base.back() == '\\') base.pop_back();
    std::string rel = source.size() > base.size() + 1 ? source.substr(base.size() + 1) : source;
    const size_t last = rel.rfind('\\');
    rel = last == std::string::npos ? std::string() : rel.substr(0, last);
    const size_t sep = rel.find('\\');
    set = rel.substr(0, sep);
    option = sep == std::string::npos ? std::string() : rel.substr(sep + 1);
}

std::vector<FileHash> ReadAndHash(Env& env, const std::vector<std::string>& paths, bool* stopped,
                                  const std::function<bool()>& stop) {
    std::vector<FileHash> out(paths.size());
    std::vector<size_t> sameAs(paths.size(), paths.size());
    std::deque<size_t> pending;  // begun, digest not yet taken
    const auto collect = [&] {
        out[pending.front()].hash = env.hasher->End();
        pending.pop_front();
    };
    std::shared_ptr<const std::string> prev;  // the file before, when it was read
    for (size_t i = 0; i < paths.size(); ++i) {
        if (env.pump) env.pump->DoEvents();
        if (stopped && (EndAsked(env) || (stop && stop()))) {
            *stopped = true;
            break;
        }
        std::optional<std::string> data = env.fs->Read(paths[i]);
        if (!data) {
            prev.reset();
            continue;
        }
        out[i].read = true;
        out[i].size = data->size();
        auto content = std::make_shared<const std::string>(std::move(*data));
        if (prev && *prev == *content) {
            sameAs[i] = i - 1;
        } else if (env.hasher && env.hasher->Begin(content)) {
            pending.push_back(i);
            // Two in hand keep the hasher busy while the next file is read.
            if (pending.size() > 2) collect();
        } else {
            out[i].hash = HashOf(env, *content);
        }
        prev = std::move(content);
    }
    while (!pending.empty()) collect();
    for (size_t i = 0; i < out.size(); ++i)
        if (sameAs[i] < out.size()) out[i].hash = out[sameAs[i]].hash;
    return out;
}

bool RebuildRecord(Env& env, const Settings& s, TextureRecord& record, bool* stopped,
                   const std::function<bool()>& stopWhen) {
    record.Clear();
    record.algorithm = HashAlgorithm(env);
    // Data-set files by name, for telling which set a texture came from.
    std::vector<std::string> setFiles;
    ListFilesDeep(env, s.DataDir, "*.*", setFiles);
    std::map<std::string, FindData> textures;  // by upper-cased name
    for (FindData& f : env.fs->Find(SubPath(s.TextureDir, "*.*")))
        if (!(f.attributes & kAttrDirectory)) textures[UCase(f.name)] = std::move(f);
    // Each backup copy and then its texture file: a texture file that is
    // still the original is read right after its equal.
    // A backup copy with its texture file's size and time is a copy of it
    // (a copy keeps both): only the texture file is read.
    struct Pair {
        FindData backup;
        const FindData* texture;
        size_t backupAt, textureAt;  // in `paths`
    };
    std::vector<Pair> pairs;
    std::vector<std::string> paths;
    for (FindData& f : env.fs->Find(SubPath(s.BackupDir, "*.*"))) {
        if ((f.attributes & kAttrDirectory) || IsCopyTempName(f.name) || SameText(f.name, kRecordFileName))
            continue;
        const auto t = textures.find(UCase(f.name));
        const FindData* texture = t == textures.end() ? nullptr : &t->second;
        const bool copy = texture && texture->stamped && f.stamped && texture->size == f.size && texture->time == f.time;
        Pair p{std::move(f), texture, paths.size(), 0};
        if (!copy) paths.push_back(SubPath(s.BackupDir, p.backup.name));
        p.textureAt = paths.size();
        if (copy) p.backupAt = p.textureAt;
        paths.push_back(SubPath(s.TextureDir, p.backup.name));
        pairs.push_back(std::move(p));
    }
    bool stop = false;
    const std::vector<FileHash> read = ReadAndHash(env, paths, stopped ? &stop : nullptr, stopWhen);
    if (stop) {
        *stopped = true;
        record.Clear();
        return false;
    }
    // A listing without stamps leaves them to the file's own.
    const auto stamp = [&env](const std::string& path, const FindData* listed, const FileHash& got, uint64_t& size,
                              double& time, std::string& hash) {
        std::optional<double> t;
        if (listed) t = listed->stamped ? std::optional<double>(listed->time) : env.fs->ModTime(path);
        if (!t) {
            size = 0, time = 0, hash.clear();
            return;
        }
        time = *t;
        size = got.read ? got.size : listed->stamped ? listed->size : env.fs->Size(path).value_or(0);
        hash = got.hash;
    };
    for (size_t i = 0; i < pairs.size(); ++i) {
        const Pair& p = pairs[i];
        TextureEntry& e = record.At(p.backup.name);
        stamp(SubPath(s.BackupDir, p.backup.name), &p.backup, read[p.backupAt], e.backupSize, e.backupTime,
              e.backupHash);
        e.originalHash = e.backupHash, e.originalSize = e.backupSize;
        stamp(paths[p.textureAt], p.texture, read[p.textureAt], e.size, e.time, e.hash);
        e.since = e.time;
        if (e.hash.empty() || e.hash == e.originalHash) continue;
        e.installedHash = e.hash;  // changed outside, unless a set holds it
        for (const std::string& file : setFiles) {
            if (!SameText(FileNameOf(file), p.backup.name)) continue;
            const std::optional<std::string> data = env.fs->Read(file);
            if (!data || HashOf(env, *data) != e.hash) continue;
            SetOfSource(s, file, e.set, e.option);
            break;
        }
    }
    return true;
}

TextureRecord::Loaded LoadOrRebuild(Env& env, const Settings& s, TextureRecord& record, bool* stopped,
                                    const std::function<bool()>& stop) {
    const TextureRecord::Loaded how = record.Load(env, RecordPath(s));
    if (how != TextureRecord::Loaded::Ok) RebuildRecord(env, s, record, stopped, stop);
    return how;
}

namespace {

// A file's size and time, without reading it; false when it is missing.
bool StampOf(Env& env, const std::string& path, uint64_t& size, double& time) {
    const FindData f = env.fs->Stamp(path);
    size = f.stamped ? f.size : 0, time = f.stamped ? f.time : 0;
    return f.stamped;
}

// Files whose content must be read, and where each one's hash goes.
class Pending {
public:
    void Add(const std::string& path, std::vector<std::string*> into) {
        for (std::string* h : into) h->clear();
        paths_.push_back(path);
        into_.push_back(std::move(into));
    }
    // Reads and hashes them, letting messages run; what the program's end
    // leaves unread stays unknown (an empty hash is read again later).
    void Read(Env& env) {
        if (paths_.empty()) return;
        bool stopped = false;
        const std::vector<FileHash> got = ReadAndHash(env, paths_, &stopped);
        for (size_t i = 0; i < got.size(); ++i)
            if (got[i].read)
                for (std::string* h : into_[i]) *h = got[i].hash;
    }

private:
    std::vector<std::string> paths_;
    std::vector<std::vector<std::string*>> into_;
};

}  // namespace

void NoteFiles(Env& env, const Settings& s, Noted what, const std::vector<std::string>& names,
               const std::vector<std::string>& sources) {
    if (names.empty() || s.BackupDir.empty() || !env.fs->ModTime(s.BackupDir)) return;
    TextureRecord record;
    LoadOrRebuild(env, s, record);
    const double now = env.clock ? env.clock->Now() : 0;
    Pending pending;
    std::vector<TextureEntry*> backedUp;  // whose backup became the original
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        const std::string texture = SubPath(s.TextureDir, name), backup = SubPath(s.BackupDir, name);
        TextureEntry& e = record.At(name);
        const uint64_t oldSize = e.size;
        const double oldTime = e.time;
        const bool textureKnown = !e.hash.empty();
        if (!StampOf(env, texture, e.size, e.time)) e.hash.clear();
        const bool textureThere = e.size != 0 || e.time != 0;
        const bool textureSame = textureKnown && textureThere && e.size == oldSize && e.time == oldTime;
        if (what == Noted::Backup) {
            // A backup copy left as it was (not due) keeps the original it
            // was recorded with, so that one changed since stays found out.
            const uint64_t size = e.backupSize;
            const double time = e.backupTime;
            const bool known = !e.originalHash.empty();
            const bool backupThere = StampOf(env, backup, e.backupSize, e.backupTime);
            bool copyOfTexture = false;
            if (!backupThere) {
                e.backupHash.clear();
            } else if (e.backupHash.empty() || size != e.backupSize || time != e.backupTime) {
                // Written just now from the texture file (a copy keeps the
                // size and time): it holds what the texture file holds.
                copyOfTexture = textureThere && e.backupSize == e.size && e.backupTime == e.time;
                if (copyOfTexture && textureSame) e.backupHash = e.hash;
                else if (!copyOfTexture) pending.Add(backup, {&e.backupHash});
            }
            if (!known || size != e.backupSize || time != e.backupTime) backedUp.push_back(&e);
            if (textureThere && !textureSame) {
                std::vector<std::string*> into = {&e.hash};
                if (copyOfTexture) into.push_back(&e.backupHash);
                pending.Add(texture, into);
            }
            // An original first seen by a backup is the original since its
            // file's own time, as a rebuilt record says.
            if (e.set.empty() && e.since == 0) e.since = e.time;
            continue;
        }
        // An installed or restored file holds what its source held.
        const std::string* from = nullptr;
        uint64_t fromSize = 0;
        std::string* fromHash = nullptr;
        if (what == Noted::Install && i < sources.size()) {
            SourceEntry& src = record.Source(sources[i]);
            const uint64_t size = src.size;
            const double time = src.time;
            StampOf(env, sources[i], src.size, src.time);
            if (src.size != size || src.time != time) src.hash.clear();
            from = &sources[i], fromSize = src.size, fromHash = &src.hash;
        } else if (what == Noted::Restore) {
            const uint64_t size = e.backupSize;
            const double time = e.backupTime;
            if (!StampOf(env, backup, e.backupSize, e.backupTime) || e.backupSize != size || e.backupTime != time)
                e.backupHash.clear();
            from = &backup, fromSize = e.backupSize, fromHash = &e.backupHash;
        }
        if (what == Noted::Install) {
            if (i < sources.size()) SetOfSource(s, sources[i], e.set, e.option);
        } else {
            e.set.clear(), e.option.clear();
        }
        e.since = now;
        if (!textureThere) {
            e.installedHash.clear();
            continue;
        }
        std::vector<std::string*> into = {&e.hash};
        if (what == Noted::Install) into.push_back(&e.installedHash);
        else e.installedHash.clear();
        if (!from || fromSize != e.size) {
            // Not a copy of a known source: the file itself is read.
            pending.Add(texture, into);
        } else if (fromHash->empty()) {
            into.push_back(fromHash);
            pending.Add(*from, into);
        } else {
            for (std::string* h : into) *h = *fromHash;
        }
    }
    pending.Read(env);
    for (TextureEntry* e : backedUp) e->originalHash = e->backupHash, e->originalSize = e->backupSize;
    record.Save(env, RecordPath(s));
}

}  // namespace vm
