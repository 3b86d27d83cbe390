#include "memory_fs.h"

#include <algorithm>
#include <cctype>

namespace vm {

namespace {

constexpr uint32_t kAttrArchive = 0x20;
constexpr double kOneSecond = 1.0 / 86400.0;

bool IsDrive(const std::string& part) {
    return part.size() == 2 && std::isalpha(static_cast<unsigned char>(part[0])) && part[1] == ':';
}

bool HasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

std::string ParentKey(const std::string& key) {
    size_t p = key.rfind('\\');
    return p == std::string::npos ? std::string() : key.substr(0, p);
}

}  // namespace

MemoryFileSystem::MemoryFileSystem() = default;

std::string MemoryFileSystem::Upper(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

// Splits a path into components as Win32 normalises it: either separator,
// repeated separators collapse, "." and ".." resolve, trailing blanks and dots
// of a name are dropped. Wildcards are accepted only in the last component
// when asked for (a search pattern).
MemoryFileSystem::Parsed MemoryFileSystem::Parse(const std::string& path, bool keepWildcardLast) {
    Parsed r;
    std::vector<std::string> raw;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) raw.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) raw.push_back(cur);
    for (size_t i = 0; i < raw.size(); ++i) {
        std::string part = raw[i];
        bool last = i + 1 == raw.size();
        bool wild = HasWildcard(part);
        if (wild && !(keepWildcardLast && last)) return r;
        if (part.find_first_of("\"<>|") != std::string::npos) return r;
        if (part.find(':') != std::string::npos && !(i == 0 && IsDrive(part))) return r;
        if (part == ".") continue;
        if (part == "..") {
            if (r.parts.size() > 1 || (r.parts.size() == 1 && !IsDrive(r.parts[0]))) r.parts.pop_back();
            continue;
        }
        if (!wild) {
            while (!part.empty() && (part.back() == ' ' || part.back() == '.')) part.pop_back();
            if (part.empty()) continue;
        }
        r.parts.push_back(part);
    }
    r.ok = !r.parts.empty();
    return r;
}

std::string MemoryFileSystem::KeyOf(const std::vector<std::string>& parts) {
    std::string k;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) k += '\\';
        k += Upper(parts[i]);
    }
    return k;
}

bool MemoryFileSystem::MatchPlain(const char* p, const char* n) {
    // Iterative glob with backtracking to the last star.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*n) {
        if (*p == '?' || (*p && *p != '*' && *p == *n)) {
            ++p;
            ++n;
        } else if (*p == '*') {
            star = p++;
            resume = n;
        } else if (star) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*') ++p;
    return *p == 0;
}

bool MemoryFileSystem::Match(const std::string& pattern, const std::string& name) {
    std::string p = Upper(pattern), n = Upper(name);
    if (p == "*" || p == "*.*") return true;
    if (MatchPlain(p.c_str(), n.c_str())) return true;
    // "name.*" also matches a name without an extension.
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos &&
        MatchPlain(p.substr(0, p.size() - 2).c_str(), n.c_str()))
        return true;
    return false;
}

bool MemoryFileSystem::MatchNode(const std::string& pattern, const Node& n) {
    return Match(pattern, n.name) || (!n.shortName.empty() && MatchPlain(Upper(pattern).c_str(), n.shortName.c_str()));
}

