// Fault mode: scripted answers, delays, dropped connections, broken and
// oversized bodies.
#include <chrono>
#include <thread>

#include "emulator_fixture.h"
#include "tools/emulator/text.h"

namespace emulator_testing {
namespace {

class FaultTest : public EmulatorTest {
 protected:
  void SetFault(const std::string& Script) const {
    const HttpAnswer Answer = Call("POST", "/emulator/fault", Script);
    ASSERT_EQ(Answer.Status, 200) << Script << " -> " << Answer.Body;
    ASSERT_EQ(Answer.Parsed["ok"], true);
  }
  Json Faults() const { return Get("/emulator/fault")["faults"]; }
};

std::string ContentLength(const std::string& Head) {
  const std::string Name = "Content-Length: ";
  const std::size_t At = Head.find(Name);
  return At == std::string::npos
             ? ""
             : Head.substr(At + Name.size(), Head.find('\r', At) - At - Name.size());
}

std::string RawPost(const std::string& Path, const std::string& Body) {
  return "POST " + Path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n" +
         "Connection: close\r\nContent-Length: " + std::to_string(Body.size()) + "\r\n\r\n" + Body;
}

TEST_F(FaultTest, FixedAnswersComeBackByteForByte) {
  const std::string Broken = "\xff\xfe{\"ok\":true}";
  const struct {
    std::string Script;
    const char* Method;
    const char* Path;
    int Status;
    const char* ContentType;
    std::string Body;
  } Cases[] = {
      {R"({"path":"/api/1/receipt","action":"answer","status":500,"body":"<h1>oops</h1>",)"
       R"("contentType":"text/html"})",
       "POST", "/api/1/receipt", 500, "text/html", "<h1>oops</h1>"},
      {R"({"path":"/api/1/getallinfo","action":"answer","bodyBase64":")" +
           kelvo_emulator::Base64Encode(Broken) + R"("})",
       "GET", "/api/1/getallinfo", 200, "application/json", Broken},
      {R"({"path":"/api/1/shift/status","action":"answer","body":""})", "GET",
       "/api/1/shift/status", 200, "application/json", ""},
      {R"({"path":"*","action":"answer","body":"{\"ok\":false} tail",)"
       R"("contentType":"application/json; charset=windows-1251"})",
       "GET", "/api/1/ofd/status", 200, "application/json; charset=windows-1251",
       "{\"ok\":false} tail"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Script);
    ASSERT_EQ(Call("DELETE", "/emulator/fault").Status, 200);
    SetFault(Case.Script);
    const HttpAnswer Answer = Call(Case.Method, Case.Path, Case.Method[0] == 'P' ? "{}" : "");
    EXPECT_EQ(Answer.Status, Case.Status);
    EXPECT_EQ(Answer.ContentType, Case.ContentType);
    EXPECT_EQ(Answer.Body, Case.Body);
  }
}

TEST_F(FaultTest, PerformDecidesWhetherTheRegisterCarriesTheRequestOut) {
  Patch(R"({"shiftOpen":true})");
  const struct {
    const char* Script;
    int Receipts;  // receipts of the shift afterwards
  } Cases[] = {
      {R"({"path":"/api/1/receipt","action":"answer","body":"{}","times":1})", 0},
      {R"({"path":"/api/1/receipt","action":"answer","body":"{}","times":1,"perform":true})", 1},
      {R"({"path":"/api/1/receipt","action":"close","times":1})", 1},
      {R"({"path":"/api/1/receipt","action":"close","times":1,"perform":true})", 2},
      {R"({"path":"/api/1/receipt","action":"oversize","size":5000,"times":1,"perform":false})", 2},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Script);
    SetFault(Case.Script);
    Call("POST", "/api/1/receipt", SaleReceipt());
    EXPECT_EQ(Get("/api/1/shift/status")["checkNo"], Case.Receipts);
  }
}

