// Reading answers: the lenient reading of GET answers and the strict reading
// of POST answers.
#include <gtest/gtest.h>

#include <string>

#include "driver/json/json.h"

namespace {

using driver::json::Find;
using driver::json::Kind;
using driver::json::ReadLenientObject;
using driver::json::ReadStrictObject;
using driver::json::Value;
using driver::json::Write;

// The members of an answer as name=JSON text, a member without value as name=?.
std::string Shape(const Value& Answer) {
  EXPECT_EQ(Answer.GetKind(), Kind::Object);
  std::string Out;
  for (const auto& M : Answer.Members()) {
    if (!Out.empty()) Out += ';';
    Out += M.Name + '=' + (M.Val.IsAbsent() ? "?" : Write(M.Val));
  }
  return Out;
}

// Text holding an object nested Depth levels deep in all.
std::string Nested(std::size_t Depth, bool Closed = true) {
  std::string Text = R"({"ok":true,"a":)" + std::string(Depth - 1, '[');
  if (Closed) Text += std::string(Depth - 1, ']') + "}";
  return Text;
}

struct Case {
  std::string Text;
  std::string Shape;
};

TEST(LenientReading, Table) {
  const Case Cases[] = {
      {R"({"ok":true,"data":{"T1":1}})", R"(ok=true;data={"T1":1})"},
      {" \r\n\t{\"a\":1}", "a=1"},
      // What follows the closing brace is ignored.
      {R"({"a":1} trailing text)", "a=1"},
      {R"({"a":1}{"b":2})", "a=1"},
      {std::string("{\"a\":1}\0{", 9), "a=1"},
      // Broken inside: the members read so far stay.
      {R"({"ok":true,"da)", "ok=true"},
      {R"({"ok":true,"data")", "ok=true;data=?"},
      {R"({"ok":true,"data":)", "ok=true;data=?"},
      {R"({"ok":true,"data":{"T1":1,"T2":)", "ok=true;data=?"},
      {R"({"ok":true,"data":{"T1":[1,2]}, x)", R"(ok=true;data={"T1":[1,2]})"},
      {R"({"a":[1,{"b":2},)", "a=?"},
      {R"({"a":tru})", "a=?"},
      {R"({"a":"abc)", "a=?"},
      {R"({"a":1.})", "a=?"},
      {R"({"a":1 "b":2})", "a=1"},
      {R"({"a":1,"b":2,})", "a=1;b=2"},
      {std::string("{\"a\":1,\0\"b\":2}", 14), "a=1"},
      {R"({"a":1e400,"b":2})", "a=1e400;b=2"},
      // Ill-formed UTF-8 breaks the text where it stands.
      {"{\"a\":1,\"b\":\"x\xFFy\",\"c\":3}", "a=1;b=?"},
      {"{\"a\":1,\"b\xC3\":2}", "a=1"},
      {"{\"a\":\"\xED\xA0\x80\"}", "a=?"},
      // A lone surrogate written as an escape becomes U+FFFD.
      {R"({"a":"x\udc00y"})", "a=\"x\xEF\xBF\xBDy\""},
      {R"({"a":"\ud83d\ude00"})", "a=\"\xF0\x9F\x98\x80\""},
      // Duplicate names are kept, in order.
      {R"({"a":1,"b":2,"a":3})", "a=1;b=2;a=3"},
      // Anything but an object: nothing.
      {"", ""},
      {"   ", ""},
      {R"([{"a":1}])", ""},
      {R"("text")", ""},
      {"12", ""},
      {"<html><body>502 Bad Gateway</body></html>", ""},
      {"\xEF\xBB\xBF{\"a\":1}", ""},
      {"{", ""},
      {"{}", ""},
      // Depth: the outermost object counts as the first level.
      {Nested(256), "ok=true;a=" + Nested(256).substr(15, 2 * 255)},
      {Nested(257), ""},
      {Nested(256, false), "ok=true;a=?"},
      {Nested(257, false), ""},
      {Nested(100000, false), ""},
  };
  for (const Case& C : Cases) EXPECT_EQ(Shape(ReadLenientObject(C.Text)), C.Shape) << C.Text;
}

TEST(LenientReading, FindGivesTheFirstMemberOfAName) {
  const Value Answer = ReadLenientObject(R"({"a":1,"b":{"a":4},"a":3,"c")");
  ASSERT_NE(Find(Answer, "a"), nullptr);
  EXPECT_EQ(Find(Answer, "a")->Text(), "1");
  EXPECT_EQ(Find(Answer, "x"), nullptr);
  ASSERT_NE(Find(Answer, "c"), nullptr);
  EXPECT_TRUE(Find(Answer, "c")->IsAbsent());
  EXPECT_EQ(Find(*Find(Answer, "b"), "a")->Text(), "4");
  EXPECT_EQ(Find(*Find(Answer, "a"), "a"), nullptr);
}

TEST(StrictReading, Table) {
  const Case Cases[] = {
      {R"({"a":1})", "a=1"},
      {" \r\n\t{\"a\":1} \r\n\t", "a=1"},
      {R"({"a":1,"a":2})", "a=1;a=2"},
      {R"({"ok":false,"errors":[{"f":"T1"}]})", R"(ok=false;errors=[{"f":"T1"}])"},
      {"{}", ""},
      {"", ""},
      {"  ", ""},
      {"[1]", ""},
      {R"("x")", ""},
      {"12", ""},
      {"null", ""},
      {R"({"a":1} x)", ""},
      {R"({"a":1}{})", ""},
      {R"({"a":1})", "a=1"},
      {std::string("{\"a\":1}\0", 8), ""},
      {R"({"a":1)", ""},
      {R"({"a":1,})", ""},
      {"{\"a\":\"\xFF\"}", ""},
      {"<html></html>", ""},
      {Nested(256), "ok=true;a=" + Nested(256).substr(15, 2 * 255)},
      {Nested(257), ""},
  };
  for (const Case& C : Cases) EXPECT_EQ(Shape(ReadStrictObject(C.Text)), C.Shape) << C.Text;
}

TEST(Reading, EscapesAreResolved) {
  const Value Answer = ReadStrictObject(R"({"s":"\"\\\/\b\f\n\r\t\u0000\u0041\u0439"})");
  EXPECT_EQ(Find(Answer, "s")->Text(), std::string("\"\\/\b\f\n\r\t\0A\xD0\xB9", 12));
}

}  // namespace