// The 8.3 name NTFS gives a name that is not one itself: blanks and inner
// dots dropped, "+,;=[]" as "_", six characters of the name, "~" and the
// first free number, and three of the extension; upper case.
std::string MemoryFileSystem::ShortNameFor(const std::vector<std::string>& parts) const {
    const std::string& name = parts.back();
    const size_t dot = name.rfind('.');
    const bool hasExt = dot != std::string::npos && dot > 0;
    const std::string base = hasExt ? name.substr(0, dot) : name;
    const std::string ext = hasExt ? name.substr(dot + 1) : std::string();
    const std::string bad = " +,;=[]";
    auto fits = [&](const std::string& s, size_t max) {
        return !s.empty() && s.size() <= max && s.find_first_of(bad + ".") == std::string::npos;
    };
    if (fits(base, 8) && (ext.empty() || fits(ext, 3))) return {};
    auto clean = [&](const std::string& s, size_t max) {
        std::string r;
        for (char c : s) {
            if (r.size() == max) break;
            if (c == ' ' || c == '.') continue;
            r += bad.find(c) != std::string::npos ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return r;
    };
    const std::string head = clean(base, 6), tail = clean(ext, 3);
    std::vector<std::string> dirParts(parts.begin(), parts.end() - 1);
    const std::vector<const Node*> siblings = Children(KeyOf(dirParts));
    for (int n = 1;; ++n) {
        const std::string number = std::to_string(n);
        std::string candidate = head.substr(0, std::min(head.size(), 7 - std::min<size_t>(7, number.size())));
        candidate.append(1, '~').append(number);
        if (!tail.empty()) candidate.append(1, '.').append(tail);
        bool taken = false;
        for (const Node* sib : siblings)
            taken = taken || sib->shortName == candidate || Upper(sib->name) == candidate;
        if (!taken) return candidate;
    }
}

MemoryFileSystem::Node* MemoryFileSystem::GetParts(const std::vector<std::string>& parts) {
    auto it = nodes_.find(KeyOf(parts));
    return it == nodes_.end() ? nullptr : &it->second;
}

MemoryFileSystem::Node* MemoryFileSystem::Get(const std::string& path) {
    Parsed p = Parse(path);
    return p.ok ? GetParts(p.parts) : nullptr;
}

const MemoryFileSystem::Node* MemoryFileSystem::Get(const std::string& path) const {
    return const_cast<MemoryFileSystem*>(this)->Get(path);
}

bool MemoryFileSystem::ParentExists(const std::vector<std::string>& parts) const {
    if (parts.size() < 2) return false;
    if (parts.size() == 2 && IsDrive(parts[0])) return true;
    std::vector<std::string> parent(parts.begin(), parts.end() - 1);
    auto it = nodes_.find(KeyOf(parent));
    return it != nodes_.end() && it->second.dir;
}

MemoryFileSystem::Node& MemoryFileSystem::Create(const std::vector<std::string>& parts, bool dir) {
    std::string shortName = ShortNameFor(parts);
    Node& n = nodes_[KeyOf(parts)];
    n.shortName = std::move(shortName);
    std::string path;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) path += '\\';
        path += parts[i];
    }
    n.path = path;
    n.name = parts.back();
    n.dir = dir;
    n.seq = nextSeq_++;
    Stamp(n);
    return n;
}

void MemoryFileSystem::Stamp(Node& n) {
    n.modTime = now_;
    now_ += kOneSecond;
}

bool MemoryFileSystem::Injected(FsOp op, const std::string& path) {
    if (Spared && !path.empty() && Spared(op, path)) return false;
    ++calls_[op];
    auto it = faults_.find(op);
    if (it == faults_.end()) return false;
    Fault& f = it->second;
    if (f.skip > 0) {
        --f.skip;
        return false;
    }
    if (f.fail > 0) {
        --f.fail;
        return true;
    }
    return false;
}

bool MemoryFileSystem::Spend(uint64_t bytes) {
    if (!budget_) return true;
    if (bytes > *budget_) {
        *budget_ = 0;
        return false;
    }
    *budget_ -= bytes;
    return true;
}

std::vector<const MemoryFileSystem::Node*> MemoryFileSystem::Children(const std::string& dirKey) const {
    std::vector<const Node*> r;
    for (const auto& [key, node] : nodes_)
        if (ParentKey(key) == dirKey) r.push_back(&node);
    std::sort(r.begin(), r.end(), [](const Node* a, const Node* b) { return a->seq < b->seq; });
    return r;
}

std::vector<FindData> MemoryFileSystem::Find(const std::string& pattern) {
    if (Injected(FsOp::Find)) return {};
    return FindImpl(pattern);
}

