// Faults the fuzz targets found in the driver's readers, one test each,
// named after the fault.
#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"
#include "driver/json/json.h"
#include "driver/xml_wellformed.h"

#if defined(KELVO_HAVE_EXPAT)
#include <expat.h>
#endif

namespace {

using namespace driver::json;

// json_lenient: an exponent at the limit of a long overflowed the sum of
// exponent and mantissa digits that tells too small from too large
// (undefined behaviour; such a number read as "0").
TEST(FoundByFuzzing, AnExponentAtTheLimitOfALongOverflowedTheTextForm) {
  const std::string Zeros(100, '0');
  const struct {
    std::string Number;
    std::u16string Expected;
  } Cases[] = {
      {"666666e" + Zeros + "9223372036854775807",
       u"666666e" + base::WidenBytes(Zeros) + u"9223372036854775807"},
      {"5e9223372036854775807", u"5e9223372036854775807"},
      {"5e-9223372036854775808", u"0"},
      {"5e99999999999999999999", u"5e99999999999999999999"},
      {"5e-99999999999999999999", u"0"},
      {"0." + Zeros + "5e+9223372036854775807",
       u"0." + base::WidenBytes(Zeros) + u"5e+9223372036854775807"},
  };
  for (const auto& C : Cases) {
    const Value Answer = ReadLenientObject(R"({"v":)" + C.Number + "}");
    EXPECT_EQ(TextForm(Find(Answer, "v")), C.Expected) << C.Number;
  }
}

// answer_decoding: repairing an answer with a lone surrogate put the broken
// number after it back as a value's text.
TEST(FoundByFuzzing, TheAnswerRepairPutABrokenNumberBackAsAValue) {
  const auto Shape = [](const Value& V) {
    std::string Out;
    for (const Member& M : V.Members())
      Out += (Out.empty() ? "" : ";") + M.Name + "=" + (M.Val.IsAbsent() ? "?" : Write(M.Val));
    return Out;
  };
  EXPECT_EQ(Shape(ReadLenientObject(R"({"a":"\ud83d","b":0e})")), "a=\"\xEF\xBF\xBD\";b=?");
  EXPECT_EQ(Shape(ReadStrictObject(R"({"a":"\ud83d","b":0e})")), "");
}

// host_xml_check: the well-formedness check refused declarations whose
// version Expat, a conforming parser, accepts.
TEST(FoundByFuzzing, TheXmlCheckRefusedDeclarationVersionsExpatAccepts) {
  for (const char* Text : {"<?xml version=\"\"?><a/>", "<?xml version=\"2.0-beta_x\"?><a/>"}) {
    EXPECT_TRUE(driver::CheckWellFormedXml(Text)) << Text;
#if defined(KELVO_HAVE_EXPAT)
    XML_Parser Parser = XML_ParserCreate("UTF-8");
    EXPECT_EQ(XML_Parse(Parser, Text, static_cast<int>(std::char_traits<char>::length(Text)), 1),
              XML_STATUS_OK)
        << Text;
    XML_ParserFree(Parser);
#endif
  }
}

}  // namespace
