#include "tools/emulator/register_state.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace kelvo_emulator {

namespace {

constexpr int kFileFormat = 1;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t Year, unsigned Month, unsigned Day) {
  Year -= Month <= 2;
  const std::int64_t Era = (Year >= 0 ? Year : Year - 399) / 400;
  const auto YearOfEra = static_cast<unsigned>(Year - Era * 400);
  const unsigned DayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const unsigned DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
  return Era * 146097 + static_cast<std::int64_t>(DayOfEra) - 719468;
}

// Reading the parts of a patch: each returns an error text, empty when fine.
std::string ReadBool(const Json& Value, const char* Name, bool& Out) {
  if (!Value.is_boolean()) return std::string(Name) + " must be true or false";
  Out = Value.get<bool>();
  return {};
}

std::string ReadCount(const Json& Value, const char* Name, int& Out) {
  if (!Value.is_number_integer() || Value.get<long long>() < 0 ||
      Value.get<long long>() > 2147483647LL)
    return std::string(Name) + " must be a whole number, 0 or more";
  Out = Value.get<int>();
  return {};
}

std::string ReadText(const Json& Value, const char* Name, std::string& Out) {
  if (!Value.is_string()) return std::string(Name) + " must be a string";
  Out = Value.get<std::string>();
  return {};
}

std::string ReadDateTime(const Json& Value, const char* Name, std::string& Out) {
  std::int64_t Seconds = 0;
  if (!Value.is_string() || !ParseDateTime(Value.get<std::string>(), Seconds))
    return std::string(Name) + " must be a date and time like 2024-05-17T09:30:00";
  Out = Value.get<std::string>();
  return {};
}

template <typename Fn>
std::string ForMembers(const Json& Object, const char* Name, Fn Each) {
  if (!Object.is_object()) return std::string(Name) + " must be an object";
  for (const auto& [Key, Value] : Object.items()) {
    std::string Error = Each(Key, Value);
    if (!Error.empty()) return std::string(Name) + "." + Error;
  }
  return {};
}

std::string PatchDevice(DeviceInfo& Device, const Json& Value) {
  return ForMembers(Value, "device", [&](const std::string& Key, const Json& Member) {
    if (Key == "number") return ReadText(Member, "number", Device.Number);
    if (Key == "serialNumber") return ReadText(Member, "serialNumber", Device.SerialNumber);
    if (Key == "fiscalStorageSerial")
      return ReadText(Member, "fiscalStorageSerial", Device.FiscalStorageSerial);
    if (Key == "ffdKkt") return ReadCount(Member, "ffdKkt", Device.FfdKkt);
    if (Key == "ffdFn") return ReadCount(Member, "ffdFn", Device.FfdFn);
    return "unknown member " + Key;
  });
}

std::string PatchBacklog(Backlog& Unsent, const Json& Value) {
  return ForMembers(Value, "backlog", [&](const std::string& Key, const Json& Member) {
    if (Key == "count") return ReadCount(Member, "count", Unsent.Count);
    if (Key == "firstNumber") return ReadCount(Member, "firstNumber", Unsent.FirstNumber);
    if (Key == "firstDateTime") return ReadText(Member, "firstDateTime", Unsent.FirstDateTime);
    return "unknown member " + Key;
  });
}

std::string PatchWarnings(StorageWarnings& Warnings, const Json& Value) {
  return ForMembers(Value, "warnings", [&](const std::string& Key, const Json& Member) {
    if (Key == "resourceExhausted")
      return ReadBool(Member, "resourceExhausted", Warnings.ResourceExhausted);
    if (Key == "urgentReplacement")
      return ReadBool(Member, "urgentReplacement", Warnings.UrgentReplacement);
    if (Key == "memoryOverflow") return ReadBool(Member, "memoryOverflow", Warnings.MemoryOverflow);
    if (Key == "ofdTimeout") return ReadBool(Member, "ofdTimeout", Warnings.OfdTimeout);
    return "unknown member " + Key;
  });
}

std::string PatchRegistration(Json& Registration, const Json& Value) {
  return ForMembers(Value, "registration", [&](const std::string& Key, const Json& Member) {
    if (Member.is_null()) {
      Registration.erase(Key);
    } else {
      Registration[Key] = Member;
    }
    return std::string();
  });
}

