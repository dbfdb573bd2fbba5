// Typed readers, the text-to-Boolean rule and the text form of a value.
#include <gtest/gtest.h>

#include <string>

#include "base/text_rules.h"
#include "base/utf.h"
#include "driver/json/json.h"

namespace {

using namespace driver::json;

enum class Reader { Bool, Int, String, Array };

// The reader's outcome: "=" and the value read, or "!" and the failure text.
std::string Outcome(Reader R, const Value* V) {
  try {
    switch (R) {
      case Reader::Bool: return ReadBool(V) ? "=true" : "=false";
      case Reader::Int: return "=" + std::to_string(ReadInt(V));
      case Reader::String: return "=" + base::Utf16ToUtf8(ReadString(V));
      case Reader::Array: return "=" + Write(ReadArray(V));
    }
  } catch (const ReadError& E) {
    return std::string("!") + E.what();
  }
  return {};
}

// Runs each case on the value "v" of {"v":<Json>}; an empty Json stands for
// a member without value and "-" for a missing member.
struct Case {
  Reader R;
  std::string Json;
  std::string Expected;
  char16_t Separator = u'.';
};

void Check(const Case& C) {
  base::SetDecimalSeparator(C.Separator);
  const Value Answer =
      C.Json == "-" ? Value::Object() : ReadLenientObject(R"({"v":)" + C.Json + "}");
  EXPECT_EQ(Outcome(C.R, Find(Answer, "v")), C.Expected) << C.Json;
}

TEST(TypedReaders, Boolean) {
  const Case Cases[] = {
      {Reader::Bool, "true", "=true"},
      {Reader::Bool, "false", "=false"},
      {Reader::Bool, "1", "=true"},
      {Reader::Bool, "-2.5", "=true"},
      {Reader::Bool, "0", "=false"},
      {Reader::Bool, "0.0", "=false"},
      {Reader::Bool, "0E5", "=false"},
      {Reader::Bool, R"("TRUE")", "=true"},
      {Reader::Bool, R"("fAlSe")", "=false"},
      {Reader::Bool, R"("  7 ")", "=true"},
      {Reader::Bool, R"("0,5")", "=true", u','},
      {Reader::Bool, R"("0,5")", "!'0,5' is not a valid boolean value"},
      {Reader::Bool, "0.5", "!'0.5' is not a valid boolean value", u','},
      {Reader::Bool, R"("yes")", "!'yes' is not a valid boolean value"},
      {Reader::Bool, R"("")", "!'' is not a valid boolean value"},
      {Reader::Bool, R"("Истина")", "!'Истина' is not a valid boolean value"},
      {Reader::Bool, "null", "!Conversion from Null to Boolean is not supported"},
      {Reader::Bool, "{}", "!Conversion from Object to Boolean is not supported"},
      {Reader::Bool, "[true]", "!Conversion from Array to Boolean is not supported"},
      {Reader::Bool, "", "!Conversion from Absent to Boolean is not supported"},
      {Reader::Bool, "-", "!Conversion from Absent to Boolean is not supported"},
  };
  for (const Case& C : Cases) Check(C);
}

TEST(TypedReaders, Integer) {
  const Case Cases[] = {
      {Reader::Int, "true", "=1"},
      {Reader::Int, "false", "=0"},
      {Reader::Int, "12", "=12"},
      {Reader::Int, R"("12")", "=12"},
      {Reader::Int, "-2147483648", "=-2147483648"},
      {Reader::Int, R"("  0x1F")", "=31"},
      {Reader::Int, "2147483648", "!'2147483648' is not a valid integer value"},
      {Reader::Int, "12.5", "!'12.5' is not a valid integer value"},
      {Reader::Int, "12.0", "!'12.0' is not a valid integer value"},
      {Reader::Int, "1E3", "!'1E3' is not a valid integer value"},
      {Reader::Int, R"("12 ")", "!'12 ' is not a valid integer value"},
      {Reader::Int, R"("")", "!'' is not a valid integer value"},
      {Reader::Int, "null", "!Conversion from Null to Integer is not supported"},
      {Reader::Int, "{\"a\":1}", "!Conversion from Object to Integer is not supported"},
      {Reader::Int, "[1]", "!Conversion from Array to Integer is not supported"},
      {Reader::Int, "", "!Conversion from Absent to Integer is not supported"},
      {Reader::Int, "-", "!Conversion from Absent to Integer is not supported"},
  };
  for (const Case& C : Cases) Check(C);
}

TEST(TypedReaders, TextAndArray) {
  const Case Cases[] = {
      {Reader::String, R"("Чек \"1\"\n")", "=Чек \"1\"\n"},
      {Reader::String, "12.50", "=12.50"},
      {Reader::String, "1E3", "=1E3"},
      {Reader::String, "123456789012345678901", "=123456789012345678901"},
      {Reader::String, "true", "=true"},
      {Reader::String, "false", "=false"},
      {Reader::String, "null", "="},
      {Reader::String, "{}", "!Conversion from Object to string is not supported"},
      {Reader::String, "[]", "!Conversion from Array to string is not supported"},
      {Reader::String, "", "!Conversion from Absent to string is not supported"},
      {Reader::String, "-", "!Conversion from Absent to string is not supported"},
      {Reader::Array, "[1,\"a\",[]]", "=[1,\"a\",[]]"},
      {Reader::Array, "[]", "=[]"},
      {Reader::Array, "{}", "!Invalid class typecast"},
      {Reader::Array, R"("[1]")", "!Invalid class typecast"},
      {Reader::Array, "null", "!Invalid class typecast"},
      {Reader::Array, "", "!Invalid class typecast"},
      {Reader::Array, "-", "!Invalid class typecast"},
  };
  for (const Case& C : Cases) Check(C);
}