std::vector<FindData> MemoryFileSystem::FindImpl(const std::string& pattern) const {
    std::vector<FindData> out;
    if (pattern.empty() || pattern.back() == '\\' || pattern.back() == '/') return out;
    Parsed p = Parse(pattern, true);
    if (!p.ok || p.parts.size() < 2) return out;
    std::string last = p.parts.back();
    std::vector<std::string> dirParts(p.parts.begin(), p.parts.end() - 1);
    std::string dirKey = KeyOf(dirParts);
    bool root = dirParts.size() == 1 && IsDrive(dirParts[0]);
    if (!root) {
        auto it = nodes_.find(dirKey);
        if (it == nodes_.end() || !it->second.dir) return out;
    }
    auto attrs = [](const Node& n) {
        return (n.dir ? kAttrDirectory : kAttrArchive) | (n.readOnly ? kAttrReadOnly : 0u);
    };
    if (!HasWildcard(last)) {
        auto it = nodes_.find(KeyOf(p.parts));
        if (it != nodes_.end())
            out.push_back({it->second.name, attrs(it->second), it->second.shortName, true,
                           it->second.content.size(), it->second.modTime});
        return out;
    }
    if (!root) {
        for (const char* dots : {".", ".."})
            if (Match(last, dots)) out.push_back({dots, kAttrDirectory, ""});
    }
    for (const Node* n : Children(dirKey))
        if (MatchNode(last, *n))
            out.push_back({n->name, attrs(*n), n->shortName, true, n->content.size(), n->modTime});
    return out;
}

bool MemoryFileSystem::Copy(const std::string& from, const std::string& to, bool failIfExists) {
    if (Injected(FsOp::Copy)) return false;
    Node* src = Get(from);
    if (!src || src->dir || src->locked) return false;
    Parsed t = Parse(to);
    if (!t.ok || !ParentExists(t.parts)) return false;
    Node* dst = GetParts(t.parts);
    if (dst == src) return false;
    if (dst && (dst->dir || failIfExists || dst->readOnly || dst->locked)) return false;
    if (!Spend(src->content.size())) {
        if (dst) nodes_.erase(KeyOf(t.parts));
        return false;
    }
    Node copy = *src;
    if (!dst) dst = &Create(t.parts, false);
    dst->content = copy.content;
    dst->readOnly = copy.readOnly;  // CopyFileA copies the attributes
    dst->modTime = copy.modTime;    // and keeps the last-write time
    return true;
}

bool MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
    if (Injected(FsOp::Replace, to)) return false;
    Parsed f = Parse(from), t = Parse(to);
    if (!f.ok || !t.ok) return false;
    Node* src = GetParts(f.parts);
    if (!src || src->locked || !ParentExists(t.parts)) return false;
    std::string srcKey = KeyOf(f.parts), dstKey = KeyOf(t.parts);
    if (Node* dst = GetParts(t.parts); dst && dst != src) {
        if (dst->dir || src->dir || dst->readOnly || dst->locked) return false;
        nodes_.erase(dstKey);
    }
    if (src->dir && dstKey.compare(0, srcKey.size() + 1, srcKey + "\\") == 0) return false;
    std::string dstPath;
    for (size_t i = 0; i < t.parts.size(); ++i) dstPath += (i ? "\\" : "") + t.parts[i];
    // Move the node and, for a folder, everything below it.
    std::vector<std::pair<std::string, Node>> moved;
    for (auto it = nodes_.begin(); it != nodes_.end();) {
        const std::string& k = it->first;
        if (k == srcKey || k.compare(0, srcKey.size() + 1, srcKey + "\\") == 0) {
            Node n = it->second;
            std::string rest = k.substr(srcKey.size());
            n.path = dstPath + n.path.substr(n.path.size() - rest.size());
            if (rest.empty()) n.name = t.parts.back();
            moved.emplace_back(dstKey + rest, n);
            it = nodes_.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& [k, n] : moved) nodes_[k] = n;
    // The moved entry is named anew: its 8.3 name follows the new name.
    Node& renamed = nodes_[dstKey];
    renamed.shortName.clear();
    renamed.shortName = ShortNameFor(t.parts);
    return true;
}

bool MemoryFileSystem::Remove(const std::string& path) {
    if (Injected(FsOp::Remove)) return false;
    Parsed p = Parse(path);
    if (!p.ok) return false;
    Node* n = GetParts(p.parts);
    if (!n || n->dir || n->readOnly || n->locked) return false;
    nodes_.erase(KeyOf(p.parts));
    return true;
}

