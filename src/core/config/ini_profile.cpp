#include "config/ini_profile.h"

#include <algorithm>

namespace vm {

namespace {

const char* const kNewLine = "\r\n";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

// The first `bufSize - 1` characters of a single text (the call's copy).
std::string Fit(const std::string& s, unsigned bufSize) {
    if (bufSize == 0) return {};
    return s.substr(0, std::min<size_t>(s.size(), bufSize - 1));
}

// A value wholly in matching quotes loses them.
std::string Unquote(const std::string& v) {
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) return v.substr(1, v.size() - 2);
    return v;
}

// Names separated by NULs, each followed by its NUL, cut to fit a buffer of
// bufSize characters: when they do not fit, the last name is cut, the text
// ends with it and the count is bufSize - 2.
std::string FitList(const std::vector<std::string>& names, unsigned bufSize) {
    if (bufSize <= 1) return {};
    std::string out;
    size_t room = bufSize - 1;  // one place is kept for the closing NUL
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

}  // namespace

IniProfile::Document IniProfile::Parse(const std::string& text) {
    Document doc;
    doc.sections.push_back(Section{});
    size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.find('\r', pos);
        line.next = nl == std::string::npos ? text.size() : nl + 1;
        pos = line.next;
        size_t b = line.begin, e = line.next;
        while (b < e && IsBlank(text[b])) ++b;
        while (e > b && IsBlank(text[e - 1])) --e;
        line.end = e;
        size_t index = doc.lines.size();
        doc.lines.push_back(line);
        if (b == e) continue;  // a blank line belongs to no entry

        if (text[b] == '[') {
            size_t close = e - 1;
            while (close > b && text[close] != ']') --close;
            if (close > b) {
                Section s;
                s.name = CutAtNul(text.substr(b + 1, close - b - 1));
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
            entry.name = TrimBlanks(text.substr(b, eq - b));
            entry.value = TrimBlanks(text.substr(eq + 1, e - eq - 1));
        } else {
            entry.name = text.substr(b, e - b);
        }
        Section& cur = doc.sections.back();
        cur.entries.push_back(std::move(entry));
        cur.lastLine = index;
    }
    return doc;
}

std::string IniProfile::Get(const std::string* section, const std::string* key, const std::string& def,
                            unsigned bufSize, const std::string& file) {
    std::optional<std::string> text = fs_.Read(file);
    Document doc = Parse(text.value_or(std::string()));

    // The default loses its trailing blanks.
    std::string dflt = CutAtNul(def);
    while (!dflt.empty() && dflt.back() == ' ') dflt.pop_back();

    if (!section) {
        std::vector<std::string> names;
        for (size_t i = 1; i < doc.sections.size(); ++i)
            if (!doc.sections[i].name.empty()) names.push_back(doc.sections[i].name);
        return FitList(names, bufSize);
    }
    if (bufSize == 0) return {};
    std::string wanted = TrimBlanks(*section);
    if (!key) {
        if (section->empty()) return {};
        std::vector<std::string> names;
        for (const Section& s : doc.sections) {
            if (!s.headerLine || !Same(s.name, wanted)) continue;
            for (const Entry& e : s.entries) {
                if (e.name.empty() && !e.value) continue;
                if (!e.name.empty() && e.name[0] == ';') continue;
                if (!e.value) continue;
                names.push_back(CutAtNul(e.name));
            }
            break;
        }
        std::string list = FitList(names, bufSize);
        return list.empty() ? Fit(dflt, bufSize) : list;
    }
    if (key->empty()) return Fit(dflt, bufSize);
    std::string wantedKey = TrimBlanks(*key);
    for (const Section& s : doc.sections) {
        if (!Same(s.name, wanted)) continue;
        for (const Entry& e : s.entries) {
            if (!Same(e.name, wantedKey)) continue;
            if (!e.value) return Fit(dflt, bufSize);
            return Fit(Unquote(CutAtNul(*e.value)), bufSize);
        }
        break;
    }
    return Fit(dflt, bufSize);
}

bool IniProfile::Put(const std::string* section, const std::string* key, const std::string* value,
                     const std::string& file) {
    if (!section) return false;
    std::optional<std::string> old = fs_.Read(file);
    std::string text = old.value_or(std::string());
    Document doc = Parse(text);
    std::string wanted = TrimBlanks(*section);

    auto findSection = [&]() -> Section* {
        for (Section& s : doc.sections)
            if (Same(s.name, wanted)) return &s;
        return nullptr;
    };
    auto lineStart = [&](size_t line) { return doc.lines[line].begin; };
    auto afterLine = [&](size_t line) { return doc.lines[line].next; };

    std::string out;
    if (!key) {
        // Delete the section: its header and every line up to the next one.
        Section* s = findSection();
        if (!s || !s->headerLine) return true;
        size_t from = lineStart(*s->headerLine);
        size_t to = text.size();
        for (const Section& other : doc.sections)
            if (other.headerLine && *other.headerLine > *s->headerLine) {
                to = lineStart(*other.headerLine);
                break;
            }
        out = text.substr(0, from) + text.substr(to);
    } else {
        std::string keyName = TrimBlanks(*key);
        Section* s = findSection();
        Entry* entry = nullptr;
        if (s)
            for (Entry& e : s->entries)
                if (Same(e.name, keyName)) {
                    entry = &e;
                    break;
                }
        if (!value) {
            if (!entry) return true;
            out = text.substr(0, lineStart(entry->line)) + text.substr(afterLine(entry->line));
        } else {
            std::string v = *value;
            size_t lead = 0;
            while (lead < v.size() && IsBlank(v[lead])) ++lead;
            v.erase(0, lead);
            if (entry) {
                if (entry->value && *entry->value == v) return true;
                const Line& l = doc.lines[entry->line];
                out = text.substr(0, l.begin) + entry->name + "=" + v + text.substr(l.end);
            } else if (s) {
                // After the section's last line, or at the top of the file for
                // the lines before the first section.
                size_t at = (s->headerLine || !s->entries.empty()) ? afterLine(s->lastLine) : 0;
                std::string ins = keyName + "=" + v + kNewLine;
                if (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r') ins = kNewLine + ins;
                out = text.substr(0, at) + ins + text.substr(at);
            } else {
                out = text;
                if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += kNewLine;
                out += "[" + wanted + "]" + kNewLine + keyName + "=" + v + kNewLine;
            }
        }
    }
    if (old && out == *old) return true;
    return fs_.Write(file, out);
}

}  // namespace vm
