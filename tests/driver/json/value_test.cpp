// The value model: values copy deeply, move cheaply, and may be given one of
// their own parts.
#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#include "driver/json/json.h"

namespace {

using driver::json::Kind;
using driver::json::Value;
using driver::json::Write;

Value Sample() {
  Value Object = Value::Object();
  Object.Add("a", Value::Array()).Push(Value::StringUtf8("x"));
  Object.Add("b", Value::Integer(2));
  return Object;
}

TEST(Values, CopiesAreIndependent) {
  Value Original = Sample();
  Value Copy = Original;
  Copy.Members()[0].Val.Push(Value::Null());
  Copy.Add("c", Value::Boolean(true));
  EXPECT_EQ(Write(Original), R"({"a":["x"],"b":2})");
  EXPECT_EQ(Write(Copy), R"({"a":["x",null],"b":2,"c":true})");
  Original = Copy;
  EXPECT_EQ(Write(Original), Write(Copy));
}

TEST(Values, TakingOneOfItsOwnParts) {
  Value V = Sample();
  V = V.Members()[0].Val;
  EXPECT_EQ(Write(V), R"(["x"])");
  V = std::move(V.Elements()[0]);
  EXPECT_EQ(Write(V), R"("x")");
  Value& Self = V;
  V = std::move(Self);
  EXPECT_EQ(Write(V), R"("x")");
}

TEST(Values, EachKindShowsOnlyItsOwnParts) {
  const Value Values[] = {Value(),           Value::Null(),          Value::Boolean(false),
                          Value::Integer(5), Value::StringUtf8("s"), Sample(),
                          Value::Array()};
  const Kind Kinds[] = {Kind::Absent, Kind::Null,   Kind::False, Kind::Number,
                        Kind::String, Kind::Object, Kind::Array};
  const char* const Texts[] = {"", "", "", "5", "s", "", ""};
  for (std::size_t I = 0; I < std::size(Values); ++I) {
    EXPECT_EQ(Values[I].GetKind(), Kinds[I]);
    EXPECT_EQ(Values[I].Text(), Texts[I]);
    EXPECT_EQ(Values[I].Members().size(), Kinds[I] == Kind::Object ? 2u : 0u);
    EXPECT_TRUE(Values[I].Elements().empty());
  }
}

}  // namespace