TEST_F(FaultTest, FaultsMatchPathAndMethodAndCountDown) {
  SetFault(R"({"path":"/api/1/shift/status","method":"post","action":"answer","body":"post"})");
  SetFault(R"({"path":"*","action":"answer","body":"any","times":2})");
  SetFault(R"({"path":"/api/1/getallinfo","action":"answer","body":"exact"})");
  EXPECT_EQ(Call("GET", "/api/1/getallinfo").Body, "exact");  // before "*"
  EXPECT_EQ(Call("GET", "/api/1/shift/status").Body, "any");  // not a POST
  EXPECT_EQ(Faults()[1]["times"], 1);
  EXPECT_EQ(Call("GET", "/api/1/ofd/status").Body, "any");
  EXPECT_EQ(Faults().size(), 2u);  // "*" is used up
  EXPECT_EQ(Get("/api/1/ofd/status")["ok"], true);
  EXPECT_EQ(Call("GET", "/api/1/getallinfo").Body, "exact");  // until cleared

  ASSERT_EQ(Call("DELETE", "/emulator/fault?path=/api/1/getallinfo").Status, 200);
  EXPECT_EQ(Get("/api/1/getallinfo")["num"], "000123");
  EXPECT_EQ(Faults(),
            Json::parse(R"([{"path":"/api/1/shift/status","method":"POST",)"
                        R"("action":"answer","delayMs":0,"answerDelayMs":0,"times":0,)"
                        R"("perform":false,)"
                        R"("status":200,"contentType":"application/json","body":"post"}])"));
  ASSERT_EQ(Call("DELETE", "/emulator/fault").Status, 200);
  EXPECT_EQ(Faults(), Json::array());
}

TEST_F(FaultTest, ADelayHoldsTheAnswerBack) {
  SetFault(R"({"path":"/api/1/shift/status","delayMs":200})");
  const auto Start = std::chrono::steady_clock::now();
  const Json Answer = Get("/api/1/shift/status");
  const auto Waited = std::chrono::steady_clock::now() - Start;
  EXPECT_GE(Waited, std::chrono::milliseconds(200));  // a lower bound only
  EXPECT_EQ(Answer["ok"], true);
}

TEST_F(FaultTest, CloseEndsTheConnectionWithoutAnAnswer) {
  SetFault(R"({"path":"/api/1/shift/open","action":"close"})");
  EXPECT_EQ(RawExchange(Port, RawPost("/api/1/shift/open", "{}")), "");
  const HttpAnswer Answer = Call("POST", "/api/1/shift/open", "{}");
  EXPECT_EQ(Answer.Status, 0);
  EXPECT_NE(Answer.Error, httplib::Error::Success);
  EXPECT_EQ(Get("/api/1/shift/status")["shiftStatus"], 0);
}

