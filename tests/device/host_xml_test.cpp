// Host XML documents both ways. Input: only a well-formed XML 1.0 document is
// read; anything else ends the call before anything is sent, with outputs and
// error state untouched (a lenient reading could turn a sale into a refund or
// cut a cashier's name). Output: every document handed back parses, whatever
// characters the register's answer held.
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const std::string kPosition =
    R"(<Positions><FiscalString Name="Молоко" Quantity="2" PriceWithDiscount="10.5" )"
    R"(SumWithDiscount="21" Tax="10" TaxSum="1.91" SignMethodCalculation="4" )"
    R"(SignCalculationObject="1"/></Positions>)";
const std::string kBody =
    R"({"T1054":"1","T1055":"1","T1059":[{"T1214":4,"T1212":1,"T1030":"Молоко","T1079":10.5,)"
    R"("T1023":2,"T1199":2,"T1200":1.91,"T1043":21}],"T1020":21,"T1031":21,"T1081":0,"T1103":1.91})";

std::string Package(const std::string& Parameters, const std::string& After = "") {
  return kDeclaration + "<CheckPackage>" + Parameters + R"(<Payments Cash="50"/>)" + kPosition +
         "</CheckPackage>" + After;
}

class StrictHostXml : public DeviceTest {
 protected:
  CallResult Check(const std::string& Package) {
    return Call(u"ProcessCheck",
                {Device(), HostValue::Boolean(false), S(U(Package)), Out(), Out(), Out(), Out()});
  }
  // A recognisable error state: a GET whose answer lacks "ok".
  void MarkErrorState() {
    Answer("/api/1/register/info", "{}", "application/json", 200, 1);
    Call(u"GetDataKKT", {Device(), Out()});
  }
  void ExpectRefusedAndNothingSent(const CallResult& R, std::size_t FirstOut) {
    EXPECT_FALSE(R.Routine) << "the host's call fails";
    EXPECT_EQ(R.Ret.Type, VTYPE_EMPTY);
    for (std::size_t I = FirstOut; I < R.Params.size(); ++I)
      EXPECT_EQ(R.Params[I].Type, VTYPE_EMPTY) << I;
  }
};

