// Ports: the small interfaces through which the portable core reaches the
// platform. The Windows build implements them with Win32 calls; tests use
// in-memory fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrDirectory = 0x10;

// One entry of a FindFirstFileA/FindNextFileA walk.
struct FindData {
    std::string name;       // cFileName, already cut at the first NUL
    uint32_t attributes = 0;
    // cAlternateFileName: the 8.3 name the file system gave a long name,
    // empty when it has none. Wildcard searches match it too.
    std::string shortName;
    // nFileSizeHigh/Low and ftLastWriteTime (as the old DATE), when the
    // search gives them (`stamped`).
    bool stamped = false;
    uint64_t size = 0;
    double time = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Every entry that FindFirstFileA/FindNextFileA return for the pattern, in
    // the platform's order. Empty when the search fails.
    virtual std::vector<FindData> Find(const std::string& pattern) = 0;
    // CopyFileA semantics.
    virtual bool Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
    // MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING): one step, the old
    // target stays as it was when the move fails.
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool MakeDir(const std::string& path) = 0;
    // GetFileAttributesA of an exact name (no wildcards), or nothing when
    // there is no such file or folder. The default asks the search.
    virtual std::optional<uint32_t> Attributes(const std::string& path) {
        const std::vector<FindData> found = Find(path);
        if (found.empty()) return std::nullopt;
        return found.front().attributes;
    }
    // SetFileAttributesA; 0 leaves a plain file.
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
    // Last-write time as days since 1899-12-30 (the old DATE), or nothing.
    virtual std::optional<double> ModTime(const std::string& path) = 0;
    virtual std::optional<std::string> Read(const std::string& path) = 0;
    // The file's length in bytes, or nothing. The default reads the file.
    virtual std::optional<uint64_t> Size(const std::string& path) {
        const std::optional<std::string> data = Read(path);
        if (!data) return std::nullopt;
        return data->size();
    }
    // The first `bytes` bytes of the file (fewer when it is shorter) and the
    // file's whole length, or nothing. The default reads the whole file.
    virtual std::optional<std::string> ReadHead(const std::string& path, size_t bytes, uint64_t& length) {
        std::optional<std::string> data = Read(path);
        if (!data) return data;
        length = data->size();
        if (data->size() > bytes) data->resize(bytes);
        return data;
    }
    // A file's length and last-write time in one look (`stamped` false when
    // it is missing or a folder). The default asks both.
    virtual FindData Stamp(const std::string& path) {
        FindData f;
        const std::optional<double> t = ModTime(path);
        const std::optional<uint64_t> n = t ? Size(path) : std::nullopt;
        if (t && n) f.stamped = true, f.time = *t, f.size = *n;
        return f;
    }
    // Creates or truncates the file.
    virtual bool Write(const std::string& path, const std::string& data) = 0;
    // SHFileOperationA with the given operation and flags. Returns the call's
    // result; `aborted` receives fAnyOperationsAborted.
    virtual int ShellOperation(const std::string& from, const std::string& to, unsigned op,
                               unsigned flags, bool& aborted) = 0;
};

// Content hashes from the platform's cryptographic provider.
class Hasher {
public:
    virtual ~Hasher() = default;
    // The algorithm's name ("SHA-256", "SHA-1"), the same for every hash.
    virtual std::string Algorithm() = 0;
    // The digest of the bytes as lower-case hex, or the empty text when the
    // provider fails.
    virtual std::string Hash(const std::string& data) = 0;
    // Hashing beside the caller's own work: Begin hands one content over
    // (false: this hasher cannot, hash it with Hash), End waits for the next
    // digest in the order the contents were begun.
    virtual bool Begin(std::shared_ptr<const std::string> /*data*/) { return false; }
    virtual std::string End() { return std::string(); }
};

// The private-profile functions. A null section or key pointer is the
// platform's NULL argument (list of sections, list of keys, delete key).
class Profile {
public:
    virtual ~Profile() = default;
    // GetPrivateProfileStringA: the first n characters of the buffer, n being
    // the count the call returned (lists keep their NUL separators).
    virtual std::string Get(const std::string* section, const std::string* key,
                            const std::string& def, unsigned bufSize, const std::string& file) = 0;
    // WritePrivateProfileStringA.
    virtual bool Put(const std::string* section, const std::string* key, const std::string* value,
                     const std::string& file) = 0;
    // A read-only copy of the file as it is now, read once, whose Get answers
    // as Get would have; nothing when the file cannot be read. A reading
    // sequence of many keys uses it instead of opening the file per key.
    virtual std::unique_ptr<Profile> Snapshot(const std::string& file) {
        (void)file;
        return nullptr;
    }
};

// Registry: handles are opaque numbers; the two predefined roots used.
class Registry {
public:
    using Key = uintptr_t;
    static constexpr Key kLocalMachine = 0x80000002u;
    static constexpr Key kUsers = 0x80000003u;
    virtual ~Registry() = default;
    // RegOpenKeyExA; 0 on failure.
    virtual Key Open(Key parent, const std::string& subKey, uint32_t access) = 0;
    // RegQueryValueExA into a buffer of bufSize bytes: the raw buffer (bufSize
    // bytes, NUL-padded), or nothing when the call fails.
    virtual std::optional<std::string> Query(Key key, const std::string& valueName, unsigned bufSize) = 0;
    virtual void Close(Key key) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual double Now() = 0;              // days, as the old DATE
    virtual uint32_t TickMs() = 0;         // a millisecond counter
    virtual void Sleep(unsigned ms) = 0;
};

// Lets pending window messages run (the old DoEvents).
class Pump {
public:
    virtual ~Pump() = default;
    virtual void DoEvents() = 0;
};

class Sound {
public:
    virtual ~Sound() = default;
    virtual void PlayAsync(const std::string& path) = 0;  // sndPlaySoundA(path, SND_ASYNC)
    virtual void Beep() = 0;
};

struct FontFace {
    std::string name;          // lfFaceName up to the first NUL
    uint32_t fontType = 0;     // the enumeration's FontType (4 = TrueType)
    uint8_t pitchAndFamily = 0;
    uint8_t charSet = 0;
};

class FontCatalog {
public:
    virtual ~FontCatalog() = default;
    // EnumFontFamiliesExA over every face of every character set.
    virtual void Enumerate(const std::function<void(const FontFace&)>& each) = 0;
};

class Random {
public:
    virtual ~Random() = default;
    virtual double Next() = 0;  // [0, 1)
};

// The one way to tell or ask the user: returns 1 OK, 2 Cancel, 6 Yes, 7 No.
class Messages {
public:
    virtual ~Messages() = default;
    virtual int ShowMsg(const std::string& text, uint8_t style, const std::string& title) = 0;
};

// Thrown after a fatal message: the program ends.
struct ProgramEnd {};

// The ports a piece of core work needs, plus the program folder.
struct Env {
    FileSystem* fs = nullptr;
    Profile* profile = nullptr;
    Registry* registry = nullptr;
    Clock* clock = nullptr;
    Pump* pump = nullptr;
    Sound* sound = nullptr;
    FontCatalog* fonts = nullptr;
    Random* random = nullptr;
    Messages* msg = nullptr;
    Hasher* hasher = nullptr;  // null: a portable checksum stands in
    std::string programDir;  // may end in backslashes
};

// Shows the message (style 16) and ends the program.
[[noreturn]] inline void Fatal(Env& env, const std::string& title, const std::string& text) {
    env.msg->ShowMsg(text, 16, title);
    throw ProgramEnd{};
}

}  // namespace vm
