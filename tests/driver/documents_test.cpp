// The host documents as functions, without the host or the register: every
// seed of the fuzz corpus through the input readers and request builders,
// the requests read by another JSON library; and the answers of the
// register turned into outputs.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "base/utf.h"
#include "driver/documents/correction_package.h"
#include "driver/documents/printing.h"
#include "driver/documents/receipt_request.h"
#include "driver/documents/registration.h"
#include "driver/documents/shift.h"
#include "driver/documents/status.h"
#include "driver/host_xml.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// The seeds of one fuzz target, as UTF-8 texts.
std::vector<std::string> Seeds(const char* Target) {
  std::vector<std::string> Texts;
  for (const fs::directory_entry& E :
       fs::directory_iterator(fs::path(KELVO_SOURCE_DIR) / "fuzz" / "corpus" / Target)) {
    std::ifstream In(E.path(), std::ios::binary);
    Texts.emplace_back(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  return Texts;
}

std::u16string Wide(const std::string& Utf8) { return base::Utf8ToUtf16(Utf8); }
std::string Utf8(const std::u16string& Text) { return base::Utf16ToUtf8(Text); }

// Runs Build on every seed of Target; a seed the reader refuses is counted,
// any other exception fails. Some seeds must read.
template <typename F>
void ForEachSeed(const char* Target, F Build) {
  int Read = 0, Refused = 0;
  for (const std::string& Seed : Seeds(Target)) {
    SCOPED_TRACE(Seed.substr(0, 200));
    try {
      Build(Seed);
      ++Read;
    } catch (const driver::BadInput&) {
      ++Refused;
    }
  }
  EXPECT_GT(Read, 0) << Target << ": " << Refused << " refused, none read";
}

json Parsed(const std::string& Body) {
  const json Value = json::parse(Body);  // throws, failing the test, when it is no JSON
  EXPECT_TRUE(Value.is_object()) << Body;
  return Value;
}

TEST(DocumentsFromTheCorpus, ShiftRequestsCarryTheCashier) {
  ForEachSeed("shift_document", [](const std::string& Seed) {
    const driver::ShiftInput In = driver::ReadShiftInput(Wide(Seed));
    const json Open = Parsed(driver::ShiftRequest(In, driver::ShiftAction::Open));
    const json Close = Parsed(driver::ShiftRequest(In, driver::ShiftAction::Close));
    for (const json* Body : {&Open, &Close}) {
      if (In.CashierName.empty())
        EXPECT_FALSE(Body->contains("T1021"));
      else
        EXPECT_EQ(Body->at("T1021"), Utf8(In.CashierName));
    }
    EXPECT_EQ(Close.contains("T1203"), In.CashierVATIN.size() == 12);
  });
}

TEST(DocumentsFromTheCorpus, RegistrationRequestsCarryTheDocument) {
  ForEachSeed("registration_document", [](const std::string& Seed) {
    const driver::Registration R = driver::ReadRegistration(Wide(Seed));
    const json Change = Parsed(driver::RegistrationRequest(2, R).Body);
    EXPECT_EQ(Change.at("T1048"), Utf8(R.OrganizationName));
    EXPECT_EQ(Change.at("T1018"), Utf8(R.VATIN));
    EXPECT_EQ(Change.at("T1062"), json(R.TaxVariant));
    EXPECT_EQ(Change.at("T1101"), R.ReasonCode);
    EXPECT_FALSE(Parsed(driver::RegistrationRequest(1, R).Body).contains("T1101"));
    EXPECT_EQ(std::string(driver::RegistrationRequest(3, R).Path), "/api/1/finalize");
    EXPECT_EQ(driver::RegistrationRequest(9, R).Body, "{}");
  });
}

TEST(DocumentsFromTheCorpus, PrintRequestsAreListsOfPrintElements) {
  ForEachSeed("text_document", [](const std::string& Seed) {
    const json Body = Parsed(driver::TextDocumentRequest(Wide(Seed)));
    const json& Elements = Body.at("data");
    ASSERT_GE(Elements.size(), 2u);
    EXPECT_EQ(Elements[Elements.size() - 2], json({{"hr", true}}));
    EXPECT_EQ(Elements.back(), json({{"feed", "8 lines"}}));
  });
  ForEachSeed("cash_slip", [](const std::string& Seed) {
    const driver::CashSlipInput In = driver::ReadCashSlipInput(Wide(Seed));
    const json Body = Parsed(driver::CashSlipRequest(In, 1500.5));
    const json Expected = {{"data",
                            {{{"center", "ВНЕСЕНИЕ"}},
                             {{"feed", "1 lines"}},
                             {{"left", Utf8(In.CashierName)}},
                             {{"left", Utf8(In.CashierVATIN)}},
                             {{"feed", "1 lines"}},
                             {{"right", "1500.5"}},
                             {{"feed", "3 lines"}}}}};
    EXPECT_EQ(Body, Expected);
  });
}

TEST(DocumentsFromTheCorpus, ReceiptRequestsReadElsewhere) {
  ForEachSeed("receipt_package", [](const std::string& Seed) {
    const json Body = Parsed(driver::ReceiptRequestText(Seed));
    EXPECT_FALSE(Body.empty());
  });
  ForEachSeed("correction_package", [](const std::string& Seed) {
    const driver::CorrectionPackage P = driver::ReadCorrectionPackage(Wide(Seed));
    const json Body = Parsed(driver::json::Write(driver::BuildCorrectionRequest(P)));
    EXPECT_EQ(Body.at("T1174").at("T1178"), Utf8(P.CorrectionBaseDate));
    EXPECT_EQ(Body.at("T1173"), P.CorrectionType != 0);
  });
}

// An answer as the exchange hands it over.
driver::DeviceReply Reply(const char* Text) {
  driver::DeviceReply R;
  R.Answered = Text != nullptr;
  if (Text) R.Answer = driver::json::ReadLenientObject(Text);
  return R;
}

// The output document parses, and holds the attribute with that value.
std::string OutputAttribute(const std::u16string& Document, const char* Name) {
  pugi::xml_document D;
  const std::string Text = Utf8(Document);
  EXPECT_TRUE(D.load_string(Text.c_str())) << Text;
  return D.select_node("//Parameters").node().attribute(Name).value();
}

struct ShiftCase {
  const char* Name;
  const char* Answer;  // nullptr: no answer arrived
  bool OpenOk, CloseOk;
  std::int32_t OpenShift, CloseShift;  // shift numbers reported
  std::int32_t ErrorCode;              // after the open
};

TEST(ShiftOutputs, FromEachKindOfAnswer) {
  const ShiftCase Cases[] = {
      {"no answer", nullptr, false, false, 0, 0, 7},
      {"refused", R"({"ok":false,"code":41,"message":"смена открыта"})", false, false, 0, 0, 41},
      {"opened", R"({"ok":true,"code":0,"message":"","data":{"T1038":5,"T1040":9}})", true, true, 5,
       5, 0},
      // Open needs both numbers; close reads in order until a member fails.
      {"a number unreadable", R"({"ok":true,"code":0,"message":"","data":{"T1038":5,"T1040":"x"}})",
       false, true, 0, 5, 0},
      {"no data", R"({"ok":true,"code":0,"message":""})", false, true, 0, 0, 0},
      {"ok unreadable", R"({"ok":"yes","code":3,"message":"m"})", false, false, 0, 0, 3},
  };
  for (const ShiftCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    driver::ErrorState Error;
    Error.CopyRefusal(7, u"before");  // what an earlier call left
    const driver::ShiftOutputs Open = driver::OpenShiftOutputs(Reply(C.Answer), Error);
    EXPECT_EQ(Open.Ok, C.OpenOk);
    EXPECT_EQ(Open.ShiftNumber, C.OpenShift);
    EXPECT_EQ(Error.Code(), C.ErrorCode);
    EXPECT_EQ(OutputAttribute(Open.Document, "OFDtimeout"), "false");
    const driver::ShiftOutputs Close = driver::CloseShiftOutputs(Reply(C.Answer), Error);
    EXPECT_EQ(Close.Ok, C.CloseOk);
    EXPECT_EQ(Close.ShiftNumber, C.CloseShift);
    EXPECT_EQ(OutputAttribute(Close.Document, "ResourcesFN"), "0");
  }
}

TEST(StatusOutputs, ShiftStatesAsTheHostCountsThem) {
  const std::pair<int, int> States[] = {{0, 1}, {1, 2}, {2, 2}, {7, 7}};
  for (const auto& [Register, Host] : States) {
    driver::ErrorState Error;
    driver::StatusOutputs Out;
    const std::string Answer =
        R"({"ok":true,"shiftNo":3,"checkNo":12,"shiftStatus":)" + std::to_string(Register) + "}";
    driver::ReadShiftStatus(driver::json::ReadLenientObject(Answer), Error, Out);
    EXPECT_EQ(Out.ShiftState, Host) << Register;
    EXPECT_EQ(Out.ReceiptNumber, 12);
  }
  driver::ErrorState Error;
  driver::StatusOutputs Out;
  driver::ReadExchangeStatus(driver::json::ReadLenientObject(R"({"code":0})"), Error, Out);
  EXPECT_FALSE(Out.Ok);
  EXPECT_EQ(Error.Code(), driver::ErrorCode(driver::DriverError::BadAnswer));
  EXPECT_EQ(OutputAttribute(Out.Document, "BacklogDocumentsCounter"), "0");
}

}  // namespace