TEST_F(StrictHostXml, PackagesThatAreNotWellFormedSendNothing) {
  const std::string P = R"(<Parameters PaymentType="1" TaxVariant="0"/>)";
  const struct {
    const char* What;
    std::string Package;
  } Cases[] = {
      {"duplicate attribute (a refund)",
       Package(R"(<Parameters PaymentType="1" PaymentType="2" TaxVariant="0"/>)")},
      {"undeclared entity", Package(R"(<Parameters PaymentType="1" CashierName="A&nbsp;B"/>)")},
      {"bare ampersand", Package(R"(<Parameters PaymentType="1" CashierName="A & B"/>)")},
      {"ampersand without semicolon", Package(R"(<Parameters CashierName="A&amp B"/>)")},
      {"< in an attribute value", Package(R"(<Parameters PaymentType="1" CashierName="A<B"/>)")},
      {"text after the document element", Package(P, "tail")},
      {"a second document element", Package(P, "<CheckPackage/>")},
      {"reference to character 0", Package(R"(<Parameters CashierName="Иванова&#0;Anna"/>)")},
      {"reference to a control character", Package(R"(<Parameters CashierName="A&#x1;"/>)")},
      {"reference to a surrogate", Package(R"(<Parameters CashierName="A&#xD800;"/>)")},
      {"reference to U+FFFE", Package(R"(<Parameters CashierName="A&#65534;"/>)")},
      {"reference beyond Unicode", Package(R"(<Parameters CashierName="&#x110000;"/>)")},
      {"malformed reference", Package(R"(<Parameters CashierName="&#x;"/>)")},
      {"raw control character", Package("<Parameters CashierName=\"A\x01\"/>")},
      {"document type declaration", kDeclaration + "<!DOCTYPE CheckPackage [<!ENTITY e \"2\">]>" +
                                        Package(P).substr(kDeclaration.size())},
      {"mismatched end tag", kDeclaration + "<CheckPackage>" + P + kPosition + "</Check>"},
      {"unclosed element", kDeclaration + "<CheckPackage>" + P + kPosition},
      {"unclosed start tag", kDeclaration + "<CheckPackage>" + R"(<Parameters PaymentType="1")"},
      {"attributes run together", Package(R"(<Parameters PaymentType="1"TaxVariant="0"/>)")},
      {"unquoted attribute", Package(R"(<Parameters PaymentType=1/>)")},
      {"-- inside a comment", Package(P + "<!-- a -- b -->")},
      {"XML declaration not at the start", " " + Package(P)},
      {"]]> in text", Package(P + "]]>")},
      {"text before the document element", "x" + Package(P).substr(kDeclaration.size())},
      {"no document element", kDeclaration + "<!-- nothing -->"},
  };
  MarkErrorState();
  const std::size_t Before = Requests().size();
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    ExpectRefusedAndNothingSent(Check(C.Package), 3);
  }
  EXPECT_EQ(Requests().size(), Before) << "nothing was sent";
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{3}, std::u16string(u"Неверный ответ!")));
}

TEST_F(StrictHostXml, WellFormedFormsLoadAsBefore) {
  const std::string Inside = R"(<Payments Cash="50"/>)" + kPosition;
  const std::string Parameters = R"(<Parameters PaymentType="1" TaxVariant="0"/>)";
  const std::string Cases[] = {
      Package(Parameters),
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?><CheckPackage>" +
          Parameters + Inside + "</CheckPackage>",
      "<CheckPackage>" + Parameters + Inside + "</CheckPackage>\n",
      Package(R"(<Parameters PaymentType = '1' TaxVariant="&#48;"/><!-- a comment -->)"),
      Package(R"(<?note kept aside?><Parameters PaymentType="&#x31;" TaxVariant="0" )"
              R"(Note="&lt;&gt;&amp;&quot;&apos;"></Parameters><![CDATA[ <&> ]]>)"),
      kDeclaration + "<!-- before --><?pi?>\n<CheckPackage >" + Parameters + Inside +
          "</CheckPackage >\n<!-- after --><?pi after?>",
  };
  std::vector<HostValue> Texts;
  for (const std::string& P : Cases) Texts.push_back(S(U(P)));
  // A byte-order mark the host put first, as a wide text and as UTF-8 bytes
  // in an 8-bit text (the rest in Windows-1251).
  Texts.push_back(W(u"\uFEFF" + U(Package(Parameters))));
  Texts.push_back(HostValue::StrBytes("\xEF\xBB\xBF" + S(U(Package(Parameters))).Bytes));
  for (const HostValue& P : Texts) {
    SCOPED_TRACE(Utf8(P.Text));
    Answer("/api/1/receipt", R"({"ok":true,"data":{"T1042":7}})", "application/json", 200, 1);
    const CallResult R =
        Call(u"ProcessCheck", {Device(), HostValue::Boolean(false), P, Out(), Out(), Out(), Out()});
    EXPECT_TRUE(R.Routine);
    EXPECT_TRUE(R.Ret.Bool);
    EXPECT_EQ(LastRequest().Body, kBody);
  }
}

// The documents read through the other loading road (wide text to UTF-8).
TEST_F(StrictHostXml, ShiftDocumentsThatAreNotWellFormedSendNothing) {
  const std::string Cases[] = {
      R"(<InputParameters><Parameters CashierName="Иванова&#0;Anna"/></InputParameters>)",
      R"(<InputParameters><Parameters CashierName="A" CashierName="B"/></InputParameters>)",
      R"(<InputParameters><Parameters CashierName="&nbsp;"/></InputParameters>)",
      R"(<InputParameters><Parameters CashierName="A"/></InputParameters><x/>)",
  };
  const std::size_t Before = Requests().size();
  for (const std::string& Input : Cases) {
    SCOPED_TRACE(Input);
    ExpectRefusedAndNothingSent(Call(u"OpenShift", {Device(), S(U(Input)), Out(), Out(), Out()}),
                                2);
  }
  EXPECT_EQ(Requests().size(), Before);
}

class OutputDocuments : public DeviceTest {};

// Characters XML 1.0 does not allow are left out of every text an answer puts
// into a document; the rest of the text stays.
TEST_F(OutputDocuments, CharactersXmlForbidsAreLeftOut) {
  Answer("/api/1/register/info",
         R"({"ok":true,"T1048":"A\u0001B\u001fC\ufffeD\uffffE","T1009":"tab\tline\ncr\r"})");
  const std::u16string Document = Call(u"GetDataKKT", {Device(), Out()}).Params[1].Text;
  EXPECT_NE(Document.find(u"OrganizationName=\"ABCDE\""), std::u16string::npos) << Utf8(Document);
  EXPECT_NE(Document.find(u"AddressSettle=\"tab&#09;line&#10;cr&#13;\""), std::u16string::npos)
      << Utf8(Document);
  for (const char16_t C : Document)
    EXPECT_FALSE(C < 0x20 && C != u'\t' && C != u'\n' && C != u'\r') << int(C);

  Answer("/api/1/shift/status", R"({"ok":true,"shiftStatus":1})");
  Answer("/api/1/ofd/status",
         R"({"ok":true,"msgCountForExch":1,"DateTimeOfFirstDocForExch":"2024\u0000-05"})");
  const std::u16string Status =
      Call(u"GetCurrentStatus", {Device(), Out(), Out(), Out(), Out()}).Params[4].Text;
  EXPECT_NE(Status.find(u"BacklogDocumentFirstDateTime=\"2024-05\""), std::u16string::npos)
      << Utf8(Status);
}

}  // namespace
