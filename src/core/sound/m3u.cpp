#include "sound/m3u.h"

#include <algorithm>
#include <cctype>

#include "common/convert.h"

namespace vm {

namespace {

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The line without the blanks and tabs around it.
std::string_view Stripped(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%20" and the like of an address, as the bytes they stand for.
std::string PercentDecoded(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The length of an address's scheme and its "://" ("http://", "file://"),
// or 0 when the entry is no address. A drive letter ("C:\") is no scheme.
size_t SchemeLength(const std::string& entry) {
    const size_t colon = entry.find("://");
    if (colon == std::string::npos || colon < 2) return 0;
    for (size_t i = 0; i < colon; ++i)
        if (!IsLetter(entry[i]) && entry[i] != '+' && entry[i] != '-' && entry[i] != '.') return 0;
    return colon + 3;
}

// The root part of a backslashed path: "C:\", "\\server\share\" (or
// "\\server\share" at the end), "\" for a rooted path; empty when relative.
size_t RootLength(const std::string& p) {
    if (p.size() >= 2 && IsLetter(p[0]) && p[1] == ':') return p.size() >= 3 && p[2] == '\\' ? 3 : 2;
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
        size_t server = p.find('\\', 2);
        if (server == std::string::npos) return p.size();
        size_t share = p.find('\\', server + 1);
        return share == std::string::npos ? p.size() : share + 1;
    }
    return !p.empty() && p[0] == '\\' ? 1 : 0;
}

// The path with its "." and ".." steps resolved and doubled separators
// removed; ".." never climbs above the root.
std::string Resolved(const std::string& p) {
    const size_t root = RootLength(p);
    std::vector<std::string> steps;
    size_t start = root;
    while (start <= p.size()) {
        size_t end = p.find('\\', start);
        if (end == std::string::npos) end = p.size();
        const std::string step = p.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty() && steps.back() != "..") steps.pop_back();
            else if (root == 0) steps.push_back(step);
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string out = p.substr(0, root);
    if (root > 0 && out.back() != '\\' && !steps.empty()) out += '\\';
    for (size_t i = 0; i < steps.size(); ++i) out += (i ? "\\" : "") + steps[i];
    return out;
}

// One entry line as a full path; empty when it names no file.
std::string EntryPath(std::string entry, const std::string& folder) {
    if (const size_t scheme = SchemeLength(entry)) {
        if (!SameText(entry.substr(0, scheme), "file://")) return {};
        entry = PercentDecoded(entry.substr(scheme));
        // "file:///C:/x" names a local drive; "file://server/share/x" a share.
        if (!entry.empty() && entry[0] == '/') entry.erase(0, 1);
        else entry = "//" + entry;
    }
    for (char& c : entry)
        if (c == '/') c = '\\';
    if (entry.empty()) return {};
    std::string path;
    if (RootLength(entry) > 1) {
        path = entry;
    } else if (entry[0] == '\\') {
        // From the root of the playlist's drive.
        const size_t root = RootLength(folder);
        path = folder.substr(0, root && folder[root - 1] == '\\' ? root - 1 : root) + entry;
    } else {
        path = folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + entry;
    }
    return Resolved(path);
}

}  // namespace

bool IsM3u(const std::string& path) {
    return path.size() >= 4 && SameText(std::string_view(path).substr(path.size() - 4), ".m3u");
}

std::vector<std::string> ReadM3u(const std::string& text, const std::string& folder,
                                 const std::function<std::string(const std::string&)>& fromUtf8) {
    std::vector<std::string> entries;
    const bool utf8 = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    size_t pos = utf8 ? 3 : 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        std::string line(Stripped(std::string_view(text).substr(pos, end - pos)));
        pos = end + 1;
        if (line.empty() || line[0] == '#') continue;
        const bool ascii = std::all_of(line.begin(), line.end(), [](char c) { return (c & 0x80) == 0; });
        if (utf8 && !ascii) {
            line = fromUtf8 ? fromUtf8(line) : std::string();
            if (line.empty()) continue;
        }
        std::string path = EntryPath(line, folder);
        if (!path.empty()) entries.push_back(std::move(path));
    }
    return entries;
}

}  // namespace vm