TEST(TypedReaders, ArrayIsTheOneInsideTheAnswer) {
  const Value Answer = ReadStrictObject(R"({"a":[1,2]})");
  EXPECT_EQ(&ReadArray(Find(Answer, "a")), Find(Answer, "a"));
}

TEST(TypedReaders, ValuesBuiltByTheDriverReadTheSame) {
  base::SetDecimalSeparator(u'.');
  const Value Number = Value::Number(12.5);
  EXPECT_EQ(ReadString(&Number), u"12.5");
  const Value Values[] = {Value::Integer(7), Value::NumberText("7"), Value::StringUtf8("7")};
  for (const Value& V : Values) EXPECT_EQ(ReadInt(&V), 7);
}

TEST(TextToBoolean, Rule) {
  struct BoolCase {
    std::u16string Text;
    char16_t Separator;
    std::optional<bool> Expected;
  };
  const BoolCase Cases[] = {
      {u"1", u'.', true},      {u"0", u'.', false},     {u"0.0", u'.', false},
      {u"-0.001", u'.', true}, {u"1e-300", u'.', true}, {u"0,5", u',', true},
      {u"0,0", u',', false},   {u"0.5", u',', {}},      {u"true", u'.', true},
      {u"FALSE", u'.', false}, {u"tRuE", u',', true},   {u" true", u'.', {}},
      {u"да", u'.', {}},       {u"", u'.', {}},         {u"1 2", u'.', {}},
  };
  for (const BoolCase& C : Cases) {
    base::SetDecimalSeparator(C.Separator);
    EXPECT_EQ(TextToBoolean(C.Text), C.Expected) << base::Utf16ToUtf8(C.Text);
    EXPECT_EQ(TextToBoolean(base::Utf16ToUtf8(C.Text)), C.Expected) << base::Utf16ToUtf8(C.Text);
  }
}

TEST(TextForm, Table) {
  struct FormCase {
    std::string Json;
    std::u16string Expected;
    char16_t Separator = u'.';
  };
  const FormCase Cases[] = {
      {R"("Привет\tмир")", u"Привет\tмир"},
      {R"("")", u""},
      {"12.50", u"12.5"},
      {"12.50", u"12,5", u','},
      {"100.0", u"100"},
      {"-0.0", u"0"},
      {"1E3", u"1000"},
      {"1.5e3", u"1500", u','},
      {"0.00001", u"1E-5"},
      {"0.12345678901234567", u"0.123456789012346"},
      {"1e-400", u"0"},
      {"-1e-400", u"0"},
      {"0.0000000000000000000000000000000000000000000000000000000000000000000000000000"
       "0000000000000000000000000000000000000000000000000000000000000000000000000000"
       "0000000000000000000000000000000000000000000000000000000000000000000000000000"
       "0000000000000000000000000000000000000000000000000000000000000000000000000000"
       "0000000000000000000000000000000000000001",
       u"0"},
      // Texts longer than 11 characters without "." are 64-bit integers.
      {"12345678901", u"12345678901"},
      {"123456789012", u"123456789012"},
      {"-12345678901", u"-12345678901"},
      {"1234567890123456789", u"1234567890123456789"},
      {"9223372036854775807", u"9223372036854775807"},
      {"-9223372036854775808", u"-9223372036854775808"},
      {"12345678901234.5", u"12345678901234,5", u','},
      {"1234567890123.25", u"1234567890123.25"},
      // No 64-bit integer: read as a double.
      {"9223372036854775808", u"9.22337203685478E18"},
      {"123456789e10", u"1.23456789E18"},
      {"1234567890E-5", u"12345,6789", u','},
      {"true", u"true"},
      {"false", u"false"},
      {"null", u"null"},
      {"{\"a\":1}", u""},
      {"[1]", u""},
      {"", u""},
  };
  for (const FormCase& C : Cases) {
    base::SetDecimalSeparator(C.Separator);
    const Value Answer = ReadLenientObject(R"({"v":)" + C.Json + "}");
    EXPECT_EQ(TextForm(Find(Answer, "v")), C.Expected) << C.Json;
  }
  EXPECT_EQ(TextForm(nullptr), u"");
  // A number text the driver made too large for a double keeps its text.
  const Value Huge = Value::NumberText("1e400");
  EXPECT_EQ(TextForm(&Huge), u"1e400");
}

}  // namespace
