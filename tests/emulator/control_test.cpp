// The control endpoints: state, reset, state file, tape, request log, and
// the emulator's life cycle.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "emulator_fixture.h"
#include "tools/emulator/text.h"

namespace emulator_testing {
namespace {

using ControlTest = EmulatorTest;

TEST_F(ControlTest, StatePatchChangesWhatItNames) {
  const struct {
    const char* Patch;
    Json Expected;  // JSON pointer -> value in GET /emulator/state
  } Cases[] = {
      {R"({"shiftOpen":true})",
       {{"/shift/open", true},
        {"/shift/number", 1},
        {"/shift/openedAt", kClock},
        {"/shift/status", 1},
        {"/shift/receipts", 0}}},
      {R"({"shiftOpen":true,"shiftOpenedAt":"2024-05-16T09:30:01"})", {{"/shift/status", 1}}},
      {R"({"shiftOpen":true,"shiftOpenedAt":"2024-05-16T09:30:00"})", {{"/shift/status", 2}}},
      {R"({"shiftOpen":true,"shiftNumber":41,"receiptNumber":7})",
       {{"/shift/number", 41}, {"/shift/receipts", 7}}},
      {R"({"documentNumber":99})", {{"/documentNumber", 99}}},
      {R"({"registered":false,"fiscalStorageClosed":true})",
       {{"/registered", false}, {"/fiscalStorageClosed", true}}},
      {R"({"backlog":{"count":2,"firstNumber":7,"firstDateTime":"2024-05-17T08:00:00"}})",
       {{"/backlog/count", 2}, {"/backlog/firstNumber", 7}}},
      {R"({"backlog":{"count":2},"ofdOnline":true})",
       {{"/ofdOnline", true}, {"/backlog/count", 0}}},
      {R"({"registration":{"T1048":"ИП Сидоров","T1117":null}})",
       {{"/registration/T1048", "ИП Сидоров"}, {"/registration/T1117", nullptr}}},
      {R"({"device":{"number":"777","ffdFn":3}})",
       {{"/device/number", "777"}, {"/device/ffdFn", 3}}},
      {R"({"warnings":{"urgentReplacement":true}})",
       {{"/warnings/urgentReplacement", true}, {"/warnings/ofdTimeout", false}}},
      {R"({"clock":"2030-01-02T03:04:05"})",
       {{"/clock", "2030-01-02T03:04:05"}, {"/now", "2030-01-02T03:04:05"}}},
      {R"({"clock":null})", {{"/clock", nullptr}}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Patch);
    Register.Reset();
    Patch(std::string(R"({"clock":")") + kClock + R"("})");
    const HttpAnswer Answer = Call("POST", "/emulator/state", Case.Patch);
    ASSERT_EQ(Answer.Status, 200) << Answer.Body;
    const Json After = State();
    EXPECT_EQ(Answer.Parsed, After);
    for (const auto& [Pointer, Value] : Case.Expected.items()) {
      const Json::json_pointer Where(Pointer);
      EXPECT_EQ(After.contains(Where) ? After[Where] : Json(nullptr), Value) << Pointer;
    }
  }
}

TEST_F(ControlTest, AWrongPatchChangesNothing) {
  const char* const Patches[] = {
      R"({"bogus":1})",
      R"({"shiftNumber":-1})",
      R"({"clock":"yesterday"})",
      R"({"device":{"colour":"red"}})",
      R"({"documentNumber":5,"shiftOpen":"yes"})",
      R"([1])",
      "nope",
  };
  const Json Before = State();
  for (const char* Patch : Patches) {
    const HttpAnswer Answer = Call("POST", "/emulator/state", Patch);
    EXPECT_EQ(Answer.Status, 400) << Patch;
    EXPECT_EQ(Answer.Parsed.value("ok", true), false) << Patch;
    EXPECT_FALSE(Answer.Parsed.value("message", "").empty()) << Patch;
  }
  EXPECT_EQ(State(), Before);
}

TEST_F(ControlTest, ResetReturnsToTheStartState) {
  const Json Start = [&] {
    Call("POST", "/emulator/state", R"({"clock":null})");
    return State();
  }();
  Patch(R"({"clock":"2024-05-17T09:30:00","shiftOpen":true})");
  ASSERT_EQ(Post("/api/1/receipt", SaleReceipt()).value("ok", false), true);
  ASSERT_EQ(Call("POST", "/emulator/fault", R"({"path":"*","delayMs":1})").Status, 200);
  const HttpAnswer Reset = Call("POST", "/emulator/reset");
  EXPECT_EQ(Reset.Status, 200);
  Json After = State();
  After.erase("now");
  Json Expected = Start;
  Expected.erase("now");
  EXPECT_EQ(After, Expected);
  EXPECT_TRUE(Register.Tape().empty());
  EXPECT_EQ(Get("/emulator/fault")["faults"], Json::array());
  EXPECT_EQ(Get("/emulator/requests")["requests"], Json::array());
}

TEST_F(ControlTest, TapeEndpointsShowThePrintedLines) {
  ASSERT_EQ(Post("/api/1/printany", R"({"data":[{"left":"A <b>&"},{"left":"Б"}]})")["ok"], true);
  HttpAnswer Text = Call("GET", "/emulator/tape");
  EXPECT_EQ(Text.Status, 200);
  EXPECT_EQ(Text.ContentType, "text/plain; charset=utf-8");
  EXPECT_EQ(Text.Body, "A <b>&\nБ\n");
  EXPECT_EQ(Call("GET", "/emulator/tape?from=1").Body, "Б\n");
  EXPECT_EQ(Call("GET", "/emulator/tape?from=5").Body, "");
  EXPECT_EQ(Call("GET", "/emulator/tape?from=x").Status, 400);

  const HttpAnswer Page = Call("GET", "/emulator/tape.html");
  EXPECT_EQ(Page.Status, 200);
  EXPECT_EQ(Page.ContentType, "text/html; charset=utf-8");
  EXPECT_NE(Page.Body.find("<div class=\"roll\">A &lt;b&gt;&amp;\nБ\n</div>"), std::string::npos)
      << Page.Body;

  EXPECT_EQ(Call("DELETE", "/emulator/tape").Status, 200);
  EXPECT_EQ(Call("GET", "/emulator/tape").Body, "");
  EXPECT_EQ(State()["tapeLines"], 0);
}

TEST_F(ControlTest, RequestLogKeepsTheBytesAsSent) {
  const std::string Body = R"({"data":[{"left":"a\/b Привет"}]})";
  const std::string Sent =
      "POST /api/1/printany?copy=1 HTTP/1.1\r\n"
      "Host: 127.0.0.1\r\n"
      "Content-Type: application/json\r\n"
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)\r\n"
      "Accept-Encoding: UTF-8\r\n"
      "x-lower-case:  spaced \r\n"
      "Connection: close\r\n"
      "Content-Length: " +
      std::to_string(Body.size()) + "\r\n\r\n" + Body;
  ASSERT_NE(RawExchange(Port, Sent).find("HTTP/1.1 200"), std::string::npos);
  Get("/emulator/state");  // control requests are not logged

  const Json Log = Get("/emulator/requests");
  ASSERT_EQ(Log["requests"].size(), 1u) << Log;
  const Json& Entry = Log["requests"][0];
  EXPECT_EQ(Entry["method"], "POST");
  EXPECT_EQ(Entry["target"], "/api/1/printany?copy=1");
  EXPECT_EQ(Entry["path"], "/api/1/printany");
  EXPECT_EQ(Entry["version"], "HTTP/1.1");
  const std::vector<std::vector<std::string>> Headers = {
      {"Host", "127.0.0.1"},
      {"Content-Type", "application/json"},
      {"User-Agent", "Mozilla/5.0 (Windows NT 10.0; Win64; x64)"},
      {"Accept-Encoding", "UTF-8"},
      {"x-lower-case", "spaced"},
      {"Connection", "close"},
      {"Content-Length", std::to_string(Body.size())}};
  EXPECT_EQ(Entry["headers"], Json(Headers));
  EXPECT_EQ(Entry["body"], Body);
  EXPECT_EQ(kelvo_emulator::Base64Decode(Entry["bodyBase64"]), Body);
  EXPECT_EQ(kelvo_emulator::Base64Decode(Entry["rawBase64"]), Sent);
}

TEST(EmulatorRequestLog, KeepsTheLatestRequests) {
  kelvo_emulator::Options Settings;
  Settings.RequestLogSize = 3;
  kelvo_emulator::Emulator Register(Settings);
  const int Port = Register.Start();
  for (int I = 0; I < 5; ++I) Request(Port, "GET", "/api/1/shift/status?n=" + std::to_string(I));
  const auto Targets = [&](const std::string& Path) {
    std::vector<std::string> Out;
    const Json Log = Json::parse(Request(Port, "GET", Path).Body);
    for (const Json& Entry : Log["requests"]) Out.push_back(Entry["target"]);
    return Out;
  };
  EXPECT_EQ(Targets("/emulator/requests"),
            std::vector<std::string>(
                {"/api/1/shift/status?n=2", "/api/1/shift/status?n=3", "/api/1/shift/status?n=4"}));
  EXPECT_EQ(Targets("/emulator/requests?last=1"),
            std::vector<std::string>({"/api/1/shift/status?n=4"}));
  EXPECT_EQ(Request(Port, "DELETE", "/emulator/requests").Status, 200);
  EXPECT_TRUE(Targets("/emulator/requests").empty());
}

std::string TemporaryFile(const char* Name) {
  const std::string Path =
      ::testing::TempDir() + "kelvo_emulator_" + std::to_string(::getpid()) + "_" + Name;
  std::remove(Path.c_str());
  return Path;
}

TEST(EmulatorStateFile, KeepsTheRegisterAcrossRestarts) {
  kelvo_emulator::Options Settings;
  Settings.StateFile = TemporaryFile("state.json");
  std::string StateBefore;
  std::vector<std::string> TapeBefore;
  {
    kelvo_emulator::Emulator First(Settings);
    const int Port = First.Start();
    ASSERT_EQ(Request(Port, "POST", "/emulator/state", R"({"clock":"2024-05-17T09:30:00"})").Status,
              200);
    ASSERT_EQ(Json::parse(Request(Port, "POST", "/api/1/shift/open", "{}").Body)["ok"], true);
    ASSERT_EQ(Json::parse(Request(Port, "POST", "/api/1/receipt", SaleReceipt()).Body)["ok"], true);
    StateBefore = First.StateJson();
    TapeBefore = First.Tape();
  }
  std::ifstream File(Settings.StateFile);
  const Json Saved = Json::parse(File, nullptr, false);
  ASSERT_TRUE(Saved.is_object());
  EXPECT_EQ(Saved["format"], 1);
  EXPECT_EQ(Saved["tape"].size(), TapeBefore.size());

  kelvo_emulator::Emulator Second(Settings);
  const int Port = Second.Start();
  EXPECT_EQ(Second.StateJson(), StateBefore);
  EXPECT_EQ(Second.Tape(), TapeBefore);
  EXPECT_EQ(Json::parse(Request(Port, "GET", "/api/1/shift/status").Body),
            Json({{"ok", true}, {"shiftNo", 1}, {"shiftStatus", 1}, {"checkNo", 1}}));
  Second.Stop();
  std::remove(Settings.StateFile.c_str());
}

TEST(EmulatorStateFile, ReadsAFileWithoutTheShiftTotals) {
  kelvo_emulator::Options Settings;
  Settings.StateFile = TemporaryFile("old.json");
  Json Old = Json::parse(kelvo_emulator::Emulator().StateJson());
  Old["shift"].erase("totals");
  Old["shift"].erase("status");
  for (const char* Control : {"now", "tapeLines"}) Old.erase(Control);
  Old["format"] = 1;
  Old["tape"] = Json::array();
  std::ofstream(Settings.StateFile) << Old.dump();
  kelvo_emulator::Emulator Register(Settings);
  Register.Start();
  EXPECT_EQ(Json::parse(Register.StateJson())["shift"]["totals"]["1"],
            Json({{"count", 0}, {"sum", 0.0}}));
  Register.Stop();
  std::remove(Settings.StateFile.c_str());
}

TEST(EmulatorStateFile, AStateFileThatDoesNotFitStopsTheStart) {
  const char* const Contents[] = {"not json", "{}", R"({"format":2})", "[]"};
  for (const char* Content : Contents) {
    kelvo_emulator::Options Settings;
    Settings.StateFile = TemporaryFile("bad.json");
    std::ofstream(Settings.StateFile) << Content;
    kelvo_emulator::Emulator Register(Settings);
    EXPECT_THROW(Register.Start(), std::runtime_error) << Content;
    EXPECT_FALSE(Register.Running());
    std::remove(Settings.StateFile.c_str());
  }
}

TEST(EmulatorLifeCycle, RestartsWithItsStateAndRefusesASecondStart) {
  kelvo_emulator::Emulator Register;
  const int Port = Register.Start();
  EXPECT_EQ(Register.BaseUrl(), "http://127.0.0.1:" + std::to_string(Port));
  EXPECT_THROW(Register.Start(), std::runtime_error);
  ASSERT_EQ(Json::parse(Request(Port, "POST", "/api/1/shift/open", "{}").Body)["ok"], true);
  Register.Stop();
  EXPECT_FALSE(Register.Running());
  EXPECT_EQ(Request(Port, "GET", "/api/1/shift/status").Status, 0);  // nobody listens

  const int Again = Register.Start();
  EXPECT_EQ(Json::parse(Request(Again, "GET", "/api/1/shift/status").Body)["shiftStatus"], 1);
  EXPECT_EQ(Request(Again, "GET", "/emulator/nothing").Status, 404);
  const HttpAnswer Root = Request(Again, "GET", "/");
  EXPECT_EQ(Root.Status, 302);
}

TEST(EmulatorLifeCycle, ListensOnTheIpv6Loopback) {
  kelvo_emulator::Emulator Register;
  int Port = 0;
  try {
    Port = Register.Start("::1");
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "no IPv6 loopback here";
  }
  EXPECT_EQ(Register.BaseUrl(), "http://[::1]:" + std::to_string(Port));
  httplib::Client Client("::1", Port);
  const httplib::Result Answer = Client.Get("/api/1/getallinfo");
  ASSERT_TRUE(Answer);
  EXPECT_EQ(Json::parse(Answer->body)["num"], "000123");
}

}  // namespace
}  // namespace emulator_testing
