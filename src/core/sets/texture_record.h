// The texture record: for every texture file the program backed up or
// installed, the simulator's own file (size and content hash, taken from
// its backup copy) and what the texture folder holds now (the set and
// option it came from, its size, hash and time). It lives in the backup
// folder as INI text and is never needed to run: a missing or damaged
// record is rebuilt from the backups and the data sets.
#pragma once

#include <functional>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/ports.h"
#include "config/settings.h"

namespace vm {

inline constexpr const char* kRecordFileName = "Vellmora Textures.ini";

struct TextureEntry {
    std::string name;
    // The simulator's own file, as its backup copy held it when made; an
    // empty hash: not known.
    uint64_t originalSize = 0;
    std::string originalHash;
    // The backup copy as last seen (its hash read when its size or time
    // changed); an empty hash: no backup copy.
    uint64_t backupSize = 0;
    double backupTime = 0;
    std::string backupHash;
    // What the program put there last: a set (DirName and option sub-folder)
    // or, with an empty set, the original; when.
    std::string set, option;
    std::string installedHash;
    double since = 0;
    // The texture file as last seen; an empty hash: missing.
    uint64_t size = 0;
    double time = 0;
    std::string hash;

    bool operator==(const TextureEntry&) const = default;
};

// A data-set file the record has hashed: trusted while its size and time
// are unchanged.
struct SourceEntry {
    std::string path;
    uint64_t size = 0;
    double time = 0;
    std::string hash;

    bool operator==(const SourceEntry&) const = default;
};

class TextureRecord {
public:
    enum class Loaded { Ok, Missing, Damaged };
    Loaded Load(Env& env, const std::string& path);
    // Written to a temporary name and put in place in one step; false (and
    // the old record as it was) when either fails.
    bool Save(Env& env, const std::string& path) const;
    std::string Text() const;
    bool Parse(const std::string& text);

    TextureEntry& At(const std::string& name);
    const TextureEntry* Find(const std::string& name) const;
    std::vector<TextureEntry*> Entries();
    size_t Count() const { return byName_.size(); }
    void Clear() {
        byName_.clear();
        sources_.clear();
    }
    // The data-set files installed from, by path.
    SourceEntry& Source(const std::string& path);
    const SourceEntry* FindSource(const std::string& path) const;
    size_t SourceCount() const { return sources_.size(); }
    std::string algorithm;

private:
    // One "size|time|hash|path" line of the [Sources] section.
    bool ParseSource(std::string_view line);

    std::map<std::string, TextureEntry> byName_;  // by upper-cased name
    std::map<std::string, SourceEntry> sources_;  // by upper-cased path
};

std::string RecordPath(const Settings& s);
// The hash of the bytes by the platform's provider (or the portable stand-in).
std::string HashOf(Env& env, const std::string& data);
std::string HashAlgorithm(Env& env);

// What reading one file gave: its size and content hash (not read: missing
// or unreadable).
struct FileHash {
    bool read = false;
    uint64_t size = 0;
    std::string hash;
};
// Reads each file once and hashes it, pumping between files. The hashing
// of one file goes on beside the reading of the next where the hasher can,
// and a file equal byte for byte to the one before it takes that one's
// hash. With `stopped`, a stop asked of the running operation ends the
// reading (and sets it); without, the reading always finishes.
// `stop`, when given, also ends it (the reader's window is closing).
std::vector<FileHash> ReadAndHash(Env& env, const std::vector<std::string>& paths, bool* stopped = nullptr,
                                  const std::function<bool()>& stop = {});

// Fills the record from what can be known: each backup copy is an
// original; each texture file is the original, a data set's file of the
// same name and content, or changed outside the program. With `stopped`,
// a stop asked meanwhile leaves the record empty and returns false.
bool RebuildRecord(Env& env, const Settings& s, TextureRecord& record, bool* stopped = nullptr,
                   const std::function<bool()>& stop = {});
// The record as stored, or rebuilt when it is missing or damaged (`how`
// tells which).
TextureRecord::Loaded LoadOrRebuild(Env& env, const Settings& s, TextureRecord& record, bool* stopped = nullptr,
                                    const std::function<bool()>& stop = {});

// After a copy loop: what the files named now hold. A file copied holds
// what its source held: the source's hash is taken from the record while
// the source's size and time are unchanged, and read only otherwise (beside
// the window's messages; the program's end leaves such files unknown, to be
// read by the next status). The texture and backup files are only stamped
// (size and time), never read again.
enum class Noted { Backup, Install, Restore };
// An installation names the data-set file each texture came from.
void NoteFiles(Env& env, const Settings& s, Noted what, const std::vector<std::string>& names,
               const std::vector<std::string>& sources = {});
// The set (DirName) and option sub-folder of a data-set file.
void SetOfSource(const Settings& s, const std::string& source, std::string& set, std::string& option);

// Reads the file's size, time and (when they changed since `size`/`time`,
// or `hash` is empty) its hash into the three; false when it is missing.
bool Observe(Env& env, const std::string& path, uint64_t& size, double& time, std::string& hash);
// The same with the stamp a folder listing gave (null: the file is not there).
bool ObserveStamped(Env& env, const std::string& path, const FindData* listed, uint64_t& size, double& time,
                    std::string& hash);

}  // namespace vm
