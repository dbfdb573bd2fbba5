// Writing request bodies in the fixed text form, and the general number format.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "driver/json/json.h"

namespace {

using driver::json::FormatGeneral15;
using driver::json::ReadStrictObject;
using driver::json::Value;
using driver::json::Write;

TEST(Writer, StringEscapes) {
  struct Case {
    std::u16string Text;
    std::string Json;
  };
  const Case Cases[] = {
      {u"", R"("")"},
      {u"plain text", R"("plain text")"},
      {u"a/b", R"("a\/b")"},
      {u"\"\\/\b\t\n\f\r", R"("\"\\\/\b\t\n\f\r")"},
      {std::u16string(u"\0\x01\x0b\x1f", 4), R"("\u0000\u0001\u000b\u001f")"},
      {u"\x20\x7f", "\"\x20\x7f\""},
      {u"Яд №1 €",
       "\"\xD0\xAF\xD0\xB4 \xE2\x84\x96"
       "1 \xE2\x82\xAC\""},
      {u"\U0001F600", "\"\xF0\x9F\x98\x80\""},
  };
  for (const Case& C : Cases) EXPECT_EQ(Write(Value::String(C.Text)), C.Json) << C.Json;
  // Wherever it stands in a longer text.
  const Case Escaped[] = {{u"\x1f", "\\u001f"}, {u"\"", "\\\""}, {u"/", "\\/"},
                          {u"\\", "\\\\"},      {u"\n", "\\n"},  {u"\x80", "\xC2\x80"}};
  for (const Case& E : Escaped) {
    for (std::size_t At = 0; At < 20; ++At) {
      const std::u16string Text = std::u16string(At, u'a') + E.Text + std::u16string(19 - At, u'b');
      EXPECT_EQ(Write(Value::String(Text)),
                '"' + std::string(At, 'a') + E.Json + std::string(19 - At, 'b') + '"');
    }
  }
  // Names follow the same rules.
  Value Object = Value::Object();
  Object.Add("a/\"b\"\n", Value::Null());
  EXPECT_EQ(Write(Object), R"({"a\/\"b\"\n":null})");
}

TEST(Writer, Document) {
  Value Body = Value::Object();
  Body.Add("T1055", Value::Integer(1));
  Value& Items = Body.Add("items", Value::Array());
  Value& Item = Items.Push(Value::Object());
  Item.Add("T1030", Value::String(u"Хлеб"));
  Item.Add("T1079", Value::Number(12.5));
  Item.Add("T1023", Value::NumberText("1.000"));
  Items.Push(Value::Array());
  Items.Push(Value::Boolean(false));
  Items.Push(Value());
  Body.Add("T1008", Value::StringUtf8("a@b"));
  Body.Add("skipped", Value());
  Body.Add("T1055", Value::Boolean(true));
  Body.Add("z", Value::Null());
  Body.Add("a", Value::Object());
  EXPECT_EQ(Write(Body),
            "{\"T1055\":1,\"items\":[{\"T1030\":\"\xD0\xA5\xD0\xBB\xD0\xB5\xD0\xB1\","
            "\"T1079\":12.5,\"T1023\":1.000},[],false],\"T1008\":\"a@b\","
            "\"T1055\":true,\"z\":null,\"a\":{}}");
  EXPECT_EQ(Write(Value()), "");
}

TEST(Writer, ReceivedValuesWriteAsReceived) {
  const std::string Text =
      R"({"n":[12.50,-0,1E3,1e-400,123456789012345678901234567890,0.1],)"
      R"("s":"\"\\\/\b\f\n\r\t\u0000\u001fAй","o":{"a":[],"a":{}},"t":true,"f":false,"z":null})";
  EXPECT_EQ(Write(ReadStrictObject(Text)), Text);
}

