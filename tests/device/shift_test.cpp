// OpenShift and CloseShift: the cashier they send, and how each reads the
// register's answer (the twins differ on purpose).
#include <gtest/gtest.h>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

class Shifts : public DeviceTest {
 protected:
  CallResult Shift(const char16_t* Method, const std::string& Input) {
    return Call(Method, {Device(), S(U(Input)), Out(), Out(), Out()});
  }
};

std::string Input(const std::string& Attributes) {
  return "<InputParameters><Parameters " + Attributes + "/></InputParameters>";
}

std::string OpenDocument(const char* Urgent, const char* Overflow, const char* Exhausted,
                         const char* Timeout) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"utf-8\"?><OutputParameters><Parameters "
             "UrgentReplacementFN=\"") +
         Urgent + "\" MemoryOverflowFN=\"" + Overflow + "\" ResourcesExhaustionFN=\"" + Exhausted +
         "\" OFDtimeout=\"" + Timeout + "\"/></OutputParameters>";
}

std::string CloseDocument(int Checks, int Documents, int Backlog, const std::string& First,
                          const char* Urgent = "false") {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><OutputParameters><Parameters "
         "NumberOfChecks=\"" +
         std::to_string(Checks) + "\" NumberOfDocuments=\"" + std::to_string(Documents) +
         "\" BacklogDocumentsCounter=\"" + std::to_string(Backlog) +
         "\" BacklogDocumentFirstNumber=\"0\" BacklogDocumentFirstDateTime=\"" + First +
         "\" UrgentReplacementFN=\"" + Urgent +
         "\" MemoryOverflowFN=\"false\" ResourcesExhaustionFN=\"false\" ResourcesFN=\"0\" "
         "OFDTimeout=\"false\"/></OutputParameters>";
}

TEST_F(Shifts, CashierInTheRequest) {
  struct Case {
    std::string Input;
    std::string Open, Close;
  };
  const Case Cases[] = {
      {Input(R"(CashierName="Иванов")"), R"({"T1021":"Иванов"})", R"({"T1021":"Иванов"})"},
      {Input(R"(CashierName="A/B" CashierVATIN="7701234560")"),
       R"({"T1021":"A\/B","T1203":"7701234560"})", R"({"T1021":"A\/B"})"},
      {Input(R"(CashierVATIN="500100732259")"), R"({"T1203":"500100732259"})",
       R"({"T1203":"500100732259"})"},
      {"<InputParameters/>", "{}", "{}"},
      {R"(<Parameters CashierName="A"/>)", "{}", "{}"},
      {R"(<X><Parameters CashierName="A"/><Parameters CashierName="B" CashierVATIN=""/></X>)",
       R"({"T1021":"B"})", R"({"T1021":"B"})"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Input);
    Answer("/api/1/shift/open", R"({"ok":false})");
    Answer("/api/1/shift/close", R"({"ok":false})");
    Shift(u"OpenShift", C.Input);
    EXPECT_EQ(LastRequest().Body, C.Open);
    Shift(u"CloseShift", C.Input);
    EXPECT_EQ(LastRequest().Body, C.Close);
  }
}

TEST_F(Shifts, OpenShiftAnswers) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::int64_t ShiftNo, DocNo;
    std::string Document;
    std::int64_t Code;
    std::u16string Message;
  };
  const std::string AllFalse = OpenDocument("false", "false", "false", "false");
  const Case Cases[] = {
      {R"({"ok":true,"code":0,"message":"","data":{"T1038":12,"T1040":345,"T1051":true}})", true,
       12, 345, OpenDocument("true", "false", "false", "false"), 0, u""},
      {R"({"ok":true,"data":{"T1038":12}})", false, 0, 0, AllFalse, 0, u""},
      {R"({"ok":true,"code":1,"message":"Готово","data":{"T1038":1,"T1040":2,"T1050":true,)"
       R"("T1052":"x","T1053":true}})",
       false, 0, 0, OpenDocument("false", "false", "true", "false"), 1, u"Готово"},
      {R"({"ok":false,"code":20,"message":"Смена уже открыта","errors":["e"]})", false, 0, 0,
       AllFalse, 20, u"Смена уже открыта"},
      {R"({"ok":false,"code":20})", false, 0, 0, AllFalse, 0, u""},
      {R"({"ok":false,"code":20,"message":{"text":"M"}})", false, 0, 0, AllFalse, 20, u""},
      {R"({"ok":false,"code":21,"message":[]})", false, 0, 0, AllFalse, 21, u""},
      {R"({"code":7,"message":"M","data":{"T1038":1,"T1040":2}})", false, 0, 0, AllFalse, 7, u"M"},
      {R"({"ok":true,"code":0,"message":"","data":[]})", false, 0, 0, AllFalse, 0, u""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/shift/open", C.Answer);
    const CallResult R = Shift(u"OpenShift", Input(R"(CashierName="A")"));
    EXPECT_EQ(R.Ret.Bool, C.Ok);
    EXPECT_EQ(R.Params[3].Int, C.ShiftNo);
    EXPECT_EQ(R.Params[4].Int, C.DocNo);
    EXPECT_EQ(Utf8(R.Params[2].Text), C.Document);
    EXPECT_EQ(LastError(), std::make_pair(C.Code, C.Message));
  }
}

