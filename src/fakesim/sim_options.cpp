#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "fakesim/sim_server.h"

namespace vm {

namespace {
std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Strip(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(Strip(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(Strip(cur));
    return out;
}

// Whole number, decimal or "0x" hex, within [lo, hi].
bool ToInt(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno || *end || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ToReal(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return !*end && out == out;
}

bool ToSwitch(const std::string& value, bool& out) {
    const std::string v = Lower(value);
    if (v.empty() || v == "1" || v == "on" || v == "yes" || v == "true") {
        out = true;
        return true;
    }
    if (v == "0" || v == "off" || v == "no" || v == "false") {
        out = false;
        return true;
    }
    return false;
}

// "type:coverage:base:top[:deviation[:turbulence:icing:precbase:prectype:precrate]]",
// heights in metres; layers separated by ",".
bool ParseLayers(const std::string& value, std::vector<LayerRecord>& out) {
    out.clear();
    if (value.empty()) return true;
    for (const std::string& item : Split(value, ',')) {
        const std::vector<std::string> f = Split(item, ':');
        if (f.size() != 4 && f.size() != 5 && f.size() != 10) return false;
        long long v[10] = {};
        for (size_t i = 0; i < f.size(); ++i) {
            const bool height = i == 2 || i == 3 || i == 4 || i == 7;
            if (!ToInt(f[i], height ? -32768 : 0, height ? 32767 : 255, v[i])) return false;
        }
        LayerRecord l;
        l.type = uint8_t(v[0]);
        l.coverage = uint8_t(v[1]);
        l.base = int16_t(v[2]);
        l.top = int16_t(v[3]);
        l.deviation = int16_t(v[4]);
        l.turbulence = uint8_t(v[5]);
        l.icing = uint8_t(v[6]);
        l.precBase = int16_t(v[7]);
        l.precType = uint8_t(v[8]);
        l.precRate = uint8_t(v[9]);
        out.push_back(l);
    }
    return out.size() <= kLayerRecords;
}

// "seconds:metres" points separated by ","; times must not go back.
bool ParseAltitude(const std::string& value, std::vector<AltitudePoint>& out) {
    out.clear();
    if (value.empty()) return true;
    for (const std::string& item : Split(value, ',')) {
        const std::vector<std::string> f = Split(item, ':');
        double seconds = 0, metres = 0;
        if (f.size() == 1) {
            if (!ToReal(f[0], metres)) return false;
        } else if (f.size() != 2 || !ToReal(f[0], seconds) || !ToReal(f[1], metres)) {
            return false;
        }
        if (seconds < 0 || seconds > 4e6) return false;
        const uint32_t ms = uint32_t(seconds * 1000 + 0.5);
        if (!out.empty() && ms < out.back().ms) return false;
        out.push_back({ms, metres});
    }
    return true;
}
}  // namespace

bool ParseSimOption(const std::string& option, SimOptions& o, std::string& error) {
    std::string text = Strip(option);
    while (!text.empty() && (text[0] == '-' || text[0] == '/')) text.erase(0, 1);
    const size_t eq = text.find('=');
    const std::string key = Lower(Strip(text.substr(0, eq)));
    const std::string value = eq == std::string::npos ? std::string() : Strip(text.substr(eq + 1));
    long long n = 0;
    bool ok = true;
    if (key == "version") {
        ok = ToInt(value, 0, 0xFFFFFFFFll, n);
        o.version = uint32_t(n);
    } else if (key == "simcode") {
        ok = ToInt(value, 0, 0xFFFF, n);
        o.simCode = uint16_t(n);
    } else if (key == "fs98only") {
        ok = ToSwitch(value, o.fs98Only);
    } else if (key == "notready") {
        bool b = false;
        ok = ToSwitch(value, b);
        o.ready = !b;
    } else if (key == "layers") {
        ok = ParseLayers(value, o.layers);
    } else if (key == "alt") {
        ok = ParseAltitude(value, o.altitude);
    } else if (key == "noanswer") {
        ok = ToSwitch(value, o.noAnswer);
    } else if (key == "answer") {
        ok = ToInt(value, 0, 0xFFFFFFFFll, n);
        o.answer = uint32_t(n);
    } else if (key == "delay") {
        ok = ToInt(value, 0, 600000, n);
        o.delayMs = unsigned(n);
    } else if (key == "corrupt") {
        const std::string v = Lower(value);
        ok = v == "size" || v == "id" || v == "none";
        o.corruptSize = v == "size";
        o.corruptId = v == "id";
    } else if (key == "log") {
        o.logPath = value;
    } else if (key == "state") {
        o.statePath = value;
    } else {
        error = "unknown option: " + key;
        return false;
    }
    if (!ok) error = "bad value for " + key + ": " + value;
    return ok;
}

bool ParseSimIni(const std::string& text, SimOptions& o, std::string& error) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = Strip(line);
        if (line.empty() || line[0] == ';' || line[0] == '[') continue;
        if (!ParseSimOption(line, o, error)) return false;
    }
    return true;
}

}  // namespace vm