std::string PatchShiftOpen(RegisterState& State, const Json& Value) {
  bool Open = false;
  std::string Error = ReadBool(Value, "shiftOpen", Open);
  if (!Error.empty()) return Error;
  if (Open && !State.Shift.Open) OpenNextShift(State);
  if (!Open) State.Shift.Open = false;
  return {};
}

std::string PatchClock(RegisterState& State, const Json& Value) {
  if (Value.is_null()) {
    State.Clock.reset();
    return {};
  }
  std::string Clock;
  std::string Error = ReadDateTime(Value, "clock", Clock);
  if (Error.empty()) State.Clock = Clock;
  return Error;
}

std::string PatchOfdOnline(RegisterState& State, const Json& Value) {
  std::string Error = ReadBool(Value, "ofdOnline", State.OfdOnline);
  if (Error.empty() && State.OfdOnline) State.Unsent = Backlog();
  return Error;
}

using PatchStep = std::string (*)(RegisterState&, const Json&);

// The members of a patch, in the order in which they apply.
const std::pair<const char*, PatchStep> kPatchSteps[] = {
    {"clock", PatchClock},
    {"device", [](RegisterState& S, const Json& V) { return PatchDevice(S.Device, V); }},
    {"registration",
     [](RegisterState& S, const Json& V) { return PatchRegistration(S.Registration, V); }},
    {"registered",
     [](RegisterState& S, const Json& V) { return ReadBool(V, "registered", S.Registered); }},
    {"fiscalStorageClosed",
     [](RegisterState& S, const Json& V) {
       return ReadBool(V, "fiscalStorageClosed", S.FiscalStorageClosed);
     }},
    {"shiftOpen", PatchShiftOpen},
    {"shiftNumber",
     [](RegisterState& S, const Json& V) { return ReadCount(V, "shiftNumber", S.Shift.Number); }},
    {"shiftOpenedAt",
     [](RegisterState& S, const Json& V) {
       return ReadDateTime(V, "shiftOpenedAt", S.Shift.OpenedAt);
     }},
    {"receiptNumber",
     [](RegisterState& S, const Json& V) {
       return ReadCount(V, "receiptNumber", S.Shift.Receipts);
     }},
    {"documentNumber",
     [](RegisterState& S, const Json& V) {
       return ReadCount(V, "documentNumber", S.DocumentNumber);
     }},
    {"backlog", [](RegisterState& S, const Json& V) { return PatchBacklog(S.Unsent, V); }},
    {"ofdOnline", PatchOfdOnline},
    {"warnings", [](RegisterState& S, const Json& V) { return PatchWarnings(S.Warnings, V); }},
};

Json DeviceToJson(const DeviceInfo& Device) {
  return Json{{"number", Device.Number},
              {"serialNumber", Device.SerialNumber},
              {"fiscalStorageSerial", Device.FiscalStorageSerial},
              {"ffdKkt", Device.FfdKkt},
              {"ffdFn", Device.FfdFn}};
}

// Totals by kind: {"1":{"count":N,"sum":AMOUNT},...,"4":{...}}.
Json TotalsToJson(const std::array<KindTotal, 4>& Totals) {
  Json Out = Json::object();
  for (std::size_t Kind = 1; Kind <= Totals.size(); ++Kind)
    Out[std::to_string(Kind)] = {{"count", Totals[Kind - 1].Count},
                                 {"sum", static_cast<double>(Totals[Kind - 1].Kopecks) / 100}};
  return Out;
}

std::array<KindTotal, 4> TotalsFromJson(const Json& Value) {
  std::array<KindTotal, 4> Totals{};
  for (std::size_t Kind = 1; Kind <= Totals.size(); ++Kind) {
    const Json& Total = Value.at(std::to_string(Kind));
    Totals[Kind - 1].Count = Total.at("count").get<int>();
    Totals[Kind - 1].Kopecks = std::llround(Total.at("sum").get<double>() * 100);
  }
  return Totals;
}

Json WarningsToJson(const StorageWarnings& Warnings) {
  return Json{{"resourceExhausted", Warnings.ResourceExhausted},
              {"urgentReplacement", Warnings.UrgentReplacement},
              {"memoryOverflow", Warnings.MemoryOverflow},
              {"ofdTimeout", Warnings.OfdTimeout}};
}

}  // namespace