TEST(Writer, Numbers) {
  struct Case {
    double Number;
    const char* Json;
  };
  const double Inf = std::numeric_limits<double>::infinity();
  const Case Cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {12.5, "12.5"},
      {-12.5, "-12.5"},
      {100, "100"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {-2.0 / 3, "-0.666666666666667"},
      {0.0001, "0.0001"},
      {0.000123, "0.000123"},
      {1e-5, "1E-5"},
      {1.23e-5, "1.23E-5"},
      {-1.5e-7, "-1.5E-7"},
      {1e14, "100000000000000"},
      {999999999999999, "999999999999999"},
      {123456789012345.6, "123456789012346"},
      {12345678901234.5, "12345678901234.5"},
      {999999999999999.9, "1E15"},
      {1e15, "1E15"},
      {1e20, "1E20"},
      {123456789012345678.0, "1.23456789012346E17"},
      {-1234567890123456789.0, "-1.23456789012346E18"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {5e-324, "4.94065645841247E-324"},
      {std::nan(""), "NAN"},
      {Inf, "INF"},
      {-Inf, "-INF"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(Write(Value::Number(C.Number)), C.Json) << C.Json;
    EXPECT_EQ(FormatGeneral15(C.Number, '.'), C.Json);
  }
  EXPECT_EQ(FormatGeneral15(12.5, u','), u"12,5");
  EXPECT_EQ(FormatGeneral15(-1.5e20, u','), u"-1,5E20");
  EXPECT_EQ(FormatGeneral15(1e-5, ','), "1E-5");
}

// V rounded to 15 significant digits by printf (which is exact), in the
// general form.
std::string General15ByPrintf(double V) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.14e", V);
  std::string Digits;
  const char* P = Text;
  const bool Negative = *P == '-';
  if (Negative) ++P;
  for (; *P != 'e'; ++P)
    if (*P != '.') Digits += *P;
  const int Exponent = std::atoi(P + 1);
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  std::string Out = Negative ? "-" : "";
  if (Exponent > -5 && Exponent < 15) {
    if (Exponent < 0) return Out + "0." + std::string(-Exponent - 1, '0') + Digits;
    const auto Whole = static_cast<std::size_t>(Exponent) + 1;
    if (Digits.size() <= Whole) return Out + Digits + std::string(Whole - Digits.size(), '0');
    return Out + Digits.substr(0, Whole) + "." + Digits.substr(Whole);
  }
  Out += Digits.substr(0, 1);
  if (Digits.size() > 1) Out += "." + Digits.substr(1);
  return Out + "E" + std::to_string(Exponent);
}

TEST(Writer, NumbersAgreeWithPrintfRounding) {
  std::mt19937_64 Random(20261210);
  std::vector<double> Values;
  // Receipt totals: sums of amounts in kopecks, which are seldom exact.
  for (int I = 0; I < 20000; ++I) {
    double Sum = 0;
    for (int K = 0; K < 1 + I % 40; ++K) Sum += static_cast<double>(Random() % 10000000) / 100;
    Values.push_back(Sum);
    Values.push_back(Sum * 20 / 120);
  }
  // Any magnitude in and around the fixed range, and every bit pattern.
  std::uniform_real_distribution<double> Exponent(-8, 17);
  for (int I = 0; I < 50000; ++I) Values.push_back(std::pow(10.0, Exponent(Random)));
  for (int I = 0; I < 20000; ++I) {
    const std::uint64_t Bits = Random();
    double V;
    std::memcpy(&V, &Bits, sizeof V);
    if (std::isfinite(V)) Values.push_back(std::fabs(V));
  }
  // Next to powers of ten and to halves of the fifteenth digit.
  for (int E = -6; E <= 16; ++E) {
    double Down = std::pow(10.0, E), Up = Down;
    for (int K = 0; K < 4; ++K) {
      Values.push_back(Down = std::nextafter(Down, 0));
      Values.push_back(Up = std::nextafter(Up, 1e300));
    }
    for (int K = 1; K < 200; ++K)
      Values.push_back((123456789012345.0 + K + 0.5) * std::pow(10.0, E - 14));
  }
  for (const double V : Values) {
    ASSERT_EQ(FormatGeneral15(V, '.'), General15ByPrintf(V)) << std::hexfloat << V;
    ASSERT_EQ(FormatGeneral15(-V, '.'), V == 0 ? "0" : "-" + General15ByPrintf(V));
  }
}

TEST(Writer, Integers) {
  const std::int64_t Cases[] = {0, 7, -7, INT64_MAX, INT64_MIN};
  const char* const Json[] = {"0", "7", "-7", "9223372036854775807", "-9223372036854775808"};
  for (std::size_t I = 0; I < std::size(Cases); ++I)
    EXPECT_EQ(Write(Value::Integer(Cases[I])), Json[I]);
}

}  // namespace
