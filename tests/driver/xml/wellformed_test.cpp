// What counts as a well-formed host document: XML 1.0's rules, with a
// document type declaration refused.
#include <gtest/gtest.h>

#include <string>

#include "driver/xml_wellformed.h"

#if defined(KELVO_HAVE_EXPAT)
#include <expat.h>
#endif

namespace {

#if defined(KELVO_HAVE_EXPAT)
bool ExpatAccepts(const std::string& Utf8) {
  XML_Parser Parser = XML_ParserCreate("UTF-8");
  const bool Accepted =
      XML_Parse(Parser, Utf8.data(), static_cast<int>(Utf8.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(Parser);
  return Accepted;
}
#endif

struct Case {
  const char* Text;
  bool WellFormed;
};

const Case kCases[] = {
    // Accepted.
    {"<a/>", true},
    {"\xEF\xBB\xBF<a/>", true},
    {"<?xml version=\"1.0\"?><a/>", true},
    {"<?xml version='1.0' encoding='windows-1251' standalone='no' ?>\n<a/>\n", true},
    {"<a b=\"1\" c='2' d = \"3\"></a >", true},
    {"<a b=\"&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x1F600;\"/>", true},
    {"<a>text &amp; more<![CDATA[<&]]>]<!-- c - c --><?pi data?></a>", true},
    {"<!-- before --><?pi?><a/><!-- after --><?pi?> \r\n", true},
    {"<Чек Сумма=\"1\"><x:y z.w-1=\"\"/></Чек>", true},
    {"<a>\t\n\r</a>", true},
    {"<a b=\"'\" c='\"'>\"'></a>", true},
    {"<a><b><c/></b><b/></a>", true},
    {"<a>\xF0\x9F\x98\x80\xEF\xBF\xBD</a>", true},
    // Refused.
    {"", false},
    {"   ", false},
    {"<a b=\"1\" b=\"2\"/>", false},
    {"<a b=\"&nbsp;\"/>", false},
    {"<a>&nbsp;</a>", false},
    {"<a b=\"A & B\"/>", false},
    {"<a>A & B</a>", false},
    {"<a b=\"&amp\"/>", false},
    {"<a b=\"a<b\"/>", false},
    {"<a/>tail", false},
    {"<a/><b/>", false},
    {"<a b=\"&#0;\"/>", false},
    {"<a>&#1;</a>", false},
    {"<a>&#xD800;</a>", false},
    {"<a>&#xFFFE;</a>", false},
    {"<a>&#x110000;</a>", false},
    {"<a>&#X41;</a>", false},
    {"<a>&#;</a>", false},
    {"<a>\x01</a>", false},
    {"<a b=\"\x1F\"/>", false},
    {"<a>\xEF\xBF\xBE</a>", false},
    {"<a>\xC0\x80</a>", false},
    {"<!DOCTYPE a><a/>", false},
    {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
    {"<a></b>", false},
    {"<a><b></a></b>", false},
    {"<a>", false},
    {"<a b=\"1\"", false},
    {"<a b=\"1\"c=\"2\"/>", false},
    {"<a b=1/>", false},
    {"<a b/>", false},
    {"<a><!-- x -- y --></a>", false},
    {"<a><!-- x ---></a>", false},
    {" <?xml version=\"1.0\"?><a/>", false},
    {"<a><?xml version=\"1.0\"?></a>", false},
    {"<?xml encoding=\"UTF-8\"?><a/>", false},
    {"<?xml version=\"1.0 \"?><a/>", false},
    {"<?xml version=\"1:.0\"?><a/>", false},
    {"<a>]]></a>", false},
    {"x<a/>", false},
    {"<1a/>", false},
    {"<a 1b=\"\"/>", false},
    {"<a><![CDATA[x</a>", false},
    {"<a><!ELEMENT a ANY></a>", false},
    {"<a>\xC3\x97</a><\xC3\x97/>", false},
    // Names that repeat those of the element before, or nearly.
    {"<a><b x=\"1\" y=\"2\"/><b x=\"3\" y=\"4\"/><b x=\"5\" y=\"6\"></b></a>", true},
    {"<a><b x=\"1\" y=\"2\"/><b x=\"1\" x=\"2\"/></a>", false},
    {"<a><b x=\"1\" y=\"2\"/><b x=\"1\" y=\"2\" x=\"3\"/></a>", false},
    {"<a><b x=\"1\" y=\"2\"/><b y=\"1\" x=\"2\" y=\"3\"/></a>", false},
    {"<a><b x=\"1\"/><b xy=\"1\" x=\"2\"/><b x=\"1\" xy=\"2\"/></a>", true},
    {"<a><b x=\"1\"/><b x\xC3\x97=\"1\"/></a>", false},
    {"<a><b x=\"1\"/><b x\xD0\x96=\"1\"/></a>", true},
    {"<ab></a>", false},
    {"<a></ab>", false},
    {"<ab><ab></ab></a>", false},
    {"<a><b/><b1/><b/></a>", true},
};

TEST(XmlWellFormedness, EachCaseAsXmlRulesHaveIt) {
  for (const Case& C : kCases) {
    SCOPED_TRACE(C.Text);
    const driver::XmlCheck Check = driver::CheckWellFormedXml(C.Text);
    EXPECT_EQ(static_cast<bool>(Check), C.WellFormed) << (Check.Fault ? Check.Fault : "");
#if defined(KELVO_HAVE_EXPAT)
    const bool DocumentType = std::string(C.Text).find("<!DOCTYPE") != std::string::npos;
    if (!DocumentType) {
      EXPECT_EQ(ExpatAccepts(C.Text), C.WellFormed) << "Expat disagrees";
    }
#endif
  }
}

TEST(XmlWellFormedness, FaultsSayWhatAndWhere) {
  const driver::XmlCheck Check = driver::CheckWellFormedXml("<a b=\"1\" b=\"2\"/>");
  ASSERT_FALSE(Check);
  EXPECT_STREQ(Check.Fault, "an attribute given twice");
  EXPECT_EQ(driver::CheckWellFormedXml("<a>&nbsp;</a>").Offset, 3u);
}

// Depth and breadth cost no call stack and no more than linear time.
TEST(XmlWellFormedness, DeepAndWideDocuments) {
  std::string Deep;
  for (int I = 0; I < 100000; ++I) Deep += "<a>";
  for (int I = 0; I < 100000; ++I) Deep += "</a>";
  EXPECT_TRUE(driver::CheckWellFormedXml(Deep));
  std::string Wide = "<a";
  for (int I = 0; I < 20000; ++I) Wide += " b" + std::to_string(I) + "=\"\"";
  EXPECT_TRUE(driver::CheckWellFormedXml(Wide + "/>"));
  EXPECT_FALSE(driver::CheckWellFormedXml(Wide + " b7=\"\"/>"));
}

}  // namespace
