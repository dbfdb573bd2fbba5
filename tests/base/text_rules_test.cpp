// Text rules: the integer-text rule, number parsing with the process-wide
// decimal separator, case-insensitive names, the code page table and the UTF
// conversions.
#include <gtest/gtest.h>

#include "base/cp1251.h"
#include "base/text_rules.h"
#include "base/utf.h"

namespace {

TEST(IntegerTextRule, Table) {
  struct Case {
    const char* Text;
    bool Ok;
    std::int32_t Value;
  };
  const Case Cases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"  42", true, 42},
      {"+7", true, 7},
      {"-7", true, -7},
      {"$1F", true, 31},
      {"x1f", true, 31},
      {"X10", true, 16},
      {"0x10", true, 16},
      {"0XfF", true, 255},
      {"-$10", true, -16},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647 - 1},
      {"0x7FFFFFFF", true, 2147483647},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"0xFFFFFFFF", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"42 ", false, 0},
      {"4.2", false, 0},
      {"12.5", false, 0},
      {"1E3", false, 0},
      {"abc", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"0x", false, 0},
      {"$", false, 0},
      {"\t42", false, 0},
      {"+-1", false, 0},
      {"0x-1", false, 0},
      {"99999999999999999999", false, 0},
  };
  for (const Case& C : Cases) {
    std::int32_t Value = -99;
    EXPECT_EQ(base::TryParseInt32(std::string_view(C.Text), Value), C.Ok) << '"' << C.Text << '"';
    if (C.Ok) {
      EXPECT_EQ(Value, C.Value) << C.Text;
    }
    std::int32_t Wide = -99;
    EXPECT_EQ(base::TryParseInt32(base::WidenBytes(C.Text), Wide), C.Ok) << C.Text;
    if (C.Ok) {
      EXPECT_EQ(Wide, C.Value);
    }
  }
}

TEST(DoubleText, PointSeparator) {
  base::SetDecimalSeparator(u'.');
  struct Case {
    const char* Text;
    bool Ok;
    double Value;
  };
  const Case Cases[] = {
      {"12.5", true, 12.5},    {" -0.25 ", true, -0.25}, {"+3", true, 3},   {"1E3", true, 1000},
      {"1.5e-2", true, 0.015}, {".5", true, 0.5},        {"5.", true, 5},   {"12,5", false, 0},
      {"", false, 0},          {"1 000", false, 0},      {"e5", false, 0},  {"1e", false, 0},
      {"--1", false, 0},       {"nan", false, 0},        {"inf", false, 0}, {"0x10", false, 0},
  };
  for (const Case& C : Cases) {
    double Value = -99;
    EXPECT_EQ(base::TryParseDouble(std::string_view(C.Text), Value), C.Ok) << C.Text;
    if (C.Ok) {
      EXPECT_DOUBLE_EQ(Value, C.Value) << C.Text;
    }
  }
}

TEST(NameComparison, IgnoresCaseOfLatinAndCyrillicOnly) {
  EXPECT_TRUE(base::EqualIgnoringCase(u"GetVersion", u"gEtVeRsIoN"));
  EXPECT_TRUE(base::EqualIgnoringCase(u"ёлка Ґ", u"ЁЛКА ґ"));
  EXPECT_TRUE(base::EqualIgnoringCase(u"", u""));
  EXPECT_FALSE(base::EqualIgnoringCase(u"Get", u"GetVersion"));
  EXPECT_FALSE(base::EqualIgnoringCase(u"е", u"ё")) << "no folding beyond letter case";
  EXPECT_FALSE(base::EqualIgnoringCase(u"a", u"á"));
}

TEST(CodePage, Windows1251Table) {
  EXPECT_EQ(base::WideToCp1251(u"АБВ абв ЁёЎў№€"),
            "\xC0\xC1\xC2 \xE0\xE1\xE2 \xA8\xB8\xA1\xA2\xB9\x88");
  EXPECT_EQ(base::WideToCp1251(u"日本 😀 ä"), "?? ? ?");
  std::string All;
  for (int B = 1; B < 256; ++B) All.push_back(static_cast<char>(B));
  EXPECT_EQ(base::WideToCp1251(base::Cp1251ToWide(All)), All) << "every byte round-trips";
}

TEST(CodePage, Windows1251StraightToUtf8) {
  EXPECT_EQ(base::Cp1251ToUtf8("\xC0\xE0 \xB9\x88 \x98"),
            "\xD0\x90\xD0\xB0 \xE2\x84\x96\xE2\x82\xAC \xC2\x98");
  // Every byte, at every offset against the eight-byte steps, in runs of
  // ASCII and of other bytes.
  std::string All(1, '\0');
  for (int B = 1; B < 256; ++B) All.push_back(static_cast<char>(B));
  for (std::size_t Start = 0; Start < 9; ++Start)
    for (const std::string& Text : {All.substr(Start), All.substr(Start, 20),
                                    std::string(Start, 'x') + "<a b=\"\xC6\xE8\xE2\">" + All})
      EXPECT_EQ(base::Cp1251ToUtf8(Text), base::Utf16ToUtf8(base::Cp1251ToWide(Text)));
  EXPECT_EQ(base::Cp1251ToUtf8(""), "");
}

TEST(Utf, RoundTripAndIllFormedInput) {
  const std::u16string Text = u"Ёж € 😀 \u0000x";
  EXPECT_EQ(base::Utf8ToUtf16(base::Utf16ToUtf8(Text)), Text);
  EXPECT_EQ(base::Utf16ToUtf8(u"Ж"), "\xD0\x96");
  EXPECT_EQ(base::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD") << "overlong form";
  EXPECT_EQ(base::Utf8ToUtf16("a\xE2\x82"), u"a\uFFFD") << "truncated sequence";
  EXPECT_EQ(base::Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD") << "encoded surrogate";
  EXPECT_EQ(base::Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
