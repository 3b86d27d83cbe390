// An in-memory file system with Windows path and search semantics, for core
// tests: case-insensitive names, "\" (or "/") separators, drive letters,
// "." and ".." entries in wildcard searches of a folder, entries in creation
// order, 8.3 names for long names (a wildcard search matches either name, so
// "*.txt" finds "x.txtx", whose 8.3 name is X~1.TXT), read-only and locked
// files, and fault injection (the Nth call of an operation fails, disk full).
#pragma once

#include <functional>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/ports.h"

namespace vm {

enum class FsOp { Copy, Replace, Remove, Write, MakeDir, Read, Find, Shell, SetAttributes };

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();

    // --- FileSystem ---
    std::vector<FindData> Find(const std::string& pattern) override;
    bool Copy(const std::string& from, const std::string& to, bool failIfExists) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool MakeDir(const std::string& path) override;
    std::optional<uint32_t> Attributes(const std::string& path) override;
    // Only the read-only attribute is kept.
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    std::optional<double> ModTime(const std::string& path) override;
    std::optional<uint64_t> Size(const std::string& path) override;
    std::optional<std::string> Read(const std::string& path) override;
    bool Write(const std::string& path, const std::string& data) override;
    // Operation 2 (copy): every file matching `from` (a file or a pattern) is
    // copied into the folder `to` (created when missing), matching folders
    // with their contents; with flag 0x1 (multiple destination files) the one
    // matching file is copied to the file `to`. Returns 0 on success, 2 when
    // nothing matches, and
    // 0x4C7 when a copy fails. A scripted result (ScriptShell) replaces the
    // whole operation: nothing is copied unless `copyToo` was given.
    int ShellOperation(const std::string& from, const std::string& to, unsigned op, unsigned flags,
                       bool& aborted) override;

    // --- Test helpers (they bypass fault injection and the byte budget) ---
    // Creates the file (and any missing parent folders), or replaces its content.
    void AddFile(const std::string& path, const std::string& content = "");
    // Creates the folder and any missing parents; nothing when it exists.
    void AddDir(const std::string& path);
    void SetReadOnly(const std::string& path, bool readOnly = true);
    // Open without sharing by another program: reading, copying from or to,
    // replacing, writing and deleting the file fail.
    void Lock(const std::string& path, bool locked = true);
    void SetModTime(const std::string& path, double days);
    // The clock that stamps changes: every change stamps the file with the
    // current value, and the value then advances by one second.
    void SetNow(double days) { now_ = days; }
    double Now() const { return now_; }
    // Content of a file; empty text when it does not exist (see Exists).
    std::string Content(const std::string& path) const;
    bool Exists(const std::string& path) const;
    bool IsDir(const std::string& path) const;
    bool IsReadOnly(const std::string& path) const;
    // Full paths (as created) of every file and folder below `folder`, in
    // creation order, folders included.
    std::vector<std::string> ListAll(const std::string& folder = "") const;

    // --- Fault injection (counted from the moment of the call) ---
    // The nth following call of `op` fails (n = 1: the next one), and the
    // `count` - 1 calls after it too. Nothing changes on an injected failure.
    void FailNth(FsOp op, int n, int count = 1);
    // Writes and replaces of paths it answers true for are neither counted
    // nor failed (tests of other files' operations spare the program's own
    // records with it). Shared by every instance, so that it outlives a
    // fixture's fresh file system.
    static inline std::function<bool(FsOp, const std::string&)> Spared;
    // Writes and copies may store `bytes` more bytes; a copy that does not fit
    // fails and, as CopyFileA does after truncating its target, leaves no
    // target file; a write that does not fit stores what fits and fails.
    void SetDiskBudget(uint64_t bytes) { budget_ = bytes; }
    void ClearDiskBudget() { budget_.reset(); }
    // Number of calls of `op` so far (successful or not).
    int Calls(FsOp op) const;

    // Scripts the result of the next shell operation; when copyToo is true
    // the copy is carried out as well before the scripted result is returned.
    void ScriptShell(int result, bool aborted, bool copyToo = false);
    struct ShellCall {
        std::string from, to;
        unsigned op = 0, flags = 0;
    };
    const std::vector<ShellCall>& ShellCalls() const { return shellCalls_; }

private:
    struct Node {
        std::string path;     // full path as created (normalised separators)
        std::string name;     // last component as created
        std::string shortName;  // the 8.3 name of a long name, else empty
        bool dir = false;
        std::string content;
        bool readOnly = false;
        bool locked = false;
        double modTime = 0;
        uint64_t seq = 0;     // creation order
    };
    struct Parsed {
        bool ok = false;
        std::vector<std::string> parts;  // normalised components
    };

    static Parsed Parse(const std::string& path, bool keepWildcardLast = false);
    static std::string KeyOf(const std::vector<std::string>& parts);
    static std::string Upper(const std::string& s);
    static bool Match(const std::string& pattern, const std::string& name);
    static bool MatchNode(const std::string& pattern, const Node& n);
    std::string ShortNameFor(const std::vector<std::string>& parts) const;
    static bool MatchPlain(const char* p, const char* n);

    Node* Get(const std::string& path);
    const Node* Get(const std::string& path) const;
    Node* GetParts(const std::vector<std::string>& parts);
    bool ParentExists(const std::vector<std::string>& parts) const;
    Node& Create(const std::vector<std::string>& parts, bool dir);
    bool Injected(FsOp op, const std::string& path = std::string());
    bool Spend(uint64_t bytes);
    void Stamp(Node& n);
    std::vector<const Node*> Children(const std::string& dirKey) const;
    std::vector<FindData> FindImpl(const std::string& pattern) const;
    bool CopyTree(const Node& src, const std::vector<std::string>& destParts);

    std::map<std::string, Node> nodes_;  // key: upper-cased normalised path
    uint64_t nextSeq_ = 1;
    double now_ = 45000.0;  // 2023-03-14
    std::optional<uint64_t> budget_;
    struct Fault {
        int skip = 0;   // calls still to pass before failing
        int fail = 0;   // calls to fail then
    };
    std::map<FsOp, Fault> faults_;
    std::map<FsOp, int> calls_;
    struct ShellScript {
        int result;
        bool aborted;
        bool copyToo;
    };
    std::vector<ShellScript> shellScript_;
    std::vector<ShellCall> shellCalls_;
};

}  // namespace vm