TEST_F(Shifts, CloseShiftAnswers) {
  struct Case {
    std::string Answer;
    bool Ok;
    std::int64_t ShiftNo, DocNo;
    std::string Document;
    std::int64_t Code;
    std::u16string Message;  // "=" leaves the text the test set before
  };
  const Case Cases[] = {
      {R"({"ok":true,"data":{"T1038":12,"T1012":"2024-05-17T21:00:00","T1040":400,"T1118":5,)"
       R"("T1111":9,"T1097":2,"T1098":"2024-05-17T10:00:00","T1051":true}})",
       true, 12, 400, CloseDocument(5, 9, 2, "2024-05-17T10:00:00", "true"), 0, u"="},
      {R"({"ok":true,"data":{"T1038":12,"T1040":400,"T1118":5}})", true, 12, 0,
       CloseDocument(0, 0, 0, ""), 0, u"="},
      {R"({"ok":true,"data":{"T1038":12,"T1012":1,"T1040":400,"T1118":"x","T1111":9}})", true, 12,
       400, CloseDocument(0, 0, 0, ""), 0, u"="},
      {R"({"ok":true,"data":"none"})", true, 0, 0, CloseDocument(0, 0, 0, ""), 0, u"="},
      {R"({"ok":false,"code":7,"message":"X"})", false, 0, 0, CloseDocument(0, 0, 0, ""), 7, u"X"},
      {R"({"ok":false,"code":7})", false, 0, 0, CloseDocument(0, 0, 0, ""), 0, u""},
      {R"({"code":21,"message":"Смена не открыта"})", false, 0, 0, CloseDocument(0, 0, 0, ""), 21,
       u"Смена не открыта"},
      {"{}", false, 0, 0, CloseDocument(0, 0, 0, ""), 0, u""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Answer);
    Answer("/api/1/register/info", "{}", "application/json", 200, 1);
    Call(u"GetDataKKT", {Device(), Out()});  // leaves 3 "Неверный ответ!"
    Answer("/api/1/shift/close", C.Answer);
    const CallResult R = Shift(u"CloseShift", Input(R"(CashierName="A")"));
    EXPECT_EQ(R.Ret.Bool, C.Ok);
    EXPECT_EQ(R.Params[3].Int, C.ShiftNo);
    EXPECT_EQ(R.Params[4].Int, C.DocNo);
    EXPECT_EQ(Utf8(R.Params[2].Text), C.Document);
    EXPECT_EQ(LastError(),
              std::make_pair(C.Code, C.Message == u"=" ? u"Неверный ответ!" : C.Message));
  }
}

TEST_F(Shifts, NoAnswerKeepsTheTransportFailure) {
  for (const char16_t* Method : {u"OpenShift", u"CloseShift"}) {
    const CallResult R =
        Call(Method, {S(U(ClosedLoopbackAddress())), S(U(Input(""))), Out(), Out(), Out()});
    EXPECT_TRUE(R.Routine);
    EXPECT_FALSE(R.Ret.Bool);
    EXPECT_EQ(R.Params[3].Int, 0);
    EXPECT_EQ(LastError().first, 1) << Utf8(Method);
  }
}

TEST_F(Shifts, BadInputEndsTheCall) {
  for (const char16_t* Method : {u"OpenShift", u"CloseShift"}) {
    const CallResult R = Shift(Method, "<Parameters CashierName=");
    EXPECT_FALSE(R.Routine);
    EXPECT_EQ(R.Params[2].Type, VTYPE_EMPTY);
  }
  EXPECT_TRUE(Requests().empty());
}

TEST_F(Shifts, OpenAndCloseTheRegistersShift) {
  CallResult R =
      Shift(u"OpenShift", Input(R"(CashierName="Иванов И.И." CashierVATIN="500100732259")"));
  ASSERT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  const std::int64_t ShiftNo = R.Params[3].Int;
  EXPECT_GT(ShiftNo, 0);
  EXPECT_GT(R.Params[4].Int, 0);

  R = Shift(u"OpenShift", Input(R"(CashierName="Иванов И.И.")"));
  EXPECT_FALSE(R.Ret.Bool) << "an open shift cannot be opened again";
  EXPECT_NE(LastError().first, 0);

  R = Shift(u"CloseShift", Input(R"(CashierName="Иванов И.И.")"));
  EXPECT_TRUE(R.Ret.Bool) << Utf8(LastError().second);
  EXPECT_EQ(R.Params[3].Int, ShiftNo);
  R = Shift(u"CloseShift", Input(R"(CashierName="Иванов И.И.")"));
  EXPECT_FALSE(R.Ret.Bool) << "a closed shift cannot be closed again";
}

}  // namespace