RegisterState StartState() {
  RegisterState State;
  State.Device = {"000123", "00107700123456", "9999078902345678", 3, 2};
  State.Registered = true;
  State.DocumentNumber = 1;  // the registration report
  State.Registration = Json{
      {"T1037", "0004567890012345"},
      {"T1040", 1},
      {"T1012", "2024-03-01T09:00:00"},
      {"T1048", "ООО \"Ромашка\""},
      {"T1018", "7701234560"},
      {"T1009", "123456, г. Москва, ул. Полевая, д. 7"},
      {"T1187", "Магазин \"Ромашка\", касса 1"},
      {"T1062", Json::array({1})},
      {"T1002", false},
      {"T1056", false},
      {"T1109", false},
      {"T1207", false},
      {"T1193", false},
      {"T1126", false},
      {"T1110", false},
      {"T1108", false},
      {"T1221", false},
      {"T1001", false},
      {"T1036", ""},
      {"T1046", "ООО \"Первый тестовый ОФД\""},
      {"T1017", "7712345671"},
      {"T1060", kDefaultTaxSite},
      {"T1117", "chek@romashka.example"},
  };
  return State;
}

Json StateToJson(const RegisterState& State, StateView View) {
  Json Out = Json::object();
  if (View == StateView::File) Out["format"] = kFileFormat;
  Out["device"] = DeviceToJson(State.Device);
  Out["registered"] = State.Registered;
  Out["fiscalStorageClosed"] = State.FiscalStorageClosed;
  Out["registration"] = State.Registration;
  Json Shift = {{"open", State.Shift.Open},           {"number", State.Shift.Number},
                {"openedAt", State.Shift.OpenedAt},   {"receipts", State.Shift.Receipts},
                {"documents", State.Shift.Documents}, {"totals", TotalsToJson(State.Shift.Totals)}};
  if (View == StateView::Control) Shift["status"] = ShiftStatus(State);
  Out["shift"] = Shift;
  Out["documentNumber"] = State.DocumentNumber;
  Out["backlog"] = {{"count", State.Unsent.Count},
                    {"firstNumber", State.Unsent.FirstNumber},
                    {"firstDateTime", State.Unsent.FirstDateTime}};
  Out["ofdOnline"] = State.OfdOnline;
  Out["warnings"] = WarningsToJson(State.Warnings);
  Out["clock"] = State.Clock ? Json(*State.Clock) : Json(nullptr);
  if (View == StateView::Control) {
    Out["now"] = Now(State);
    Out["tapeLines"] = State.Tape.size();
  } else {
    Out["tape"] = State.Tape;
  }
  return Out;
}

RegisterState StateFromJson(const Json& Value) {
  try {
    if (Value.at("format").get<int>() != kFileFormat)
      throw std::runtime_error("unknown state file format");
    RegisterState State;
    const Json& Device = Value.at("device");
    State.Device.Number = Device.at("number").get<std::string>();
    State.Device.SerialNumber = Device.at("serialNumber").get<std::string>();
    State.Device.FiscalStorageSerial = Device.at("fiscalStorageSerial").get<std::string>();
    State.Device.FfdKkt = Device.at("ffdKkt").get<int>();
    State.Device.FfdFn = Device.at("ffdFn").get<int>();
    State.Registered = Value.at("registered").get<bool>();
    State.FiscalStorageClosed = Value.at("fiscalStorageClosed").get<bool>();
    State.Registration = Value.at("registration");
    if (!State.Registration.is_object()) throw std::runtime_error("registration is no object");
    const Json& Shift = Value.at("shift");
    State.Shift.Open = Shift.at("open").get<bool>();
    State.Shift.Number = Shift.at("number").get<int>();
    State.Shift.OpenedAt = Shift.at("openedAt").get<std::string>();
    State.Shift.Receipts = Shift.at("receipts").get<int>();
    State.Shift.Documents = Shift.at("documents").get<int>();
    if (Shift.contains("totals")) State.Shift.Totals = TotalsFromJson(Shift.at("totals"));
    State.DocumentNumber = Value.at("documentNumber").get<int>();
    const Json& Unsent = Value.at("backlog");
    State.Unsent.Count = Unsent.at("count").get<int>();
    State.Unsent.FirstNumber = Unsent.at("firstNumber").get<int>();
    State.Unsent.FirstDateTime = Unsent.at("firstDateTime").get<std::string>();
    State.OfdOnline = Value.at("ofdOnline").get<bool>();
    std::string Error = PatchWarnings(State.Warnings, Value.at("warnings"));
    if (!Error.empty()) throw std::runtime_error(Error);
    if (!Value.at("clock").is_null()) State.Clock = Value.at("clock").get<std::string>();
    State.Tape = Value.at("tape").get<std::vector<std::string>>();
    return State;
  } catch (const Json::exception& Failure) {
    throw std::runtime_error(Failure.what());
  }
}