namespace {

// A lone surrogate escape gives U+FFFD, and a number beyond the range of a
// double keeps its received text: the rest of the answer reads normally, in
// both readings.
TEST(EdgeValues, LoneSurrogatesAndHugeNumbersLeaveTheAnswerUsable) {
  const Case Cases[] = {
      {R"({"ok":true,"message":"cut \ud83d"})", "ok=true;message=\"cut \xEF\xBF\xBD\""},
      {R"({"ok":true,"message":"\ud83d\u0041"})",
       "ok=true;message=\"\xEF\xBF\xBD"
       "A\""},
      {R"({"ok":true,"message":"\udc00x"})", "ok=true;message=\"\xEF\xBF\xBDx\""},
      {R"({"message":"\ud83d\ude00 \\ud83d","ok":true})",
       "message=\"\xF0\x9F\x98\x80 \\\\ud83d\";ok=true"},
      {R"({"ok":true,"data":{"T1":1e400,"T2":-1E+400,"T3":2.5e-400,"T4":7}})",
       "ok=true;data={\"T1\":1e400,\"T2\":-1E+400,\"T3\":2.5e-400,\"T4\":7}"},
      {R"({"ok":true,"n":)" + std::string(400, '9') + "}", "ok=true;n=" + std::string(400, '9')},
      {R"({"ok":true,"a":[1e999,"\ud800",1.5e3],"b":"e"})",
       "ok=true;a=[1e999,\"\xEF\xBF\xBD\",1.5e3];b=\"e\""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    EXPECT_EQ(Shape(ReadStrictObject(C.Text)), C.Shape);
    EXPECT_EQ(Shape(ReadLenientObject(C.Text)), C.Shape);
  }
  // The text form of a number beyond the range is its text; the integer
  // reader still refuses it.
  const Value Answer = ReadStrictObject(R"({"n":1e400,"m":-1e400})");
  EXPECT_EQ(driver::json::TextForm(Find(Answer, "n")), u"1e400");
  EXPECT_EQ(driver::json::TextForm(Find(Answer, "m")), u"-1e400");
  EXPECT_THROW(driver::json::ReadInt(Find(Answer, "n")), driver::json::ReadError);
  // Still broken after the repair: nothing in the strict reading.
  EXPECT_EQ(Shape(ReadStrictObject(R"({"ok":true,"n":1e400,})")), "");
}

}  // namespace
