// Every device method against every way the register can fail it. This
// program loads a build of the add-in that waits only 600 ms for the
// register, so that a register answering too slowly costs little time.
#include <gtest/gtest.h>

#include <functional>

#include "support/base64.h"
#include "support/device_fixture.h"

namespace {

using namespace testing_support;

// What the driver gets out of a fault, seen from the method.
enum class Seen {
  NoAnswer,     // the transport failed: nothing arrived, or too late, or too much
  Nothing,      // an answer without usable members
  Refusal,      // {"ok":false,"code":7,"message":"M","errors":["E"]}
  BareRefusal,  // {"ok":false}
  NoOk,         // code, message and errors, but no readable "ok"
};

struct DeviceFault {
  const char* Name;
  std::string Script;  // the emulator's fault for every device path; empty: none
  Seen ByGet, ByPost;
  bool ClosedPort = false;
};

std::string AnswerScript(const std::string& Body, int Status = 200,
                         const std::string& Type = "application/json") {
  return R"({"path":"*","action":"answer","status":)" + std::to_string(Status) +
         R"(,"contentType":)" + JsonQuote(Type) + R"(,"bodyBase64":)" +
         JsonQuote(Base64Encode(Body)) + "}";
}

std::string Nested(int Depth) {
  return R"({"ok":false,"code":7,"message":"M","errors":["E"],"x":)" + std::string(Depth, '[') +
         std::string(Depth, ']') + "}";
}

const std::string kRefusal = R"({"ok":false,"code":7,"message":"M","errors":["E"]})";

const DeviceFault kFaults[] = {
    {"refusal", AnswerScript(kRefusal), Seen::Refusal, Seen::Refusal},
    {"bare refusal", AnswerScript(R"({"ok":false})"), Seen::BareRefusal, Seen::BareRefusal},
    {"no ok", AnswerScript(R"({"code":7,"message":"M","errors":["E"]})"), Seen::NoOk, Seen::NoOk},
    {"ok of a wrong type", AnswerScript(R"({"ok":"yes","code":7,"message":"M","errors":["E"]})"),
     Seen::NoOk, Seen::NoOk},
    {"HTML error page",
     AnswerScript("<html><body>Internal Server Error</body></html>", 500, "text/html"),
     Seen::Nothing, Seen::Nothing},
    {"empty body", AnswerScript(""), Seen::Nothing, Seen::Nothing},
    {"not JSON", AnswerScript("Service Unavailable", 503, "text/plain"), Seen::Nothing,
     Seen::Nothing},
    {"object broken midway", AnswerScript(R"({"ok":false,"co)"), Seen::BareRefusal, Seen::Nothing},
    {"object and other text", AnswerScript(kRefusal + "<!-- 1 -->"), Seen::Refusal, Seen::Nothing},
    {"array", AnswerScript("[" + kRefusal + "]"), Seen::Nothing, Seen::Nothing},
    {"invalid UTF-8",
     AnswerScript(R"({"ok":false,"code":7,"message":"M","errors":["E"],"x":")"
                  "\xFF\xC0\xAF\"}"),
     Seen::Refusal, Seen::Refusal},
    {"nested too deep", AnswerScript(Nested(300)), Seen::Nothing, Seen::Nothing},
    {"nested just enough", AnswerScript(Nested(254)), Seen::Refusal, Seen::Refusal},
    {"oversized body", R"({"path":"*","action":"oversize","size":17000000})", Seen::NoAnswer,
     Seen::NoAnswer},
    {"connection refused", "", Seen::NoAnswer, Seen::NoAnswer, true},
    {"closed before the answer", R"({"path":"*","action":"close"})", Seen::NoAnswer,
     Seen::NoAnswer},
    {"truncated answer", R"({"path":"*","action":"truncate","body":)" + JsonQuote(kRefusal) + "}",
     Seen::NoAnswer, Seen::NoAnswer},
    {"slower than the time-out", R"({"path":"*","action":"answer","delayMs":2000,"body":"{}"})",
     Seen::NoAnswer, Seen::NoAnswer},
    // The register carried the request out; only its answer was lost.
    {"carried out, then closed", R"({"path":"*","action":"close","perform":true})", Seen::NoAnswer,
     Seen::NoAnswer},
    {"carried out, answered after the time-out", R"({"path":"*","answerDelayMs":2000})",
     Seen::NoAnswer, Seen::NoAnswer},
};

// What a method leaves: its return value and the error state. "Prior" keeps
// the message the test put there before the call; "Transport" is the
// transport's own failure text.
constexpr char16_t kPrior[] = u"<prior>";
constexpr char16_t kTransport[] = u"<transport>";

struct Outcome {
  bool Ret;
  std::int64_t Code;
  std::u16string Message;
};

const std::u16string kTimeout = u"Timeout. Время ожидания истекло";
const std::u16string kBadAnswer = u"Неверный ответ!";
const std::u16string kNotResponding =
    u"Timeout. Device is not responding. Таймаут. Устройство не отвечает";
const std::u16string kFormat = u"Ошибка формата передачи данных";

struct Method {
  const char16_t* Name;
  bool Post;
  std::function<std::vector<HostValue>(const HostValue& Device)> Args;
  std::function<Outcome(Seen)> Expect;
};

Outcome ForReceipts(Seen S) {
  switch (S) {
    case Seen::NoAnswer: return {false, 1, kTransport};
    case Seen::Nothing: return {false, 0, kPrior};
    case Seen::Refusal: return {false, 7, u"M errors:[\"E\"]"};
    case Seen::BareRefusal: return {false, 0, u""};
    case Seen::NoOk: return {false, 2, kNotResponding};
  }
  return {};
}

Outcome ForPrinting(Seen S) {
  switch (S) {
    case Seen::Refusal:
    case Seen::BareRefusal: return {false, 5, kFormat};
    default: return {false, 2, kFormat};
  }
}

// The shift and fiscal storage methods copy "code" and "message".
Outcome ForCopyingMethods(Seen S, bool EmptyAnswerClears) {
  switch (S) {
    case Seen::NoAnswer: return {false, 1, kTransport};
    case Seen::Nothing:
      return EmptyAnswerClears ? Outcome{false, 0, u""} : Outcome{false, 0, kPrior};
    case Seen::Refusal:
    case Seen::NoOk: return {false, 7, u"M"};
    case Seen::BareRefusal: return {false, 0, u""};
  }
  return {};
}

std::vector<Method> Methods() {
  const HostValue Out = HostValue::Empty();
  auto Str = [](const char* Utf8) { return S(U(Utf8)); };
  return {
      {u"DeviceTest", false,
       [=](const HostValue&) {
         return std::vector<HostValue>{Out, Out};
       },
       [](Seen S) {
         return S == Seen::NoAnswer ? Outcome{false, 2, kTimeout} : Outcome{false, 0, kPrior};
       }},
      {u"GetDataKKT", false,
       [=](const HostValue& D) {
         return std::vector<HostValue>{D, Out};
       },
       [](Seen S) {
         switch (S) {
           case Seen::Refusal: return Outcome{false, 7, u"M"};
           case Seen::BareRefusal: return Outcome{false, 0, kPrior};
           case Seen::NoOk: return Outcome{false, 7, u"M"};
           default: return Outcome{false, 3, kBadAnswer};
         }
       }},
      {u"GetCurrentStatus", false,
       [=](const HostValue& D) {
         return std::vector<HostValue>{D, Out, Out, Out, Out};
       },
       [](Seen S) {
         return S == Seen::Refusal || S == Seen::BareRefusal ? Outcome{false, 0, kPrior}
                                                             : Outcome{false, 3, kBadAnswer};
       }},
      {u"OperationFN", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{D, I(1), Str(R"(<Parameters CashierName="A"/>)")};
       },
       [](Seen S) { return ForCopyingMethods(S, false); }},
      {u"OpenShift", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{D, Str("<I><Parameters CashierName=\"A\"/></I>"), Out, Out,
                                       Out};
       },
       [](Seen S) { return ForCopyingMethods(S, false); }},
      {u"CloseShift", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{D, Str("<I><Parameters CashierName=\"A\"/></I>"), Out, Out,
                                       Out};
       },
       [](Seen S) { return ForCopyingMethods(S, true); }},
      {u"ProcessCheck", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{
             D,
             HostValue::Boolean(false),
             Str(R"(<CheckPackage><Parameters PaymentType="1" TaxVariant="0"/><Payments Cash="1"/>)"
                 R"(<Positions><P Name="X" Quantity="1" PriceWithDiscount="1" SumWithDiscount="1" )"
                 R"(Tax="none"/></Positions></CheckPackage>)"),
             Out,
             Out,
             Out,
             Out};
       },
       ForReceipts},
      {u"ProcessCorrectionCheck", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{
             D,
             Str(R"(<CheckCorrectionPackage><Parameters Sum="1" PaymentType="1" TaxVariant="0" )"
                 R"(CorrectionType="0"/><Payments Cash="1"/></CheckCorrectionPackage>)"),
             Out,
             Out,
             Out,
             Out};
       },
       ForReceipts},
      {u"PrintTextDocument", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{
             D, Str(R"(<D><Positions><TextString Text="A"/></Positions></D>)")};
       },
       ForPrinting},
      {u"CashInOutcome", true,
       [=](const HostValue& D) {
         return std::vector<HostValue>{D, Str(R"(<Parameters CashierName="A"/>)"),
                                       HostValue::R8(100)};
       },
       ForPrinting},
  };
}