void OpenNextShift(RegisterState& State) {
  State.Shift.Open = true;
  ++State.Shift.Number;
  State.Shift.OpenedAt = Now(State);
  State.Shift.Receipts = 0;
  State.Shift.Documents = 0;
  State.Shift.Totals = {};
}

std::string TaxSite(const RegisterState& State) {
  const auto Site = State.Registration.find("T1060");
  if (Site != State.Registration.end() && Site->is_string() && !Site->get<std::string>().empty())
    return Site->get<std::string>();
  return kDefaultTaxSite;
}

std::string ApplyPatch(RegisterState& State, const Json& Patch) {
  if (!Patch.is_object()) return "the state patch must be a JSON object";
  for (const auto& Item : Patch.items()) {
    bool Known = false;
    for (const auto& Step : kPatchSteps) Known = Known || Item.key() == Step.first;
    if (!Known) return "unknown member " + Item.key();
  }
  RegisterState Changed = State;
  for (const auto& [Name, Step] : kPatchSteps) {
    const auto Member = Patch.find(Name);
    if (Member == Patch.end()) continue;
    std::string Error = Step(Changed, *Member);
    if (!Error.empty()) return Error;
  }
  State = std::move(Changed);
  return {};
}

std::string Now(const RegisterState& State) {
  if (State.Clock) return *State.Clock;
  const std::time_t Seconds = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Seconds, &Local);
  char Text[32];
  std::strftime(Text, sizeof Text, "%Y-%m-%dT%H:%M:%S", &Local);
  return Text;
}

bool ParseDateTime(const std::string& Text, std::int64_t& Seconds) {
  unsigned Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  char Tail = 0;
  if (Text.size() != 19 || std::sscanf(Text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%c", &Year, &Month,
                                       &Day, &Hour, &Minute, &Second, &Tail) != 6)
    return false;
  if (Text[4] != '-' || Text[7] != '-' || Text[10] != 'T' || Text[13] != ':' || Text[16] != ':')
    return false;
  if (Month < 1 || Month > 12 || Day < 1 || Day > 31 || Hour > 23 || Minute > 59 || Second > 59)
    return false;
  Seconds = DaysFromCivil(Year, Month, Day) * 86400 + Hour * 3600 + Minute * 60 + Second;
  return true;
}

int ShiftStatus(const RegisterState& State) {
  if (!State.Shift.Open) return 0;
  std::int64_t Opened = 0, Current = 0;
  if (ParseDateTime(State.Shift.OpenedAt, Opened) && ParseDateTime(Now(State), Current) &&
      Current - Opened >= 24 * 3600)
    return 2;
  return 1;
}

IssuedDocument IssueDocument(RegisterState& State, const Json& Content) {
  IssuedDocument Document;
  Document.Number = ++State.DocumentNumber;
  Document.DateTime = Now(State);
  Document.FiscalSign = FiscalSign(Document.Number, Document.DateTime, Content);
  if (State.Shift.Open) ++State.Shift.Documents;
  if (!State.OfdOnline) {
    if (State.Unsent.Count == 0) {
      State.Unsent.FirstNumber = Document.Number;
      State.Unsent.FirstDateTime = Document.DateTime;
    }
    ++State.Unsent.Count;
  }
  return Document;
}

std::uint32_t FiscalSign(int Number, const std::string& DateTime, const Json& Content) {
  const std::string Text = std::to_string(Number) + "|" + DateTime + "|" + Dump(Content);
  std::uint64_t Hash = 14695981039346656037ULL;
  for (char C : Text) {
    Hash ^= static_cast<unsigned char>(C);
    Hash *= 1099511628211ULL;
  }
  const auto Sign = static_cast<std::uint32_t>(Hash ^ (Hash >> 32));
  return Sign == 0 ? 1 : Sign;
}

}  // namespace kelvo_emulator
