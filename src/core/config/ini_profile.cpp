#include "config/ini_profile.h"

#include <algorithm>

namespace vm {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names compare without regard to ASCII case; other bytes compare as they are.
bool Same(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::string TrimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// A NUL ends a name or value as it ends the platform's strings.
std::string CutAtNul(const std::string& s) {
    size_t p = s.find('\0');
    return p == std::string::npos ? s : s.substr(0, p);
}

// Copies a single value into a buffer of bufSize characters. A value that
// starts and ends with the same quote loses its opening quote, and loses its
// last character when the buffer is at least as long as the rest (which, for
// exactly that length, is one character before the closing quote: the
// reference implementation does the same).
std::string CopyEntry(const std::string& value, unsigned bufSize) {
    if (bufSize == 0) return {};
    std::string v = value;
    bool quoted = v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0];
    if (quoted) v.erase(0, 1);
    std::string out = v.substr(0, std::min<size_t>(v.size(), bufSize - 1));
    if (quoted && bufSize >= v.size() && !out.empty()) out.pop_back();
    return out;
}

// Section names, each followed by a NUL. When they do not fit, the last name
// is cut, ends with a NUL, and the count is bufSize - 2.
std::string SectionList(const std::vector<std::string>& names, unsigned bufSize) {
    if (bufSize <= 1) return {};
    std::string out;
    size_t room = bufSize - 1;
    for (const std::string& n : names) {
        size_t need = n.size() + 1;
        if (need >= room) {
            if (room > 0) out += n.substr(0, room - 1) + '\0';
            out.resize(bufSize - 2);
            return out;
        }
        out += n + '\0';
        room -= need;
    }
    return out;
}

// Key names, each followed by a NUL, filled the way the platform does: a
// name is cut to the room left minus one; once at most one place is left the
// count is bufSize - 2.
std::string KeyList(const std::vector<std::string>& names, unsigned bufSize) {
    std::string out;
    size_t len = bufSize;
    for (const std::string& n : names) {
        if (len <= 2) break;
        std::string part = n.substr(0, std::min(n.size(), len - 2));
        out += part + '\0';
        len -= part.size() + 1;
        if (len < 2) break;
    }
    if (bufSize >= 2 && len <= 1) out.resize(bufSize - 2);
    return out;
}

// The line-break style of the file, for added lines.
std::string NewLineOf(const std::string& text) {
    size_t p = text.find_first_of("\r\n");
    if (p == std::string::npos) return "\r\n";
    if (text[p] == '\r') return (p + 1 < text.size() && text[p + 1] == '\n') ? "\r\n" : "\r";
    return "\n";
}

}  // namespace

IniProfile::Document IniProfile::Parse(const std::string& text) {
    Document doc;
    doc.sections.push_back(Section{});
    size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        size_t br = text.find_first_of("\r\n", pos);
        line.end = br == std::string::npos ? text.size() : br;
        line.next = line.end;
        if (br != std::string::npos) {
            line.next = br + 1;
            if (text[br] == '\r' && br + 1 < text.size() && text[br + 1] == '\n') line.next = br + 2;
        }
        pos = line.next;
        size_t b = line.begin, e = line.end;
        while (b < e && IsBlank(text[b])) ++b;
        while (e > b && IsBlank(text[e - 1])) --e;
        size_t index = doc.lines.size();
        doc.lines.push_back(line);
        if (b == e) continue;  // a blank line belongs to no entry

        if (text[b] == '[') {
            size_t close = e - 1;
            while (close > b && text[close] != ']') --close;
            if (close > b) {
                Section s;
                s.name = TrimBlanks(CutAtNul(text.substr(b + 1, close - b - 1)));
                s.headerLine = index;
                s.lastLine = index;
                doc.sections.push_back(std::move(s));
                continue;
            }
        }
        Entry entry;
        entry.line = index;
        size_t eq = text.find('=', b);
        if (eq != std::string::npos && eq < e) {
            entry.name = CutAtNul(TrimBlanks(text.substr(b, eq - b)));
            entry.value = CutAtNul(TrimBlanks(text.substr(eq + 1, e - eq - 1)));
        } else {
            entry.name = CutAtNul(text.substr(b, e - b));
        }
        Section& cur = doc.sections.back();
        cur.entries.push_back(std::move(entry));
        cur.lastLine = index;
    }
    return doc;
}

namespace {
// The file as it was when the snapshot was taken; writes are refused.
class SnapshotProfile : public Profile {
public:
    explicit SnapshotProfile(std::string text) : doc_(IniProfile::Parse(text)) {}
    std::string Get(const std::string* section, const std::string* key, const std::string& def, unsigned bufSize,
                    const std::string&) override {
        return IniProfile::GetFrom(doc_, section, key, def, bufSize);
    }
    bool Put(const std::string*, const std::string*, const std::string*, const std::string&) override {
        return false;
    }

private:
    IniProfile::Document doc_;
};
}  // namespace

std::unique_ptr<Profile> IniProfile::SnapshotOf(std::string text) {
    return std::make_unique<SnapshotProfile>(std::move(text));
}