class FaultMatrix : public DeviceTest {
 protected:
  // A recognisable error state before each call: a POST to an address that
  // is never used leaves code 1 and a text naming it.
  std::u16string MarkErrorState() {
    Call(u"OperationFN", {S(u"prior/marker"), I(0), S(u"<D/>")});
    return LastError().second;
  }
};

TEST_F(FaultMatrix, EveryMethodAgainstEveryFault) {
  for (const Method& M : Methods()) {
    for (const DeviceFault& F : kFaults) {
      SCOPED_TRACE(Utf8(M.Name) + " / " + F.Name);
      Register().Reset();
      if (!F.Script.empty()) Fault(F.Script);
      const HostValue Address = S(U(F.ClosedPort ? ClosedLoopbackAddress() : Register().Address()));
      const std::u16string Prior = MarkErrorState();
      Call(u"SetParameter", {S(u"IpAddress"), Address});  // DeviceTest uses the stored address
      const std::size_t BlocksBefore = Memory.Outstanding();

      const CallResult R = Call(M.Name, M.Args(Address));
      EXPECT_TRUE(R.Routine) << "the call returns to the host in order";
      EXPECT_EQ(R.Ret.Type, VTYPE_BOOL);

      const Outcome Want = M.Expect(M.Post ? F.ByPost : F.ByGet);
      const auto [Code, Message] = LastError();
      EXPECT_EQ(R.Ret.Bool, Want.Ret);
      EXPECT_EQ(Code, Want.Code);
      if (Want.Message == kPrior)
        EXPECT_EQ(Message, Prior);
      else if (Want.Message == kTransport)
        EXPECT_EQ(Utf8(Message).rfind("Error ", 0), 0u) << Utf8(Message);
      else
        EXPECT_EQ(Message, Want.Message);
      EXPECT_EQ(Memory.Outstanding(), BlocksBefore) << "every block handed over came back";
    }
  }
}

}  // namespace