bool MemoryFileSystem::MakeDir(const std::string& path) {
    if (Injected(FsOp::MakeDir)) return false;
    Parsed p = Parse(path);
    if (!p.ok || GetParts(p.parts) || !ParentExists(p.parts)) return false;
    Create(p.parts, true);
    return true;
}

std::optional<uint32_t> MemoryFileSystem::Attributes(const std::string& path) {
    if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
    const Node* n = Get(path);
    if (!n) return std::nullopt;
    return (n->dir ? kAttrDirectory : 0u) | (n->readOnly ? kAttrReadOnly : 0u);
}

bool MemoryFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    if (Injected(FsOp::SetAttributes)) return false;
    Node* n = path.find_first_of("*?") == std::string::npos ? Get(path) : nullptr;
    if (!n || n->locked) return false;
    n->readOnly = (attributes & kAttrReadOnly) != 0;
    return true;
}

std::optional<double> MemoryFileSystem::ModTime(const std::string& path) {
    if (const Node* n = Get(path)) return n->modTime;
    return std::nullopt;
}

std::optional<uint64_t> MemoryFileSystem::Size(const std::string& path) {
    if (const Node* n = Get(path); n && !n->dir) return n->content.size();
    return std::nullopt;
}

std::optional<std::string> MemoryFileSystem::Read(const std::string& path) {
    if (Injected(FsOp::Read)) return std::nullopt;
    const Node* n = Get(path);
    if (!n || n->dir || n->locked) return std::nullopt;
    return n->content;
}

bool MemoryFileSystem::Write(const std::string& path, const std::string& data) {
    if (Injected(FsOp::Write, path)) return false;
    Parsed p = Parse(path);
    if (!p.ok || !ParentExists(p.parts)) return false;
    Node* n = GetParts(p.parts);
    if (n && (n->dir || n->readOnly || n->locked)) return false;
    uint64_t room = budget_ ? *budget_ : data.size();
    if (!n) n = &Create(p.parts, false);
    bool fits = Spend(data.size());
    n->content = fits ? data : data.substr(0, static_cast<size_t>(room));
    Stamp(*n);
    return fits;
}

bool MemoryFileSystem::CopyTree(const Node& src, const std::vector<std::string>& destParts) {
    std::vector<std::string> target = destParts;
    target.push_back(src.name);
    Node* dst = GetParts(target);
    if (src.dir) {
        if (dst && !dst->dir) return false;
        if (!dst) Create(target, true);
        // Snapshot: creating children must not disturb the walk.
        std::vector<Node> kids;
        for (const Node* c : Children(KeyOf(Parse(src.path).parts))) kids.push_back(*c);
        bool ok = true;
        for (const Node& c : kids) ok = CopyTree(c, target) && ok;
        return ok;
    }
    if (src.locked || (dst && (dst->dir || dst->locked))) return false;
    if (!Spend(src.content.size())) return false;
    Node copy = src;
    if (!dst) dst = &Create(target, false);
    dst->content = copy.content;
    dst->readOnly = copy.readOnly;
    dst->modTime = copy.modTime;
    return true;
}

