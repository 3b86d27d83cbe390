#include "common/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vm {

namespace {

char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimNumberBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

// "&H..." or "&O...": 16-bit two's complement when the value fits in 16 bits
// and no "&" follows, else 32-bit; longer values do not convert.
std::optional<double> RadixNumber(std::string_view s) {
    if (s.size() < 3 || s[0] != '&') return std::nullopt;
    char kind = UpperChar(s[1]);
    unsigned base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
    if (!base) return std::nullopt;
    std::string_view digits = s.substr(2);
    bool isLong = false;
    if (!digits.empty() && digits.back() == '&') {
        isLong = true;
        digits.remove_suffix(1);
    }
    if (digits.empty()) return std::nullopt;
    uint64_t v = 0;
    for (char c : digits) {
        unsigned d;
        if (IsDigit(c)) d = static_cast<unsigned>(c - '0');
        else if (base == 16 && UpperChar(c) >= 'A' && UpperChar(c) <= 'F') d = static_cast<unsigned>(UpperChar(c) - 'A' + 10);
        else return std::nullopt;
        if (d >= base) return std::nullopt;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    if (!isLong && v <= 0xFFFF) return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(v)));
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
}

// Sign, digits, optional fraction, optional exponent; at least one digit.
std::optional<double> DecimalNumber(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (!digits) return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (!expDigits) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    std::string copy(s);
    double v = std::strtod(copy.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;  // overflow
    return v;
}

// The value as the old formatter sees it: 15 significant decimal digits.
// Returns the digits of the magnitude and the position of the decimal point
// (digits "125", point 1 -> 1.25).
void DecimalDigits(double v, std::string& digits, int& point) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(v));
    // buf: d.dddddddddddddde[+-]xx
    digits.clear();
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (IsDigit(*p)) digits += *p;
    int exp = *p == 'e' ? std::atoi(p + 1) : 0;
    point = exp + 1;
}

// |v| rounded half away from zero to `decimals` places: integer digits (at
// least "0") and exactly `decimals` fraction digits.
void RoundDecimal(double v, int decimals, std::string& intPart, std::string& fracPart) {
    std::string digits;
    int point;
    DecimalDigits(v, digits, point);
    // Put the digits on a fixed grid: pad so that the point lies within.
    if (point <= 0) {
        digits.insert(0, static_cast<size_t>(-point + 1), '0');
        point = 1;
    }
    if (static_cast<int>(digits.size()) < point + decimals + 1)
        digits.append(static_cast<size_t>(point + decimals + 1) - digits.size(), '0');
    size_t keep = static_cast<size_t>(point + decimals);
    bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        int i = static_cast<int>(keep) - 1;
        while (i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
        if (i < 0) {
            digits.insert(0, 1, '1');
            ++point;
        } else {
            ++digits[static_cast<size_t>(i)];
        }
    }
    intPart = digits.substr(0, static_cast<size_t>(point));
    fracPart = digits.substr(static_cast<size_t>(point));
    size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
}

std::string Group(const std::string& intDigits) {
    std::string out;
    int n = static_cast<int>(intDigits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += intDigits[static_cast<size_t>(i)];
    }
    return out;
}

}  // namespace

std::optional<double> ToDouble(std::string_view text) {
    std::string_view s = TrimNumberBlanks(text);
    if (s.empty()) return std::nullopt;
    if (s[0] == '&') return RadixNumber(s);
    return DecimalNumber(s);
}

double RoundHalfEven(double v) {
    double f = std::floor(v);
    double diff = v - f;
    if (diff > 0.5) return f + 1;
    if (diff < 0.5) return f;
    return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

std::optional<int16_t> ToInt16(std::string_view text) {
    std::optional<double> d = ToDouble(text);
    if (!d) return std::nullopt;
    double r = RoundHalfEven(*d);
    if (r < -32768.0 || r > 32767.0) return std::nullopt;
    return static_cast<int16_t>(r);
}

std::optional<int32_t> ToInt32(std::string_view text) {
    std::optional<double> d = ToDouble(text);
    if (!d) return std::nullopt;
    double r = RoundHalfEven(*d);
    if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
    return static_cast<int32_t>(r);
}

std::optional<bool> ToBool(std::string_view text) {
    std::string_view s = TrimNumberBlanks(text);
    if (SameText(s, "true")) return true;
    if (SameText(s, "false")) return false;
    std::optional<double> d = ToDouble(s);
    if (!d) return std::nullopt;
    return *d != 0;
}

bool IsNumeric(std::string_view text) { return ToDouble(text).has_value(); }

std::string FormatNumber(double value, std::string_view pattern) {
    if (!std::isfinite(value)) return {};
    if (pattern == "nn:ss") {
        double secs = std::floor(value + 0.5);
        if (secs < 0) secs = 0;
        long long total = static_cast<long long>(secs);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02lld:%02lld", total / 60, total % 60);
        return buf;
    }
    // Digit placeholders: "0" forces a digit, "#" shows one when needed, a
    // comma among the integer placeholders groups thousands.
    size_t dot = pattern.find('.');
    std::string_view intPat = pattern.substr(0, dot);
    std::string_view fracPat = dot == std::string_view::npos ? std::string_view() : pattern.substr(dot + 1);
    size_t minInt = 0;
    bool grouped = false;
    for (char c : intPat) {
        if (c == '0') ++minInt;
        if (c == ',') grouped = true;
    }
    int decimals = static_cast<int>(fracPat.size());
    std::string intPart, fracPart;
    RoundDecimal(value, decimals, intPart, fracPart);
    bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
    if (intPart == "0") intPart.clear();
    if (intPart.size() < minInt) intPart.insert(0, minInt - intPart.size(), '0');
    if (grouped) intPart = Group(intPart);
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += intPart;
    if (dot != std::string_view::npos) out += "." + fracPart;
    return out;
}

std::string LCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = LowerChar(c);
    return r;
}

std::string UCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = UpperChar(c);
    return r;
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return std::string(s.substr(b, e - b));
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    return true;
}

size_t FindText(std::string_view hay, std::string_view needle, size_t from) {
    if (from > hay.size()) return std::string_view::npos;
    if (needle.size() > hay.size() - from) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= hay.size(); ++i)
        if (SameText(hay.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

}  // namespace vm