std::unique_ptr<Profile> IniProfile::Snapshot(const std::string& file) {
    auto text = fs_.Read(file);
    if (!text) return nullptr;
    return SnapshotOf(std::move(*text));
}

std::string IniProfile::Get(const std::string* section, const std::string* key, const std::string& def,
                            unsigned bufSize, const std::string& file) {
    return GetFrom(Parse(fs_.Read(file).value_or(std::string())), section, key, def, bufSize);
}

std::string IniProfile::GetFrom(const Document& doc, const std::string* section, const std::string* key,
                                const std::string& def, unsigned bufSize) {

    // The default loses its trailing spaces.
    std::string dflt = CutAtNul(def);
    while (!dflt.empty() && dflt.back() == ' ') dflt.pop_back();

    if (!section) {
        std::vector<std::string> names;
        for (size_t i = 1; i < doc.sections.size(); ++i)
            if (!doc.sections[i].name.empty()) names.push_back(doc.sections[i].name);
        return SectionList(names, bufSize);
    }
    if (bufSize == 0) return {};
    if (!key) {
        // The section name is matched as given, without trimming; "" is the
        // lines before the first section.
        std::string list;
        std::string wanted = CutAtNul(*section);
        for (const Section& s : doc.sections) {
            if (!Same(s.name, wanted)) continue;
            std::vector<std::string> names;
            for (const Entry& e : s.entries)
                if (e.value && (e.name.empty() || e.name[0] != ';')) names.push_back(e.name);
            list = KeyList(names, bufSize);
            break;
        }
        return list.empty() || list[0] == '\0' ? CopyEntry(dflt, bufSize) : list;
    }
    std::string wanted = TrimBlanks(CutAtNul(*section));
    std::string wantedKey = TrimBlanks(CutAtNul(*key));
    for (const Section& s : doc.sections) {
        if (!Same(s.name, wanted)) continue;
        for (const Entry& e : s.entries)
            if (Same(e.name, wantedKey)) return CopyEntry(e.value ? *e.value : dflt, bufSize);
        break;  // only the first section of that name counts
    }
    return CopyEntry(dflt, bufSize);
}

bool IniProfile::Put(const std::string* section, const std::string* key, const std::string* value,
                     const std::string& file) {
    if (!section) return false;
    std::optional<std::string> old = fs_.Read(file);
    std::string text = old.value_or(std::string());
    Document doc = Parse(text);
    const std::string nl = NewLineOf(text);
    const std::string raw = CutAtNul(*section);

    std::string out;
    if (!key) {
        // Delete the first section of that name (matched as given): its header
        // and every line up to the next header.
        const Section* s = nullptr;
        for (size_t i = 1; i < doc.sections.size() && !s; ++i)
            if (Same(doc.sections[i].name, raw)) s = &doc.sections[i];
        if (!s) return true;
        size_t from = doc.lines[*s->headerLine].begin;
        size_t to = (s + 1 < doc.sections.data() + doc.sections.size()) ? doc.lines[*(s + 1)->headerLine].begin
                                                                        : text.size();
        out = text.substr(0, from) + text.substr(to);
    } else if (!value) {
        // Delete the first key of that name in any section of that name (both
        // matched as given).
        const std::string rawKey = CutAtNul(*key);
        const Entry* found = nullptr;
        for (const Section& s : doc.sections) {
            if (!Same(s.name, raw)) continue;
            for (const Entry& e : s.entries)
                if (Same(e.name, rawKey)) {
                    found = &e;
                    break;
                }
            if (found) break;
        }
        if (!found) return true;
        const Line& l = doc.lines[found->line];
        out = text.substr(0, l.begin) + text.substr(l.next);
    } else {
        std::string wanted = TrimBlanks(raw);
        std::string wantedKey = TrimBlanks(CutAtNul(*key));
        // Blanks around a value or a new name could never be read back: they
        // are not written.
        std::string v = TrimBlanks(*value);
        Section* s = nullptr;
        for (Section& cand : doc.sections)
            if (Same(cand.name, wanted)) {
                s = &cand;
                break;
            }
        const Entry* entry = nullptr;
        if (s)
            for (const Entry& e : s->entries)
                if (Same(e.name, wantedKey)) {
                    entry = &e;
                    break;
                }
        const std::string& newKey = wantedKey;
        if (entry) {
            if (entry->value && *entry->value == v) return true;
            const Line& l = doc.lines[entry->line];
            out = text.substr(0, l.begin) + entry->name + "=" + v + text.substr(l.end);
        } else if (s) {
            // After the section's last line; at the top for the lines before
            // the first section.
            size_t at = (s->headerLine || !s->entries.empty()) ? doc.lines[s->lastLine].next : 0;
            std::string ins = newKey + "=" + v + nl;
            if (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r') ins = nl + ins;
            out = text.substr(0, at) + ins + text.substr(at);
        } else {
            out = text;
            if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += nl;
            out.append(1, '[').append(wanted).append(1, ']').append(nl);
            out.append(newKey).append(1, '=').append(v).append(nl);
        }
    }
    if (old && out == *old) return true;
    return fs_.Write(file, out);
}

}  // namespace vm
