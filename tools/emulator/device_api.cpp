#include "tools/emulator/device_api.h"

#include <cmath>
#include <optional>

#include "tools/emulator/documents.h"
#include "tools/emulator/receipt_checks.h"
#include "tools/emulator/request_members.h"
#include "tools/emulator/tape.h"

namespace kelvo_emulator {

namespace {

constexpr std::size_t kTapeKeepLines = 20000;
constexpr int kMaxFeedLines = 100;

Answer Refuse(int Code, const std::string& Message, const Errors& Details, int Status = 200) {
  Answer Out;
  Out.Status = Status;
  Out.Body = {{"ok", false}, {"code", Code}, {"message", Message}, {"errors", Details}};
  return Out;
}

Answer Done(Json Data) {
  Answer Out;
  Out.Body = {{"ok", true}, {"code", 0}, {"message", ""}, {"data", std::move(Data)}};
  Out.Changed = true;
  return Out;
}

Answer Report(Json Values) {
  Answer Out;
  Out.Body = Json{{"ok", true}};
  Out.Body.update(Values);
  return Out;
}

void Print(RegisterState& State, const Paper& Printed) {
  State.Tape.insert(State.Tape.end(), Printed.Lines().begin(), Printed.Lines().end());
  if (State.Tape.size() > kTapeKeepLines)
    State.Tape.erase(State.Tape.begin(),
                     State.Tape.begin() + static_cast<long>(State.Tape.size() - kTapeKeepLines));
}

Json Warnings(const RegisterState& State) {
  return {{"T1050", State.Warnings.ResourceExhausted},
          {"T1051", State.Warnings.UrgentReplacement},
          {"T1052", State.Warnings.MemoryOverflow},
          {"T1053", State.Warnings.OfdTimeout}};
}

std::string Cashier(const Json& Request) { return TextOf(Request, "T1021"); }

// ---- Checks of the register's state, shared by the fiscal operations.

std::optional<Answer> NeedStorage(const RegisterState& State) {
  if (!State.Registered)
    return Refuse(kNotRegistered, "ККТ не зарегистрирована",
                  {"фискальный накопитель не содержит регистрации"});
  if (State.FiscalStorageClosed)
    return Refuse(kStorageClosed, "Архив ФН закрыт",
                  {"фискальный накопитель " + State.Device.FiscalStorageSerial + " закрыт"});
  return std::nullopt;
}

std::optional<Answer> NeedOpenShift(const RegisterState& State) {
  if (!State.Shift.Open)
    return Refuse(
        kShiftNotOpen, "Смена не открыта",
        {State.Shift.Number == 0 ? "смены еще не открывались"
                                 : "смена " + std::to_string(State.Shift.Number) + " закрыта"});
  if (ShiftStatus(State) == 2)
    return Refuse(kShiftExpired, "Смена превысила 24 часа",
                  {"смена " + std::to_string(State.Shift.Number) + " открыта " +
                   PrintedDateTime(State.Shift.OpenedAt) + ", закройте ее"});
  return std::nullopt;
}

std::optional<Answer> NeedClosedShift(const RegisterState& State) {
  if (!State.Shift.Open) return std::nullopt;
  return Refuse(kShiftMustBeClosed, "Операция невозможна при открытой смене",
                {"закройте смену " + std::to_string(State.Shift.Number)});
}

// ---- The registration.

// The registration tags the register keeps, in the order it answers them.
enum class TagKind { Text, Flag, Number, List };
const std::pair<const char*, TagKind> kRegistrationTags[] = {
    {"T1037", TagKind::Text}, {"T1040", TagKind::Number}, {"T1012", TagKind::Text},
    {"T1048", TagKind::Text}, {"T1018", TagKind::Text},   {"T1009", TagKind::Text},
    {"T1187", TagKind::Text}, {"T1062", TagKind::List},   {"T1002", TagKind::Flag},
    {"T1056", TagKind::Flag}, {"T1109", TagKind::Flag},   {"T1207", TagKind::Flag},
    {"T1193", TagKind::Flag}, {"T1126", TagKind::Flag},   {"T1110", TagKind::Flag},
    {"T1108", TagKind::Flag}, {"T1221", TagKind::Flag},   {"T1001", TagKind::Flag},
    {"T1036", TagKind::Text}, {"T1046", TagKind::Text},   {"T1017", TagKind::Text},
    {"T1060", TagKind::Text}, {"T1117", TagKind::Text},   {"T1057", TagKind::List},
};

Errors CheckRegistration(const Json& Request) {
  Errors Found;
  const auto Member = [&](const char* Tag) {
    const auto It = Request.find(Tag);
    return It == Request.end() ? Json() : *It;
  };
  if (Request.contains("T1101") && !Member("T1101").is_number_integer())
    Found.push_back("T1101: нужен код причины изменения");
  if (!Member("T1048").is_string() || Member("T1048").get<std::string>().empty())
    Found.push_back("T1048: нужно наименование пользователя");
  const Json Inn = Member("T1018");
  if (!Inn.is_string() || !IsDigits(Inn.get<std::string>()) ||
      (Inn.get<std::string>().size() != 10 && Inn.get<std::string>().size() != 12))
    Found.push_back("T1018: ИНН пользователя должен состоять из 10 или 12 цифр");
  const Json Number = Member("T1037");
  if (!Number.is_string() || !IsDigits(Number.get<std::string>()) ||
      Number.get<std::string>().size() > 20)
    Found.push_back("T1037: регистрационный номер ККТ должен состоять из цифр");
  const Json Systems = Member("T1062");
  bool SystemsFine = Systems.is_array() && !Systems.empty();
  for (const Json& System : SystemsFine ? Systems : Json::array()) {
    SystemsFine = SystemsFine && System.is_number_integer() && System.get<long long>() >= 1 &&
                  System.get<long long>() <= 6;
  }
  if (!SystemsFine)
    Found.push_back("T1062: нужен непустой список систем налогообложения (коды от 1 до 6)");
  for (const auto& [Tag, Kind] : kRegistrationTags) {
    if (Kind == TagKind::Flag) CheckFlag(Request, Tag, Found);
    if (Kind == TagKind::Text) CheckText(Request, Tag, Found);
  }
  CheckIntegerList(Request, "T1057", Found);
  if (Member("T1001").is_boolean() && Member("T1001").get<bool>() &&
      (!Member("T1036").is_string() || Member("T1036").get<std::string>().empty()))
    Found.push_back("T1036: в автоматическом режиме нужен номер автомата");
  CheckCashier(Request, Found);
  return Found;
}

// The registration as the register keeps it, from a checked request.
Json RegistrationFrom(const Json& Request, const IssuedDocument& Document) {
  Json Registration = Json::object();
  for (const auto& [Tag, Kind] : kRegistrationTags) {
    const auto Member = Request.find(Tag);
    const bool Given = Member != Request.end();
    switch (Kind) {
      case TagKind::Text: Registration[Tag] = Given ? *Member : Json(""); break;
      case TagKind::Flag: Registration[Tag] = Given ? *Member : Json(false); break;
      case TagKind::List:
        if (Given) Registration[Tag] = *Member;
        break;
      case TagKind::Number: Registration[Tag] = 0; break;  // set below
    }
  }
  Registration["T1040"] = Document.Number;
  Registration["T1012"] = Document.DateTime;
  if (Registration["T1060"].get<std::string>().empty()) Registration["T1060"] = kDefaultTaxSite;
  return Registration;
}

// ---- The endpoints.

Answer GetAllInfo(RegisterState& State, const Json&) {
  const auto Number = State.Registration.find("T1037");
  return Report(
      {{"num", State.Device.Number},
       {"ser_num", State.Device.SerialNumber},
       {"model", "KELVO-1F"},
       {"fw_ver", "1.0.0"},
       {"fn_num", State.Device.FiscalStorageSerial},
       {"reg_num", State.Registered && Number != State.Registration.end() ? *Number : Json("")}});
}

Answer GetRegisterInfo(RegisterState& State, const Json&) {
  Json Values = {{"code", 0},
                 {"message", ""},
                 {"T1013", State.Device.SerialNumber},
                 {"T1041", State.Device.FiscalStorageSerial},
                 {"T1189", State.Device.FfdKkt},
                 {"T1190", State.Device.FfdFn}};
  if (State.Registered) Values.update(State.Registration);
  return Report(Values);
}

Answer PostRegister(RegisterState& State, const Json& Request) {
  if (State.FiscalStorageClosed) return *NeedStorage(State);
  const bool Change = Request.contains("T1101");
  if (!Change && State.Registered)
    return Refuse(kAlreadyRegistered, "ККТ уже зарегистрирована",
                  {"для изменения параметров регистрации нужен код причины (T1101)"});
  if (Change && !State.Registered)
    return Refuse(kNotRegistered, "ККТ не зарегистрирована",
                  {"изменять нечего: сначала нужна регистрация"});
  if (auto Refused = NeedClosedShift(State)) return *Refused;
  const Errors Found = CheckRegistration(Request);
  if (!Found.empty()) return Refuse(kBadData, "Неверные параметры регистрации", Found);

  const IssuedDocument Document = IssueDocument(State, Request);
  State.Registration = RegistrationFrom(Request, Document);
  State.Registered = true;
  Paper Printed;
  PrintRegistrationReport(Printed, State, Document, Change, Cashier(Request));
  Print(State, Printed);
  return Done(
      {{"T1040", Document.Number}, {"T1012", Document.DateTime}, {"T1077", Document.FiscalSign}});
}

Answer PostFinalize(RegisterState& State, const Json& Request) {
  if (auto Refused = NeedStorage(State)) return *Refused;
  if (auto Refused = NeedClosedShift(State)) return *Refused;
  Errors Found;
  CheckCashier(Request, Found);
  CheckText(Request, "T1009", Found);
  CheckText(Request, "T1187", Found);
  if (!Found.empty()) return Refuse(kBadData, "Неверные данные закрытия ФН", Found);

  const IssuedDocument Document = IssueDocument(State, Request);
  Paper Printed;
  PrintStorageClosingReport(Printed, State, Document, Cashier(Request));
  Print(State, Printed);
  State.FiscalStorageClosed = true;
  return Done(
      {{"T1040", Document.Number}, {"T1012", Document.DateTime}, {"T1077", Document.FiscalSign}});
}

Answer PostShiftOpen(RegisterState& State, const Json& Request) {
  if (auto Refused = NeedStorage(State)) return *Refused;
  if (State.Shift.Open)
    return Refuse(kShiftAlreadyOpen, "Смена уже открыта",
                  {"смена " + std::to_string(State.Shift.Number) + " открыта " +
                   PrintedDateTime(State.Shift.OpenedAt)});
  Errors Found;
  CheckCashier(Request, Found);
  if (!Found.empty()) return Refuse(kBadData, "Неверные данные кассира", Found);

  OpenNextShift(State);
  const IssuedDocument Document = IssueDocument(State, Request);
  Paper Printed;
  PrintShiftOpeningReport(Printed, State, Document, Cashier(Request));
  Print(State, Printed);
  Json Data = {{"T1038", State.Shift.Number},
               {"T1040", Document.Number},
               {"T1012", Document.DateTime},
               {"T1077", Document.FiscalSign}};
  Data.update(Warnings(State));
  return Done(Data);
}

Answer PostShiftClose(RegisterState& State, const Json& Request) {
  if (auto Refused = NeedStorage(State)) return *Refused;
  if (!State.Shift.Open)
    return Refuse(
        kShiftNotOpen, "Смена не открыта",
        {State.Shift.Number == 0 ? "смены еще не открывались"
                                 : "смена " + std::to_string(State.Shift.Number) + " уже закрыта"});
  Errors Found;
  CheckCashier(Request, Found);
  if (!Found.empty()) return Refuse(kBadData, "Неверные данные кассира", Found);

  const IssuedDocument Document = IssueDocument(State, Request);
  Paper Printed;
  PrintShiftClosingReport(Printed, State, Document, Cashier(Request));
  Print(State, Printed);
  State.Shift.Open = false;
  Json Data = {{"T1038", State.Shift.Number},
               {"T1012", Document.DateTime},
               {"T1040", Document.Number},
               {"T1118", State.Shift.Receipts},
               {"T1111", State.Shift.Documents},
               {"T1097", State.Unsent.Count},
               {"T1098", State.Unsent.FirstDateTime},
               {"T1077", Document.FiscalSign}};
  Data.update(Warnings(State));
  return Done(Data);
}

using ReceiptCheck = std::optional<Complaint> (*)(const Json& Request);
using ReceiptLayout = void (*)(Paper& Out, const RegisterState& State,
                               const IssuedDocument& Document, int ReceiptNumber,
                               const Json& Request);

// A receipt or correction receipt: checked, numbered in the shift, counted
// in the shift's totals of its kind (T1054), issued and printed.
Answer IssueReceipt(RegisterState& State, const Json& Request, ReceiptCheck Check,
                    ReceiptLayout Layout) {
  if (auto Refused = NeedStorage(State)) return *Refused;
  if (auto Refused = NeedOpenShift(State)) return *Refused;
  if (auto Wrong = Check(Request)) return Refuse(Wrong->Code, Wrong->Message, Wrong->Details);

  const int Number = ++State.Shift.Receipts;
  KindTotal& Total = State.Shift.Totals.at(static_cast<std::size_t>(CodeOf(Request, "T1054") - 1));
  ++Total.Count;
  Total.Kopecks += std::llround(AmountOf(Request, "T1020") * 100);
  const IssuedDocument Document = IssueDocument(State, Request);
  Paper Printed;
  Layout(Printed, State, Document, Number, Request);
  Print(State, Printed);
  return Done({{"T1042", Number},
               {"T1038", State.Shift.Number},
               {"T1040", Document.Number},
               {"T1012", Document.DateTime},
               {"T1077", Document.FiscalSign},
               {"T1060", TaxSite(State)}});
}

Answer PostReceipt(RegisterState& State, const Json& Request) {
  return IssueReceipt(State, Request, CheckReceipt, PrintReceipt);
}

Answer PostCorrectiveReceipt(RegisterState& State, const Json& Request) {
  return IssueReceipt(State, Request, CheckCorrection, PrintCorrectionReceipt);
}

// "feed" values: a count, a blank and "lines" (or "line").
bool ReadFeed(const Json& Value, int& Lines) {
  if (!Value.is_string()) return false;
  const std::string Text = Value.get<std::string>();
  const std::size_t Blank = Text.find(' ');
  long long Count = 0;
  if (Blank == std::string::npos || !IsDigits(Text.substr(0, Blank)) ||
      !ParseInt(Text.substr(0, Blank), Count) || Count > kMaxFeedLines)
    return false;
  const std::string Word = Text.substr(Blank + 1);
  if (Word != "lines" && Word != "line") return false;
  Lines = static_cast<int>(Count);
  return true;
}

Answer PostPrintAny(RegisterState& State, const Json& Request) {
  const auto Elements = Request.find("data");
  if (Elements == Request.end() || !Elements->is_array())
    return Refuse(kBadData, "Неверный документ для печати", {"data: нужен список элементов"});
  Errors Found;
  Paper Printed;
  std::size_t Index = 0;
  for (const Json& Element : *Elements) {
    const std::string Where = "data[" + std::to_string(Index++) + "]: ";
    if (!Element.is_object() || Element.size() != 1) {
      Found.push_back(Where + "нужен объект с одним элементом");
      continue;
    }
    const std::string Kind = Element.begin().key();
    const Json& Value = Element.begin().value();
    int Lines = 0;
    if ((Kind == "left" || Kind == "center" || Kind == "right") && Value.is_string()) {
      const std::string Text = Value.get<std::string>();
      if (Kind == "left") Printed.Left(Text);
      if (Kind == "center") Printed.Center(Text);
      if (Kind == "right") Printed.Right(Text);
    } else if (Kind == "hr" && Value.is_boolean()) {
      if (Value.get<bool>()) Printed.Rule();
    } else if (Kind == "feed" && ReadFeed(Value, Lines)) {
      Printed.Feed(Lines);
    } else if (Kind == "left" || Kind == "center" || Kind == "right" || Kind == "hr" ||
               Kind == "feed") {
      Found.push_back(Where + "неверное значение элемента \"" + Kind + "\"");
    } else {
      Found.push_back(Where + "неизвестный элемент \"" + Kind + "\"");
    }
  }
  if (!Found.empty()) return Refuse(kBadData, "Неверный документ для печати", Found);
  Print(State, Printed);
  return Done(Json::object());
}

Answer GetShiftStatus(RegisterState& State, const Json&) {
  return Report({{"shiftNo", State.Shift.Number},
                 {"shiftStatus", ShiftStatus(State)},
                 {"checkNo", State.Shift.Receipts}});
}

Answer GetOfdStatus(RegisterState& State, const Json&) {
  return Report({{"msgCountForExch", State.Unsent.Count},
                 {"noOfFirstDocForExch", State.Unsent.FirstNumber},
                 {"DateTimeOfFirstDocForExch", State.Unsent.FirstDateTime}});
}

struct Endpoint {
  const char* Method;
  const char* Path;
  Answer (*Handle)(RegisterState&, const Json&);
};

const Endpoint kEndpoints[] = {
    {"GET", "/api/1/getallinfo", GetAllInfo},
    {"GET", "/api/1/register/info", GetRegisterInfo},
    {"POST", "/api/1/register", PostRegister},
    {"POST", "/api/1/finalize", PostFinalize},
    {"POST", "/api/1/shift/open", PostShiftOpen},
    {"POST", "/api/1/shift/close", PostShiftClose},
    {"POST", "/api/1/receipt", PostReceipt},
    {"POST", "/api/1/correctivereceipt", PostCorrectiveReceipt},
    {"POST", "/api/1/printany", PostPrintAny},
    {"GET", "/api/1/shift/status", GetShiftStatus},
    {"GET", "/api/1/ofd/status", GetOfdStatus},
};

}  // namespace

Answer HandleDeviceRequest(RegisterState& State, const std::string& Method, const std::string& Path,
                           const std::string& Body) {
  const std::string Verb = Method == "HEAD" ? "GET" : Method;
  const Endpoint* Found = nullptr;
  bool PathKnown = false;
  for (const Endpoint& Candidate : kEndpoints) {
    if (Path != Candidate.Path) continue;
    PathKnown = true;
    if (Verb == Candidate.Method) Found = &Candidate;
  }
  if (!Found)
    return Refuse(kUnknownCommand, PathKnown ? "Неверный метод запроса" : "Неизвестная команда",
                  {Method + " " + Path}, PathKnown ? 405 : 404);
  Json Request = Json::object();
  if (Verb == "POST") {
    Request = Json::parse(Body, nullptr, false);
    if (Request.is_discarded() || !Request.is_object())
      return Refuse(kBadRequest, "Неверный формат запроса",
                    {"тело запроса должно быть объектом JSON"});
  }
  return Found->Handle(State, Request);
}

}  // namespace kelvo_emulator
