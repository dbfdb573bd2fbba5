// The device API: what the register answers and prints, and what it refuses.
#include <algorithm>

#include "emulator_fixture.h"
#include "tools/emulator/register_state.h"
#include "tools/emulator/text.h"

namespace emulator_testing {
namespace {

using DeviceApiTest = EmulatorTest;

const char kRegistration[] =
    R"({"T1048":"ИП Петров П.П.","T1018":"500100732259","T1062":[2,6],"T1037":"0000000002000231",)"
    R"("T1002":false,"T1221":false,"T1110":false,"T1056":false,"T1001":false,"T1108":true,)"
    R"("T1207":true,"T1021":"Петров","T1009":"г. Тверь, ул. Садовая, 3","T1046":"ОФД-Т",)"
    R"("T1060":"www.nalog.gov.ru"})";

TEST_F(DeviceApiTest, ReadingEndpointsAnswerAtTheTopLevel) {
  const struct {
    const char* Path;
    Json Expected;  // members that must be there with these values
  } Cases[] = {
      {"/api/1/getallinfo", {{"num", "000123"}, {"ser_num", "00107700123456"}}},
      {"/api/1/register/info",
       {{"ok", true},
        {"T1037", "0004567890012345"},
        {"T1013", "00107700123456"},
        {"T1041", "9999078902345678"},
        {"T1018", "7701234560"},
        {"T1048", "ООО \"Ромашка\""},
        {"T1062", Json::array({1})},
        {"T1189", 3},
        {"T1190", 2},
        {"T1001", false},
        {"T1060", "www.nalog.gov.ru"}}},
      {"/api/1/shift/status", {{"ok", true}, {"shiftNo", 0}, {"shiftStatus", 0}, {"checkNo", 0}}},
      {"/api/1/ofd/status",
       {{"ok", true},
        {"msgCountForExch", 0},
        {"noOfFirstDocForExch", 0},
        {"DateTimeOfFirstDocForExch", ""}}},
  };
  for (const auto& Case : Cases) {
    const HttpAnswer Answer = Call("GET", Case.Path);
    EXPECT_EQ(Answer.Status, 200) << Case.Path;
    EXPECT_EQ(Answer.ContentType, "application/json; charset=utf-8") << Case.Path;
    ASSERT_TRUE(Answer.Parsed.is_object()) << Case.Path << ": " << Answer.Body;
    EXPECT_FALSE(Answer.Parsed.contains("data")) << Case.Path;
    for (const auto& [Key, Value] : Case.Expected.items())
      EXPECT_EQ(Answer.Parsed.value(Key, Json()), Value) << Case.Path << " " << Key;
  }
}

TEST_F(DeviceApiTest, AShiftNumbersItsDocumentsAndReportsItsCounters) {
  const Json Opened = Post("/api/1/shift/open", R"({"T1021":"Иванов И.И."})");
  ASSERT_EQ(Opened.value("ok", false), true) << Opened;
  EXPECT_EQ(Opened["data"]["T1038"], 1);
  EXPECT_EQ(Opened["data"]["T1040"], 2);
  EXPECT_EQ(Opened["data"]["T1051"], false);

  const Json Sale = Post("/api/1/receipt", SaleReceipt());
  ASSERT_EQ(Sale.value("ok", false), true) << Sale;
  EXPECT_EQ(Sale["data"]["T1042"], 1);
  EXPECT_EQ(Sale["data"]["T1038"], 1);
  EXPECT_EQ(Sale["data"]["T1060"], "www.nalog.gov.ru");
  // The fiscal sign follows from the document number, its time and content.
  EXPECT_EQ(Sale["data"]["T1077"],
            kelvo_emulator::FiscalSign(3, kClock, kelvo_emulator::Json::parse(SaleReceipt())));

  const Json Correction = Post("/api/1/correctivereceipt",
                               R"({"T1054":"1","T1055":"1","T1020":100,"T1031":100,"T1081":0,)"
                               R"("T1173":false,"T1174":{"T1178":"","T1179":""}})");
  ASSERT_EQ(Correction.value("ok", false), true) << Correction;
  EXPECT_EQ(Correction["data"]["T1042"], 2);
  EXPECT_EQ(Correction["data"]["T1040"], 4);
  EXPECT_NE(Correction["data"]["T1077"], Sale["data"]["T1077"]);

  EXPECT_EQ(Get("/api/1/shift/status"),
            Json({{"ok", true}, {"shiftNo", 1}, {"shiftStatus", 1}, {"checkNo", 2}}));
  EXPECT_EQ(Get("/api/1/ofd/status"), Json({{"ok", true},
                                            {"msgCountForExch", 3},
                                            {"noOfFirstDocForExch", 2},
                                            {"DateTimeOfFirstDocForExch", kClock}}));

  const Json Closed = Post("/api/1/shift/close", "{}");
  ASSERT_EQ(Closed.value("ok", false), true) << Closed;
  const Json Expected = {{"T1038", 1}, {"T1012", kClock}, {"T1040", 5},     {"T1118", 2},
                         {"T1111", 4}, {"T1097", 4},      {"T1098", kClock}};
  for (const auto& [Key, Value] : Expected.items()) EXPECT_EQ(Closed["data"][Key], Value) << Key;
  EXPECT_EQ(Get("/api/1/shift/status")["shiftStatus"], 0);

  // Every document went to the tape, the receipt with its positions.
  const std::vector<std::string> Tape = Register.Tape();
  const auto Has = [&](const std::string& Line) {
    return std::find(Tape.begin(), Tape.end(), Line) != Tape.end();
  };
  for (const char* Line :
       {"            ОТЧЕТ ОБ ОТКРЫТИИ СМЕНЫ", "                  КАССОВЫЙ ЧЕК",
        "1. Молоко 3,2% 1 л", "   2 x 10.50                              =21.00",
        "ИТОГ                                      =21.00", "             КАССОВЫЙ ЧЕК КОРРЕКЦИИ",
        "             ОТЧЕТ О ЗАКРЫТИИ СМЕНЫ", "ЧЕКОВ ЗА СМЕНУ                                 2"})
    EXPECT_TRUE(Has(Line)) << Line;
  const std::string Sign = std::to_string(Sale["data"]["T1077"].get<unsigned>());
  EXPECT_TRUE(Has("ФП" + std::string(46 - Sign.size(), ' ') + Sign));
  for (const std::string& Line : Tape) EXPECT_LE(kelvo_emulator::Columns(Line), 48u) << Line;
}

TEST_F(DeviceApiTest, RefusesLikeARegister) {
  const struct {
    const char* Name;
    const char* Patch;
    const char* Method;
    const char* Path;
    std::string Body;
    int Code;
    int Status;
  } Cases[] = {
      {"open an open shift", R"({"shiftOpen":true})", "POST", "/api/1/shift/open", "{}", 20, 200},
      {"close a closed shift", "{}", "POST", "/api/1/shift/close", "{}", 21, 200},
      {"sell with the shift closed", "{}", "POST", "/api/1/receipt", SaleReceipt(), 21, 200},
      {"correct with the shift closed", "{}", "POST", "/api/1/correctivereceipt",
       R"({"T1054":"1","T1055":"1","T1020":1})", 21, 200},
      {"sell on a shift of 24 hours", R"({"shiftOpen":true,"shiftOpenedAt":"2024-05-16T09:30:00"})",
       "POST", "/api/1/receipt", SaleReceipt(), 22, 200},
      {"open a shift unregistered", R"({"registered":false})", "POST", "/api/1/shift/open", "{}",
       10, 200},
      {"sell with the storage closed", R"({"shiftOpen":true,"fiscalStorageClosed":true})", "POST",
       "/api/1/receipt", SaleReceipt(), 12, 200},
      {"register twice", "{}", "POST", "/api/1/register", kRegistration, 11, 200},
      {"change an absent registration", R"({"registered":false})", "POST", "/api/1/register",
       R"({"T1101":4,"T1048":"X"})", 10, 200},
      {"register with a wrong INN", R"({"registered":false})", "POST", "/api/1/register",
       R"({"T1048":"B","T1018":"C","T1062":[1],"T1037":"D","T1021":"A"})", 3, 200},
      {"close the storage with the shift open", R"({"shiftOpen":true})", "POST", "/api/1/finalize",
       "{}", 23, 200},
      {"a body that is an array", R"({"shiftOpen":true})", "POST", "/api/1/shift/close", "[]", 1,
       200},
      {"a body that is not JSON", R"({"shiftOpen":true})", "POST", "/api/1/receipt", "nonsense", 1,
       200},
      {"an empty body", "{}", "POST", "/api/1/printany", "", 1, 200},
      {"a receipt without positions", R"({"shiftOpen":true})", "POST", "/api/1/receipt",
       R"({"T1054":"1","T1055":"1","T1059":[],"T1020":0,"T1031":0,"T1081":0})", 3, 200},
      {"a receipt of an unknown kind", R"({"shiftOpen":true})", "POST", "/api/1/receipt",
       R"({"T1054":"9","T1055":"1","T1059":[{"T1079":1,"T1023":1,"T1043":1}],"T1020":1})", 3, 200},
      {"an unknown print element", "{}", "POST", "/api/1/printany",
       R"({"data":[{"left":"A"},{"bold":"B"}]})", 3, 200},
      {"a feed without lines", "{}", "POST", "/api/1/printany", R"({"data":[{"feed":"lots"}]})", 3,
       200},
      {"an unknown path", "{}", "GET", "/api/1/nothing", "", 2, 404},
      {"a known path with the wrong method", "{}", "GET", "/api/1/receipt", "", 2, 405},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Register.Reset();
    Patch(std::string(R"({"clock":")") + kClock + R"("})");
    Patch(Case.Patch);
    const Json Before = State();
    const HttpAnswer Answer = Call(Case.Method, Case.Path, Case.Body);
    EXPECT_EQ(Answer.Status, Case.Status);
    const Json& Refusal = Answer.Parsed;
    ASSERT_TRUE(Refusal.is_object()) << Answer.Body;
    EXPECT_EQ(Refusal.value("ok", true), false);
    EXPECT_EQ(Refusal.value("code", 0), Case.Code) << Refusal;
    EXPECT_FALSE(Refusal.value("message", "").empty());
    ASSERT_TRUE(Refusal.contains("errors") && Refusal["errors"].is_array()) << Refusal;
    EXPECT_FALSE(Refusal["errors"].empty());
    for (const Json& Detail : Refusal["errors"]) EXPECT_TRUE(Detail.is_string());
    EXPECT_EQ(State(), Before) << "a refusal changed the register";
  }
}

TEST_F(DeviceApiTest, RegistersChangesTheRegistrationAndClosesTheStorage) {
  Patch(R"({"registered":false})");
  EXPECT_FALSE(Get("/api/1/register/info").contains("T1037"));

  const Json Registered = Post("/api/1/register", kRegistration);
  ASSERT_EQ(Registered.value("ok", false), true) << Registered;
  EXPECT_EQ(Registered["data"]["T1040"], 2);
  Json Info = Get("/api/1/register/info");
  EXPECT_EQ(Info["T1037"], "0000000002000231");
  EXPECT_EQ(Info["T1048"], "ИП Петров П.П.");
  EXPECT_EQ(Info["T1062"], Json({2, 6}));
  EXPECT_EQ(Info["T1108"], true);
  EXPECT_EQ(Info["T1207"], true);
  EXPECT_EQ(Info["T1193"], false);  // flags left out are false
  EXPECT_EQ(Info["T1187"], "");
  EXPECT_EQ(Info["T1040"], 2);
  EXPECT_EQ(Info["T1012"], kClock);

  std::string Change = kRegistration;
  Change.replace(0, 1, R"({"T1101":4,)");
  Change.replace(Change.find("ИП Петров П.П."), std::string("ИП Петров П.П.").size(), "ИП Петров");
  ASSERT_EQ(Post("/api/1/register", Change).value("ok", false), true);
  EXPECT_EQ(Get("/api/1/register/info")["T1048"], "ИП Петров");

  ASSERT_EQ(Post("/api/1/finalize", R"({"T1021":"Петров"})").value("ok", false), true);
  EXPECT_EQ(Post("/api/1/shift/open", "{}").value("code", 0), 12);
  EXPECT_EQ(Get("/api/1/register/info").value("ok", false), true);

  const std::vector<std::string> Tape = Register.Tape();
  for (const char* Title : {"ОТЧЕТ О РЕГИСТРАЦИИ", "ОТЧЕТ ОБ ИЗМЕНЕНИИ ПАРАМЕТРОВ РЕГИСТРАЦИИ",
                            "ОТЧЕТ О ЗАКРЫТИИ ФН"}) {
    EXPECT_TRUE(std::any_of(Tape.begin(), Tape.end(), [&](const std::string& Line) {
      return Line.find(Title) != std::string::npos;
    })) << Title;
  }
}

TEST_F(DeviceApiTest, PrintAnyLaysTheElementsOutAt48Columns) {
  const std::string Long(60, 'x');
  const std::string Cyrillic = "Щ" + std::string(49, 'a');
  const struct {
    std::string Elements;
    std::vector<std::string> Lines;
  } Cases[] = {
      {R"({"left":"A"})", {"A"}},
      {R"({"left":""})", {""}},
      {R"({"left":"  indented  "})", {"  indented"}},
      {R"({"center":"ВНЕСЕНИЕ"})", {std::string(20, ' ') + "ВНЕСЕНИЕ"}},
      {R"({"right":"1500"})", {std::string(44, ' ') + "1500"}},
      {R"({"hr":true})", {std::string(48, '-')}},
      {R"({"hr":false})", {}},
      {R"({"feed":"1 lines"})", {""}},
      {R"({"feed":"3 lines"})", {"", "", ""}},
      {R"({"left":"a\nb"})", {"a", "b"}},
      {R"({"left":")" + Long + R"("})", {Long.substr(0, 48), Long.substr(48)}},
      {R"({"left":")" + Cyrillic + R"("})", {"Щ" + std::string(47, 'a'), "aa"}},
      {R"({"left":"Оплата картой по терминалу номер 12345, чек 0042 от 17.05"})",
       {"Оплата картой по терминалу номер 12345, чек 0042", "от 17.05"}},
      {R"({"right":"a b"},{"center":"c"},{"left":"d"})",
       {std::string(45, ' ') + "a b", std::string(23, ' ') + "c", "d"}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Elements);
    ASSERT_EQ(Call("DELETE", "/emulator/tape").Status, 200);
    const Json Answer = Post("/api/1/printany", R"({"data":[)" + Case.Elements + "]}");
    EXPECT_EQ(Answer, Json({{"ok", true}, {"code", 0}, {"message", ""}, {"data", Json::object()}}));
    EXPECT_EQ(Register.Tape(), Case.Lines);
  }
}

}  // namespace
}  // namespace emulator_testing
