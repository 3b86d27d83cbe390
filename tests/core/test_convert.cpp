#include <gtest/gtest.h>

#include <cmath>

#include "common/convert.h"

namespace vm {
namespace {

TEST(Convert, ToDouble) {
    struct Case {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"12", 12},         {"  -3.5 ", -3.5},   {"+7", 7},          {".5", 0.5},
        {"5.", 5},          {"1e3", 1000},       {"2.5E-1", 0.25},   {"\t4\t", 4},
        {"&H10", 16},       {"&hff", 255},       {"&HFFFF", -1},     {"&HFFFF&", 65535},
        {"&H8000", -32768}, {"&H10000", 65536},  {"&HFFFFFFFF", -1}, {"&H100000000", std::nullopt},
        {"&O17", 15},       {"&o177777", -1},    {"&O8", std::nullopt},
        {"", std::nullopt}, {"   ", std::nullopt}, {"abc", std::nullopt}, {"1e", std::nullopt},
        {".", std::nullopt}, {"-", std::nullopt}, {"1.2.3", std::nullopt}, {"12abc", std::nullopt},
        {"1e999", std::nullopt}, {"&H", std::nullopt}, {"&HG", std::nullopt}, {"1 2", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ToDouble(c.text), c.expected) << "'" << c.text << "'";
}

TEST(Convert, IntegerConversionRoundsHalfToEvenAndChecksRange) {
    struct Case {
        const char* text;
        std::optional<int16_t> i16;
        std::optional<int32_t> i32;
    } cases[] = {
        {"12.6", 13, 13},          {"2.5", 2, 2},         {"3.5", 4, 4},
        {"-2.5", -2, -2},          {"-3.5", -4, -4},      {"0.5", 0, 0},
        {"32767", 32767, 32767},   {"32767.5", std::nullopt, 32768},
        {"-32768", -32768, -32768}, {"-32768.5", -32768, -32768},
        {"-32769", std::nullopt, -32769}, {"40000", std::nullopt, 40000},
        {"2147483647", std::nullopt, 2147483647}, {"2147483648", std::nullopt, std::nullopt},
        {"-2147483648", std::nullopt, INT32_MIN}, {"&HFFFF", -1, -1}, {"&HFFFF&", std::nullopt, 65535},
        {"x", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToInt16(c.text), c.i16) << c.text;
        EXPECT_EQ(ToInt32(c.text), c.i32) << c.text;
    }
    EXPECT_EQ(RoundHalfEven(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
}

TEST(Convert, ToBoolAndIsNumeric) {
    struct Case {
        const char* text;
        std::optional<bool> b;
        bool numeric;
    } cases[] = {
        {"True", true, false}, {" FALSE ", false, false}, {"tRuE", true, false},
        {"0", false, true},    {"-1", true, true},        {"0.0", false, true},
        {"2.5", true, true},   {"on", std::nullopt, false}, {"", std::nullopt, false},
        {"yes", std::nullopt, false}, {"&H0", false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToBool(c.text), c.b) << c.text;
        EXPECT_EQ(IsNumeric(c.text), c.numeric) << c.text;
    }
}

TEST(Convert, FormatNumber) {
    struct Case {
        double value;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {2.5, "0", "3"},             {3.49, "0", "3"},            {-2.5, "0", "-3"},
        {0, "0", "0"},               {-0.2, "0", "0"},            {1234567, "0", "1234567"},
        {0.25, "0.0", "0.3"},        {0.35, "0.0", "0.4"},        {1.05, "0.0", "1.1"},
        {9.96, "0.0", "10.0"},       {0.04, "0.0", "0.0"},        {-1.25, "0.0", "-1.3"},
        {5, "00", "05"},             {123, "00", "123"},          {0, "00", "00"},
        {0.5, ".0", ".5"},           {0, ".0", ".0"},             {12.345, ".0", "12.3"},
        {-0.45, ".0", "-.5"},        {1234567, "###,###,##0", "1,234,567"},
        {0, "###,###,##0", "0"},     {999.5, "###,###,##0", "1,000"},
        {100000, "###,###,##0", "100,000"}, {-1234, "###,###,##0", "-1,234"},
        {1234.56, "###,###,###0.0", "1,234.6"}, {0.04, "###,###,###0.0", "0.0"},
        {12345, "###,###,###0", "12,345"},
        {75, "nn:ss", "01:15"},      {0, "nn:ss", "00:00"},       {59.6, "nn:ss", "01:00"},
        {5400, "nn:ss", "90:00"},    {-3, "nn:ss", "00:00"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

TEST(Convert, TextHelpers) {
    EXPECT_EQ(LCase("AbC-1"), "abc-1");
    EXPECT_EQ(UCase("AbC-1"), "ABC-1");
    EXPECT_EQ(Trim("  a b \t "), "a b \t");
    EXPECT_TRUE(SameText("Cloud.INI", "cloud.ini"));
    EXPECT_FALSE(SameText("cloud", "clouds"));
    EXPECT_EQ(FindText("Set=Cumulus", "cumulus"), 4u);
    EXPECT_EQ(FindText("abcabc", "BC", 2), 4u);
    EXPECT_EQ(FindText("abc", "abcd"), std::string::npos);
    EXPECT_EQ(FindText("abc", "x", 5), std::string::npos);
}

}  // namespace
}  // namespace vm
