// Receipts and correction receipts: what the register refuses, what it lets
// pass, and what it prints on the tape.
#include <algorithm>

#include "emulator_fixture.h"
#include "tools/emulator/text.h"

namespace emulator_testing {
namespace {

using ReceiptTest = EmulatorTest;

// A receipt of one item; Item and Rest are spliced into the request text.
std::string Receipt(const std::string& Kind, const std::string& Item, const std::string& Rest) {
  return R"({"T1054":)" + Kind + R"(,"T1055":"1","T1059":[{"T1214":4,"T1212":1,"T1030":"Товар",)" +
         Item + "}]," + Rest + "}";
}

std::string Correction(const std::string& Rest) {
  return R"({"T1054":"1","T1055":"1",)" + Rest +
         R"(,"T1173":false,"T1174":{"T1178":"","T1179":""}})";
}

// A line of the tape: Left at the left, Right at the right of 48 columns.
std::string Line(const std::string& Left, const std::string& Right) {
  return Left +
         std::string(48 - kelvo_emulator::Columns(Left) - kelvo_emulator::Columns(Right), ' ') +
         Right;
}

std::string Centered(const std::string& Text) {
  return std::string((48 - kelvo_emulator::Columns(Text)) / 2, ' ') + Text;
}

const char kItem21[] = R"("T1079":10.5,"T1023":2,"T1199":2,"T1200":1.91,"T1043":21)";

TEST_F(ReceiptTest, RefusesWhatARegisterRefuses) {
  const struct {
    const char* Name;
    const char* Patch;
    const char* Path;
    std::string Body;
    int Code;
    const char* Message;
  } Cases[] = {
      {"kind 0", "{}", "/api/1/receipt", Receipt(R"("0")", kItem21, R"("T1020":21,"T1031":21)"), 3,
       "Неверные данные чека"},
      {"kind with a sign", "{}", "/api/1/receipt",
       Receipt(R"("+1")", kItem21, R"("T1020":21,"T1031":21)"), 3, "Неверные данные чека"},
      {"kind 5 as a number", "{}", "/api/1/receipt",
       Receipt("5", kItem21, R"("T1020":21,"T1031":21)"), 3, "Неверные данные чека"},
      {"tax system 7", "{}", "/api/1/correctivereceipt",
       R"({"T1054":"1","T1055":"7","T1020":1,"T1031":1})", 3, "Неверные данные чека коррекции"},
      {"a quantity as text", "{}", "/api/1/receipt",
       Receipt(R"("1")", R"("T1079":10.5,"T1023":"2","T1043":21)", R"("T1020":21,"T1031":21)"), 3,
       "Неверные данные чека"},
      {"a negative total", "{}", "/api/1/receipt",
       Receipt(R"("1")", R"("T1079":0,"T1023":1,"T1043":0)", R"("T1020":-1,"T1031":0)"), 3,
       "Неверные данные чека"},
      {"a buyer's contact as a number", "{}", "/api/1/receipt",
       Receipt(R"("1")", kItem21, R"("T1020":21,"T1031":21,"T1008":79001234567)"), 3,
       "Неверные данные чека"},
      {"a correction base date as a number", "{}", "/api/1/correctivereceipt",
       R"({"T1054":"1","T1055":"1","T1020":1,"T1031":1,"T1174":{"T1178":20240517}})", 3,
       "Неверные данные чека коррекции"},
      {"price x quantity off by 2 kopecks", "{}", "/api/1/receipt",
       Receipt(R"("1")", R"("T1079":10.5,"T1023":2,"T1043":21.02)",
               R"("T1020":21.02,"T1031":21.02)"),
       31, "Неверная сумма предмета расчета"},
      {"items add up to 21, the total is 21.01", "{}", "/api/1/receipt",
       Receipt(R"("1")", kItem21, R"("T1020":21.01,"T1031":21.01)"), 30, "Неверная сумма чека"},
      {"payments short of the total", "{}", "/api/1/receipt",
       Receipt(R"("1")", kItem21, R"("T1020":21,"T1031":10,"T1081":10.99)"), 32,
       "Сумма оплаты меньше итога чека"},
      {"a correction short of payment", "{}", "/api/1/correctivereceipt",
       Correction(R"("T1020":100,"T1031":50,"T1081":0,"T1215":49.99)"), 32,
       "Сумма оплаты меньше итога чека"},
      {"a correction on a shift of 24 hours", R"({"shiftOpenedAt":"2024-05-16T09:30:00"})",
       "/api/1/correctivereceipt", Correction(R"("T1020":1,"T1031":1,"T1081":0)"), 22,
       "Смена превысила 24 часа"},
      {"a correction unregistered", R"({"registered":false})", "/api/1/correctivereceipt",
       Correction(R"("T1020":1,"T1031":1,"T1081":0)"), 10, "ККТ не зарегистрирована"},
      {"a correction with the storage closed", R"({"fiscalStorageClosed":true})",
       "/api/1/correctivereceipt", Correction(R"("T1020":1,"T1031":1,"T1081":0)"), 12,
       "Архив ФН закрыт"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Register.Reset();
    Patch(std::string(R"({"clock":")") + kClock + R"(","shiftOpen":true})");
    Patch(Case.Patch);
    const Json Before = State();
    const Json Refusal = Post(Case.Path, Case.Body);
    EXPECT_EQ(Refusal.value("ok", true), false) << Refusal;
    EXPECT_EQ(Refusal.value("code", 0), Case.Code) << Refusal;
    EXPECT_EQ(Refusal.value("message", ""), Case.Message);
    ASSERT_TRUE(Refusal.contains("errors") && Refusal["errors"].is_array()) << Refusal;
    EXPECT_FALSE(Refusal["errors"].empty());
    EXPECT_EQ(State(), Before) << "a refusal changed the register";
  }
}

TEST_F(ReceiptTest, LetsPassWhatIsWithinAKopeck) {
  const struct {
    const char* Name;
    const char* Path;
    std::string Body;
  } Cases[] = {
      {"kind and tax system as numbers", "/api/1/receipt",
       R"({"T1054":1,"T1055":6,"T1059":[{"T1079":1,"T1023":1,"T1043":1}],"T1020":1,"T1031":1})"},
      {"price x quantity off by a kopeck", "/api/1/receipt",
       Receipt(R"("1")", R"("T1079":33.33,"T1023":3,"T1043":100)", R"("T1020":100,"T1031":100)")},
      {"the total off by less than half a kopeck", "/api/1/receipt",
       Receipt(R"("1")", kItem21, R"("T1020":21.004,"T1031":21.004)")},
      {"paid in three ways, more than the total", "/api/1/receipt",
       Receipt(R"("3")", kItem21, R"("T1020":21,"T1031":10,"T1081":10,"T1216":5)")},
      {"a text line among the items", "/api/1/receipt",
       R"({"T1054":"1","T1055":"1","T1059":[{"T1214":0,"T1212":0,"T1079":0,"T1023":0,)"
       R"("T1199":0,"T1200":0,"T1043":0},{"T1079":5,"T1023":1,"T1199":1,"T1043":5}],)"
       R"("T1020":5,"T1031":0,"T1081":5})"},
      {"a correction paid in advance", "/api/1/correctivereceipt",
       Correction(R"("T1020":12.5,"T1031":0,"T1081":0,"T1215":12.5)")},
  };
  Patch(R"({"shiftOpen":true})");
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const Json Answer = Post(Case.Path, Case.Body);
    EXPECT_EQ(Answer.value("ok", false), true) << Answer;
    for (const char* Tag : {"T1042", "T1038", "T1077", "T1060"})
      EXPECT_TRUE(Answer["data"].contains(Tag)) << Tag;
  }
}

TEST_F(ReceiptTest, PrintsSalesRefundsCorrectionsAndTheShiftTotals) {
  const struct {
    const char* Name;
    const char* Path;
    std::string Body;
    std::vector<std::string> Lines;  // lines the document has, among others
  } Cases[] = {
      {"a sale",
       "/api/1/receipt",
       R"({"T1054":"1","T1055":"1","T1008":"+79001234567","T1059":[{"T1214":4,"T1212":1,)"
       R"("T1030":"Молоко 3,2% 1 л","T1197":"шт","T1079":10.5,"T1023":2,"T1199":2,"T1200":1.91,)"
       R"("T1043":21},{"T1030":"Пакет","T1079":5,"T1023":1,"T1199":6,"T1043":5}],"T1020":26,)"
       R"("T1031":26,"T1081":0,"T1103":1.91,"T1105":5,"T1021":"Иванов И.И."})",
       {Line("ИНН", "7701234560"),
        Centered("КАССОВЫЙ ЧЕК"),
        Centered("ПРИХОД"),
        Line("СМЕНА 1", "ЧЕК 1"),
        "1. Молоко 3,2% 1 л",
        Line("   2 шт x 10.50", "=21.00"),
        Line("   НДС 10%", "=1.91"),
        "2. Пакет",
        Line("   1 x 5.00", "=5.00"),
        "   БЕЗ НДС",
        Line("ИТОГ", "=26.00"),
        Line("СУММА НДС 10%", "=1.91"),
        Line("СУММА БЕЗ НДС", "=5.00"),
        Line("НАЛИЧНЫМИ", "=26.00"),
        Line("БЕЗНАЛИЧНЫМИ", "=0.00"),
        Line("СНО", "ОСН"),
        Line("КАССИР", "Иванов И.И."),
        Line("ТЕЛ. ПОКУПАТЕЛЯ", "+79001234567"),
        Line("САЙТ ФНС", "www.nalog.gov.ru"),
        Line("ДАТА ВРЕМЯ", "17.05.2024 09:30"),
        Line("РН ККТ", "0004567890012345"),
        Line("ФН", "9999078902345678"),
        Line("ФД", "3")}},
      {"a refund",
       "/api/1/receipt",
       Receipt(R"("2")", kItem21, R"("T1020":21,"T1031":0,"T1081":21,"T1103":1.91)"),
       {Centered("ВОЗВРАТ ПРИХОДА"), Line("СМЕНА 1", "ЧЕК 2"), Line("ИТОГ", "=21.00"),
        Line("БЕЗНАЛИЧНЫМИ", "=21.00"), Line("ФД", "4")}},
      {"a correction",
       "/api/1/correctivereceipt",
       R"({"T1054":"1","T1055":"3","T1020":12.5,"T1031":0,"T1081":0,"T1215":1.5,"T1217":11,)"
       R"("T1102":1,"T1173":true,"T1174":{"T1178":"2024.05.17","T1179":"№ 12/3"}})",
       {Centered("КАССОВЫЙ ЧЕК КОРРЕКЦИИ"), Centered("ПРИХОД"), Line("СМЕНА 1", "ЧЕК 3"),
        Line("ТИП КОРРЕКЦИИ", "ПО ПРЕДПИСАНИЮ"), Line("ДАТА ДОК. ОСНОВАНИЯ", "2024.05.17"),
        Line("НОМЕР ДОК. ОСНОВАНИЯ", "№ 12/3"), Line("ИТОГ", "=12.50"),
        Line("СУММА НДС 20%", "=1.00"), Line("ПРЕДВАРИТЕЛЬНАЯ ОПЛАТА", "=1.50"),
        Line("ИНАЯ ФОРМА ОПЛАТЫ", "=11.00"), Line("СНО", "УСН доход - расход")}},
      {"the closing report",
       "/api/1/shift/close",
       "{}",
       {Centered("ОТЧЕТ О ЗАКРЫТИИ СМЕНЫ"), Line("СМЕНА", "1"), Line("ЧЕКОВ ЗА СМЕНУ", "3"),
        Line("ФД ЗА СМЕНУ", "5"), Line("ПРИХОД, ЧЕКОВ 2", "=38.50"),
        Line("ВОЗВРАТ ПРИХОДА, ЧЕКОВ 1", "=21.00"), Line("РАСХОД, ЧЕКОВ 0", "=0.00"),
        Line("НЕПЕРЕДАННЫХ ФД", "5"), Line("ФД", "6")}},
  };
  ASSERT_EQ(Post("/api/1/shift/open", "{}").value("ok", false), true);
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    ASSERT_EQ(Call("DELETE", "/emulator/tape").Status, 200);
    const Json Answer = Post(Case.Path, Case.Body);
    ASSERT_EQ(Answer.value("ok", false), true) << Answer;
    const std::vector<std::string> Tape = Register.Tape();
    for (const std::string& Wanted : Case.Lines)
      EXPECT_NE(std::find(Tape.begin(), Tape.end(), Wanted), Tape.end()) << "[" << Wanted << "]";
    const std::string Sign = std::to_string(Answer["data"]["T1077"].get<unsigned>());
    EXPECT_NE(std::find(Tape.begin(), Tape.end(), Line("ФП", Sign)), Tape.end());
    for (const std::string& Printed : Tape) EXPECT_LE(kelvo_emulator::Columns(Printed), 48u);
  }
  EXPECT_EQ(State()["shift"]["totals"]["2"], Json({{"count", 1}, {"sum", 21.0}}));
}

}  // namespace
}  // namespace emulator_testing