TEST_F(FaultTest, TruncateAnnouncesTheWholeBodyAndSendsPartOfIt) {
  SetFault(
      R"({"path":"/api/1/getallinfo","action":"truncate","body":"{\"ok\":true,\"num\":\"1\"}",)"
      R"("sendBytes":5,"contentType":"text/plain"})");
  std::string Answer = RawExchange(Port, "GET /api/1/getallinfo HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(HeadOf(Answer).rfind("HTTP/1.1 200", 0), 0u) << Answer;
  EXPECT_EQ(ContentLength(HeadOf(Answer)),
            std::to_string(std::string("{'ok':true,'num':'1'}").size()));
  EXPECT_NE(HeadOf(Answer).find("Content-Type: text/plain"), std::string::npos);
  EXPECT_EQ(BodyOf(Answer), "{\"ok\"");

  // Without a body: the register's own answer, cut in half; the shift opens.
  SetFault(R"({"path":"/api/1/shift/open","action":"truncate","times":1})");
  Answer = RawExchange(Port, RawPost("/api/1/shift/open", "{}"));
  const std::size_t Announced = std::stoul(ContentLength(HeadOf(Answer)));
  EXPECT_EQ(BodyOf(Answer).size(), Announced / 2);
  EXPECT_EQ(BodyOf(Answer).rfind("{\"ok\":true,", 0), 0u) << Answer;
  EXPECT_EQ(Get("/api/1/shift/status")["shiftStatus"], 1);
  EXPECT_EQ(Call("POST", "/api/1/shift/close", "{}").Parsed["ok"], true);
}

TEST_F(FaultTest, OversizePadsTheRegistersAnswer) {
  SetFault(R"({"path":"/api/1/shift/open","action":"oversize","size":100000,"times":1})");
  const HttpAnswer Big = Call("POST", "/api/1/shift/open", "{}");
  EXPECT_EQ(Big.Body.size(), 100000u);
  ASSERT_TRUE(Big.Parsed.is_object()) << Big.Body.substr(0, 200);
  EXPECT_EQ(Big.Parsed["ok"], true);
  EXPECT_EQ(Big.Parsed["data"]["T1038"], 1);
  EXPECT_TRUE(Big.Parsed["padding"].is_string());

  SetFault(R"({"path":"/api/1/getallinfo","action":"oversize","size":10})");
  EXPECT_EQ(Get("/api/1/getallinfo")["num"], "000123");  // already longer: as it is
}

TEST_F(FaultTest, WrongScriptsAreRefused) {
  const char* const Scripts[] = {
      R"({"action":"answer"})",
      R"({"path":"/emulator/tape"})",
      R"({"path":"api/1/receipt"})",
      R"({"path":"*","action":"explode"})",
      R"({"path":"*","delayMs":-1})",
      R"({"path":"*","answerDelayMs":600001})",
      R"({"path":"*","times":"2"})",
      R"({"path":"*","status":99})",
      R"({"path":"*","bodyBase64":"!!"})",
      R"({"path":"*","body":"a","bodyBase64":"YQ=="})",
      R"({"path":"*","action":"oversize"})",
      R"({"path":"*","perform":1})",
      R"({"path":"*","colour":"red"})",
      "[]",
      "nope",
  };
  for (const char* Script : Scripts) {
    const HttpAnswer Answer = Call("POST", "/emulator/fault", Script);
    EXPECT_EQ(Answer.Status, 400) << Script;
    EXPECT_FALSE(Answer.Parsed.value("message", "").empty()) << Script;
  }
  EXPECT_EQ(Faults(), Json::array());
}

TEST(EmulatorFaults, StopCutsALongDelayShort) {
  kelvo_emulator::Emulator Register;
  const int Port = Register.Start();
  ASSERT_EQ(Request(Port, "POST", "/emulator/fault", R"({"path":"*","delayMs":600000})").Status,
            200);
  int Status = -1;
  std::thread Client([&] { Status = Request(Port, "GET", "/api/1/getallinfo").Status; });
  // Wait until the request has arrived (bounded: the test's time-out guards it).
  while (Json::parse(Request(Port, "GET", "/emulator/requests").Body)["requests"].empty())
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Register.Stop();
  Client.join();
  EXPECT_EQ(Status, 0);
}

TEST(EmulatorFaults, AnAnswerDelayComesAfterTheRegisterActed) {
  kelvo_emulator::Emulator Register;
  const int Port = Register.Start();
  ASSERT_EQ(Request(Port, "POST", "/emulator/fault",
                    R"({"path":"/api/1/shift/open","answerDelayMs":600000})")
                .Status,
            200);
  int Status = -1;
  std::thread Client([&] { Status = Request(Port, "POST", "/api/1/shift/open", "{}").Status; });
  // The shift is open while its answer is still held back.
  while (Json::parse(Request(Port, "GET", "/api/1/shift/status").Body)["shiftStatus"] != 1)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Register.Stop();
  Client.join();
  EXPECT_EQ(Status, 0);
}

}  // namespace
}  // namespace emulator_testing
