// The host value writers and readers and their memory rule, on a frame object
// whose memory manager is the harness's tracking one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "base/text_rules.h"
#include "tools/harness/host_memory.h"
#include "tools/harness/host_values.h"
#include "v8napi/user_object.h"

namespace {

using harness::HostValue;

class HostValues : public ::testing::Test {
 protected:
  void SetUp() override { Object.V8MM = Memory.HostObject(); }
  void TearDown() override {
    Object.V8ClearVar(&A);
    Object.V8ClearVar(&B);
    EXPECT_TRUE(Memory.Balanced()) << Memory.Report();
  }
  V8Variant Make(const HostValue& Value) {
    V8Variant V;
    harness::ToVariant(Value, V, Memory);
    return V;
  }

  harness::TrackingMemoryManager Memory;
  TV8UserObject Object;
  V8Variant A{}, B{};
};

TEST_F(HostValues, EmptyStringIsATerminatorOnlyBlock) {
  EXPECT_TRUE(Object.V8SetString(&A, ""));
  EXPECT_EQ(A.vt, VTYPE_PSTR);
  EXPECT_EQ(A.VarEnum.vtRecString.strLen, 0u);
  ASSERT_NE(A.VarEnum.vtRecString.pstrVal, nullptr);
  EXPECT_EQ(A.VarEnum.vtRecString.pstrVal[0], 0);
  EXPECT_EQ(Memory.Outstanding(), 1u);
}

TEST_F(HostValues, WritingOverAStringReturnsItsBlock) {
  Object.V8SetString(&A, "first");
  Object.V8SetString(&A, "second");
  EXPECT_EQ(Memory.Outstanding(), 1u);
  Object.V8SetInt(&A, 5);
  EXPECT_EQ(Memory.Outstanding(), 0u);
  EXPECT_EQ(A.vt, VTYPE_I4);
  EXPECT_EQ(A.cbElements, 0u);
}

TEST_F(HostValues, WideStringAsksForTwoBytesPerCharacterPlusTerminator) {
  const std::size_t Before = Memory.Allocations();
  EXPECT_TRUE(Object.V8SetWString(&A, u"abc"));
  EXPECT_EQ(Memory.Allocations(), Before + 1);
  EXPECT_EQ(A.vt, VTYPE_PWSTR);
  EXPECT_EQ(A.VarEnum.vtRecWideString.wstrLen, 3u);
  EXPECT_EQ(std::u16string(A.VarEnum.vtRecWideString.pwstrVal), u"abc");
}

TEST_F(HostValues, NullTextsLeaveTheValueAlone) {
  Object.V8SetInt(&A, 9);
  EXPECT_TRUE(Object.V8SetPChar(&A, nullptr));
  EXPECT_TRUE(Object.V8SetBlob(&A, nullptr, 3));
  EXPECT_EQ(A.vt, VTYPE_I4);
  EXPECT_EQ(A.VarEnum.lVal, 9);
}

TEST_F(HostValues, RefusedMemoryLeavesATypedValueWithoutBuffer) {
  Memory.SetRefuseAll(true);
  EXPECT_FALSE(Object.V8SetString(&A, "text"));
  EXPECT_EQ(A.vt, VTYPE_PSTR);
  EXPECT_EQ(A.VarEnum.vtRecString.pstrVal, nullptr);
  EXPECT_EQ(A.VarEnum.vtRecString.strLen, 0u);
  EXPECT_FALSE(Object.V8SetWString(&A, u"text"));
  EXPECT_FALSE(Object.V8SetBlob(&A, "x", 1));
  EXPECT_EQ(Object.V8AllocWideString(u"name"), nullptr);
  Object.V8SetBool(&A, true);
  EXPECT_EQ(A.vt, VTYPE_BOOL);
  Memory.SetRefuseAll(false);

  TV8UserObject Unset;
  EXPECT_EQ(Unset.V8AllocWideString(u"name"), nullptr) << "no memory manager yet";
}

TEST_F(HostValues, CopyGivesTheDestinationItsOwnBuffer) {
  Object.V8SetWString(&A, u"копия");
  EXPECT_TRUE(Object.V8CopyVar(&A, &B));
  EXPECT_NE(B.VarEnum.vtRecWideString.pwstrVal, A.VarEnum.vtRecWideString.pwstrVal);
  Object.V8ClearVar(&A);
  EXPECT_EQ(std::u16string(B.VarEnum.vtRecWideString.pwstrVal), u"копия");
  EXPECT_EQ(B.VarEnum.vtRecWideString.wstrLen, 5u);

  const char Bytes[] = {1, 0, 2};
  Object.V8SetBlob(&A, Bytes, 3);
  Object.V8ClearVar(&B);
  EXPECT_TRUE(Object.V8CopyVar(&A, &B));
  EXPECT_EQ(std::memcmp(B.VarEnum.vtRecString.pstrVal, Bytes, 3), 0);

  Memory.SetRefuseAll(true);
  V8Variant C;
  EXPECT_FALSE(Object.V8CopyVar(&A, &C));
  EXPECT_EQ(C.vt, VTYPE_EMPTY) << "a refused copy leaves the destination empty";
  Memory.SetRefuseAll(false);
}

TEST_F(HostValues, ReadersFollowTheTypeCode) {
  struct Case {
    HostValue Value;
    std::int32_t Int;
    double Double;
    bool Bool;
    std::string String;
  };
  base::SetDecimalSeparator(u'.');
  const Case Cases[] = {
      {HostValue::I4(2), 2, 2, true, ""},
      {HostValue::I4(0), 0, 0, false, ""},
      {HostValue::R8(7.9), 7, 7.9, true, ""},
      {HostValue::R8(-7.9), -7, -7.9, true, ""},
      {HostValue::R8(0.4), 0, 0.4, false, ""},
      {HostValue::Boolean(true), 0, 0, true, ""},
      {HostValue::Boolean(false), 0, 0, false, ""},
      {HostValue::WStr(u"42"), 42, 42, true, "42"},
      {HostValue::WStr(u"4.2"), 0, 4.2, false, "4.2"},
      {HostValue::WStr(u"12.5"), 0, 12.5, false, "12.5"},
      {HostValue::WStr(u"true"), 0, 0, false, "true"},
      {HostValue::WStr(u""), 0, 0, false, ""},
      {HostValue::WStr(u"Привет ☃"), 0, 0, false, "\xCF\xF0\xE8\xE2\xE5\xF2 ?"},
      {HostValue::Str(u"42"), 0, 0, false, "42"},
      {HostValue::OfType(VTYPE_I2, 300), 300, 300, true, ""},
      {HostValue::OfType(VTYPE_UI1, 255), 255, 255, true, ""},
      {HostValue::OfType(VTYPE_ERROR, -3), -3, -3, true, ""},
      {HostValue::Date(2.5), 2, 2.5, true, ""},
      {HostValue::OfType(VTYPE_UI4, 5), 0, 0, false, ""},
      {HostValue::Empty(), 0, 0, false, ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value.Describe());
    V8Variant V = Make(C.Value);
    EXPECT_EQ(V8GetInt(&V), C.Int);
    EXPECT_DOUBLE_EQ(V8GetDouble(&V), C.Double);
    EXPECT_EQ(V8GetBool(&V), C.Bool);
    EXPECT_EQ(V8GetString(&V), C.String);
    // Flag bits above the type code are ignored.
    V.vt |= 0x4000;
    EXPECT_EQ(V8GetInt(&V), C.Int);
    EXPECT_EQ(V8GetString(&V), C.String);
    harness::ReleaseVariant(V, Memory);
  }
}

TEST_F(HostValues, StringReadersStopAtLengthOrTerminator) {
  V8Variant Wide = Make(HostValue::WStr(u"abcdef"));
  Wide.VarEnum.vtRecWideString.wstrLen = 3;
  EXPECT_EQ(V8GetString(&Wide), "abc");
  harness::ReleaseVariant(Wide, Memory);

  V8Variant Narrow = Make(HostValue::StrBytes(std::string("ab\0cd", 5)));
  EXPECT_EQ(V8GetString(&Narrow), "ab");
  harness::ReleaseVariant(Narrow, Memory);

  // A wide text without terminator is read no further than its length.
  char16_t Unterminated[4] = {u'1', u'2', u'3', u'4'};
  V8Variant Raw{};
  Raw.vt = VTYPE_PWSTR;
  Raw.VarEnum.vtRecWideString.pwstrVal = Unterminated;
  Raw.VarEnum.vtRecWideString.wstrLen = 2;
  EXPECT_EQ(V8GetInt(&Raw), 12);
  Raw.VarEnum.vtRecWideString.pwstrVal = nullptr;
  EXPECT_EQ(V8GetInt(&Raw), 0);
  EXPECT_EQ(V8GetString(&Raw), "");
}

// Run with LC_ALL=ru_RU.UTF-8 (see tests/CMakeLists.txt): the separator starts
// as the user's comma, and "." holds once it is set.
TEST(CommaLocale, SeparatorStartsFromTheUsersSettings) {
  ASSERT_NE(std::getenv("KELVO_EXPECT_COMMA"), nullptr) << "run through ctest";
  EXPECT_EQ(base::DecimalSeparator(), u',');
  double Value = 0;
  EXPECT_TRUE(base::TryParseDouble(std::string_view("12,5"), Value));
  EXPECT_DOUBLE_EQ(Value, 12.5);
  EXPECT_FALSE(base::TryParseDouble(std::string_view("12.5"), Value));

  harness::TrackingMemoryManager Memory;
  V8Variant V;
  harness::ToVariant(harness::HostValue::WStr(u"12.5"), V, Memory);
  EXPECT_EQ(V8GetDouble(&V), 0) << "12.5 is no number while the separator is a comma";
  base::SetDecimalSeparator(u'.');
  EXPECT_EQ(V8GetDouble(&V), 12.5);
  harness::ReleaseVariant(V, Memory);
}

}  // namespace