int MemoryFileSystem::ShellOperation(const std::string& from, const std::string& to, unsigned op,
                                     unsigned flags, bool& aborted) {
    ++calls_[FsOp::Shell];
    shellCalls_.push_back({from, to, op, flags});
    aborted = false;
    std::optional<ShellScript> script;
    if (!shellScript_.empty()) {
        script = shellScript_.front();
        shellScript_.erase(shellScript_.begin());
        if (!script->copyToo) {
            aborted = script->aborted;
            return script->result;
        }
    }
    int result = 0;
    if (op != 2) {
        result = 0x78;
    } else {
        Parsed src = Parse(from, true);
        Parsed dst = Parse(to);
        std::vector<const Node*> matches;
        if (src.ok && src.parts.size() >= 2 && dst.ok) {
            std::vector<std::string> dirParts(src.parts.begin(), src.parts.end() - 1);
            for (const FindData& fd : FindImpl(from)) {
                if (fd.name == "." || fd.name == "..") continue;
                std::vector<std::string> full = dirParts;
                full.push_back(fd.name);
                if (const Node* n = GetParts(full)) matches.push_back(n);
            }
        }
        if (matches.empty()) {
            result = 2;
        } else if (flags & 0x1) {
            // FOF_MULTIDESTFILES: `to` names the copy of the one file.
            const Node* src = matches.front();
            Node* target = GetParts(dst.parts);
            if (matches.size() != 1 || src->dir || src->locked || !ParentExists(dst.parts) ||
                (target && (target->dir || target->readOnly || target->locked)) || !Spend(src->content.size())) {
                result = 0x4C7;
            } else {
                const Node copy = *src;
                if (!target) target = &Create(dst.parts, false);
                target->content = copy.content;
                target->readOnly = copy.readOnly;
                target->modTime = copy.modTime;
            }
        } else {
            // The destination folder and any missing parents are created.
            std::vector<std::string> partial;
            for (const std::string& part : dst.parts) {
                partial.push_back(part);
                if (partial.size() == 1 && IsDrive(part)) continue;
                if (!GetParts(partial)) Create(partial, true);
            }
            std::vector<Node> snapshot;
            for (const Node* n : matches) snapshot.push_back(*n);
            for (const Node& n : snapshot)
                if (!CopyTree(n, dst.parts)) result = 0x4C7;
        }
    }
    if (script) {
        aborted = script->aborted;
        return script->result;
    }
    return result;
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& content) {
    Parsed p = Parse(path);
    if (!p.ok) return;
    std::vector<std::string> parent(p.parts.begin(), p.parts.end() - 1);
    if (!parent.empty() && !(parent.size() == 1 && IsDrive(parent[0]))) {
        std::string parentPath;
        for (size_t i = 0; i < parent.size(); ++i) parentPath += (i ? "\\" : "") + parent[i];
        AddDir(parentPath);
    }
    if (Node* n = GetParts(p.parts)) {
        n->dir = false;
        n->content = content;
        Stamp(*n);
    } else {
        Create(p.parts, false).content = content;
    }
}

void MemoryFileSystem::AddDir(const std::string& path) {
    Parsed p = Parse(path);
    if (!p.ok) return;
    std::vector<std::string> partial;
    for (const std::string& part : p.parts) {
        partial.push_back(part);
        if (partial.size() == 1 && IsDrive(part)) continue;
        if (!GetParts(partial)) Create(partial, true);
    }
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
    if (Node* n = Get(path)) n->readOnly = readOnly;
}

void MemoryFileSystem::Lock(const std::string& path, bool locked) {
    if (Node* n = Get(path)) n->locked = locked;
}

void MemoryFileSystem::SetModTime(const std::string& path, double days) {
    if (Node* n = Get(path)) n->modTime = days;
}

std::string MemoryFileSystem::Content(const std::string& path) const {
    const Node* n = Get(path);
    return n && !n->dir ? n->content : std::string();
}

bool MemoryFileSystem::Exists(const std::string& path) const { return Get(path) != nullptr; }

bool MemoryFileSystem::IsDir(const std::string& path) const {
    const Node* n = Get(path);
    return n && n->dir;
}

bool MemoryFileSystem::IsReadOnly(const std::string& path) const {
    const Node* n = Get(path);
    return n && n->readOnly;
}

std::vector<std::string> MemoryFileSystem::ListAll(const std::string& folder) const {
    std::string prefix;
    if (!folder.empty()) {
        Parsed p = Parse(folder);
        if (!p.ok) return {};
        prefix = KeyOf(p.parts) + "\\";
    }
    std::vector<const Node*> found;
    for (const auto& [key, node] : nodes_)
        if (key.compare(0, prefix.size(), prefix) == 0) found.push_back(&node);
    std::sort(found.begin(), found.end(), [](const Node* a, const Node* b) { return a->seq < b->seq; });
    std::vector<std::string> r;
    for (const Node* n : found) r.push_back(n->path);
    return r;
}

void MemoryFileSystem::FailNth(FsOp op, int n, int count) {
    faults_[op] = Fault{n > 0 ? n - 1 : 0, count};
}

int MemoryFileSystem::Calls(FsOp op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
}

void MemoryFileSystem::ScriptShell(int result, bool aborted, bool copyToo) {
    shellScript_.push_back({result, aborted, copyToo});
}

}  // namespace vm
