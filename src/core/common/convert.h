// Conversions of configuration text with the old BASIC rules: integer and
// boolean conversion, numeric tests and the few number formats in use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

// CDbl: blanks trimmed, optional sign, decimal digits with fraction and
// exponent, "&H" hex and "&O" octal (16-bit unless followed by "&" or too
// long for 16 bits). Nothing when the text is not a number.
std::optional<double> ToDouble(std::string_view text);
// CInt / CLng: ToDouble, then rounded half to even, then range-checked.
std::optional<int16_t> ToInt16(std::string_view text);
std::optional<int32_t> ToInt32(std::string_view text);
// CBool: "True"/"False" in any case (blanks trimmed), or any number (0 false).
std::optional<bool> ToBool(std::string_view text);
bool IsNumeric(std::string_view text);
// Round half to even (banker's rounding) as CInt/CLng do.
double RoundHalfEven(double v);

// Format(value, pattern) for the patterns the program uses: "0", "0.0", "00",
// ".0", "###,###,##0", "###,###,###0.0". "nn:ss" formats a duration in
// seconds as minutes and seconds, both two digits.
std::string FormatNumber(double value, std::string_view pattern);

std::string LCase(std::string_view s);
std::string UCase(std::string_view s);
// Trim removes blanks (spaces only, like the old Trim) at both ends.
std::string Trim(std::string_view s);
// Comparison that ignores ASCII case.
bool SameText(std::string_view a, std::string_view b);
// Position (0-based) of needle in hay at or after `from`, ignoring case; npos if none.
size_t FindText(std::string_view hay, std::string_view needle, size_t from = 0);

}  // namespace vm
