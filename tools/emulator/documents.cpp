#include "tools/emulator/documents.h"

#include <cstdio>

#include "tools/emulator/request_members.h"

namespace kelvo_emulator {

namespace {

std::string Quantity(double Value) {
  char Text[48];
  std::snprintf(Text, sizeof Text, "%.3f", Value);
  std::string Out = Text;
  while (Out.back() == '0') Out.pop_back();
  if (Out.back() == '.') Out.pop_back();
  return Out;
}

void Header(Paper& Out, const RegisterState& State) {
  const Json& Registration = State.Registration;
  for (const char* Tag : {"T1048", "T1009", "T1187"}) {
    const std::string Text = TextOf(Registration, Tag);
    if (!Text.empty()) Out.Center(Text);
  }
  const std::string Inn = TextOf(Registration, "T1018");
  if (!Inn.empty()) Out.Pair("ИНН", Inn);
  Out.Rule();
}

void PairIfAny(Paper& Out, const std::string& Label, const std::string& Value) {
  if (!Value.empty()) Out.Pair(Label, Value);
}

void Footer(Paper& Out, const RegisterState& State, const IssuedDocument& Document) {
  Out.Pair("ДАТА ВРЕМЯ", PrintedDateTime(Document.DateTime));
  PairIfAny(Out, "РН ККТ", TextOf(State.Registration, "T1037"));
  Out.Pair("ЗН ККТ", State.Device.SerialNumber);
  Out.Pair("ФН", State.Device.FiscalStorageSerial);
  Out.Pair("ФД", std::to_string(Document.Number));
  Out.Pair("ФП", std::to_string(Document.FiscalSign));
  Out.Feed(3);
}

// Receipts and correction receipts: which receipt of which shift.
void ReceiptTitle(Paper& Out, const RegisterState& State, const char* Title, int ReceiptNumber,
                  const Json& Request) {
  Out.Center(Title);
  Out.Center(ReceiptKindName(CodeOf(Request, "T1054")));
  Out.Pair("СМЕНА " + std::to_string(State.Shift.Number), "ЧЕК " + std::to_string(ReceiptNumber));
}

// The totals part shared by receipts and correction receipts: the total,
// the tax totals and the payments the request has, then the tax system,
// the cashier, the buyer and the tax authority's site.
void Totals(Paper& Out, const RegisterState& State, const Json& Request) {
  Out.Pair("ИТОГ", "=" + Money(AmountOf(Request, "T1020")));
  static const std::pair<const char*, const char*> kTaxes[] = {
      {"T1102", "СУММА НДС 20%"}, {"T1103", "СУММА НДС 10%"},    {"T1104", "СУММА С НДС 0%"},
      {"T1105", "СУММА БЕЗ НДС"}, {"T1106", "СУММА НДС 20/120"}, {"T1107", "СУММА НДС 10/110"},
  };
  for (const auto& [Tag, Label] : kTaxes) {
    if (Request.contains(Tag)) Out.Pair(Label, "=" + Money(AmountOf(Request, Tag)));
  }
  static const std::pair<const char*, const char*> kPayments[] = {
      {"T1031", "НАЛИЧНЫМИ"},  {"T1081", "БЕЗНАЛИЧНЫМИ"},      {"T1215", "ПРЕДВАРИТЕЛЬНАЯ ОПЛАТА"},
      {"T1216", "ПОСТОПЛАТА"}, {"T1217", "ИНАЯ ФОРМА ОПЛАТЫ"},
  };
  for (const auto& [Tag, Label] : kPayments) {
    if (Request.contains(Tag)) Out.Pair(Label, "=" + Money(AmountOf(Request, Tag)));
  }
  Out.Pair("СНО", TaxSystemName(CodeOf(Request, "T1055")));
  PairIfAny(Out, "КАССИР", TextOf(Request, "T1021"));
  PairIfAny(Out, "ИНН КАССИРА", TextOf(Request, "T1203"));
  PairIfAny(Out, "ПОКУПАТЕЛЬ", TextOf(Request, "T1227"));
  PairIfAny(Out, "ИНН ПОКУПАТЕЛЯ", TextOf(Request, "T1228"));
  const std::string Contact = TextOf(Request, "T1008");
  if (!Contact.empty()) {
    const bool Mail = Contact.find('@') != std::string::npos;
    Out.Pair(Mail ? "ЭЛ. АДР. ПОКУПАТЕЛЯ" : "ТЕЛ. ПОКУПАТЕЛЯ", Contact);
    PairIfAny(Out, "ЭЛ. АДР. ОТПРАВИТЕЛЯ", TextOf(State.Registration, "T1117"));
  }
  PairIfAny(Out, "ДОП. РЕКВИЗИТ ЧЕКА", TextOf(Request, "T1192"));
  Out.Pair("САЙТ ФНС", TaxSite(State));
}

// One item: its number and name; quantity, unit, price and sum; its tax.
void Item(Paper& Out, std::size_t Index, const Json& Item) {
  Out.Left(std::to_string(Index) + ". " + TextOf(Item, "T1030"));
  std::string Line = "   " + Quantity(AmountOf(Item, "T1023"));
  const std::string Unit = TextOf(Item, "T1197");
  if (!Unit.empty()) Line += " " + Unit;
  Out.Pair(Line + " x " + Money(AmountOf(Item, "T1079")), "=" + Money(AmountOf(Item, "T1043")));
  const long long Rate = CodeOf(Item, "T1199");
  if (Rate >= 1 && Rate <= 4) {
    Out.Pair("   " + TaxRateName(Rate), "=" + Money(AmountOf(Item, "T1200")));
  } else if (Rate == 5 || Rate == 6) {
    Out.Left("   " + TaxRateName(Rate));
  }
}

// The backlog towards the fiscal data operator, on the shift reports.
void BacklogLines(Paper& Out, const RegisterState& State) {
  Out.Pair("НЕПЕРЕДАННЫХ ФД", std::to_string(State.Unsent.Count));
  if (State.Unsent.Count > 0)
    Out.Pair("ПЕРВЫЙ НЕПЕРЕДАННЫЙ ФД", PrintedDateTime(State.Unsent.FirstDateTime));
}

std::string YesNo(const Json& Registration, const char* Tag) {
  const auto Member = Registration.find(Tag);
  return Member != Registration.end() && Member->is_boolean() && Member->get<bool>() ? "ДА" : "НЕТ";
}

}  // namespace

std::string ReceiptKindName(long long Kind) {
  switch (Kind) {
    case 1: return "ПРИХОД";
    case 2: return "ВОЗВРАТ ПРИХОДА";
    case 3: return "РАСХОД";
    case 4: return "ВОЗВРАТ РАСХОДА";
    default: return "?";
  }
}

std::string TaxSystemName(long long System) {
  switch (System) {
    case 1: return "ОСН";
    case 2: return "УСН доход";
    case 3: return "УСН доход - расход";
    case 4: return "ЕНВД";
    case 5: return "ЕСХН";
    case 6: return "ПСН";
    default: return "?";
  }
}

std::string TaxRateName(long long Rate) {
  switch (Rate) {
    case 1: return "НДС 20%";
    case 2: return "НДС 10%";
    case 3: return "НДС 20/120";
    case 4: return "НДС 10/110";
    case 5: return "НДС 0%";
    case 6: return "БЕЗ НДС";
    default: return "?";
  }
}

std::string Money(double Amount) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "%.2f", Amount);
  return Text;
}

std::string PrintedDateTime(const std::string& DateTime) {
  if (DateTime.size() != 19) return DateTime;
  return DateTime.substr(8, 2) + "." + DateTime.substr(5, 2) + "." + DateTime.substr(0, 4) + " " +
         DateTime.substr(11, 5);
}

void PrintRegistrationReport(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                             bool Change, const std::string& Cashier) {
  const Json& Registration = State.Registration;
  Header(Out, State);
  Out.Center(Change ? "ОТЧЕТ ОБ ИЗМЕНЕНИИ ПАРАМЕТРОВ РЕГИСТРАЦИИ" : "ОТЧЕТ О РЕГИСТРАЦИИ");
  std::string Systems;
  const auto List = Registration.find("T1062");
  if (List != Registration.end() && List->is_array()) {
    for (const Json& System : *List) {
      if (!Systems.empty()) Systems += ", ";
      Systems += TaxSystemName(System.is_number_integer() ? System.get<long long>() : 0);
    }
  }
  Out.Pair("СНО", Systems);
  static const std::pair<const char*, const char*> kFlags[] = {
      {"T1002", "АВТОНОМНЫЙ РЕЖИМ"},
      {"T1056", "ШИФРОВАНИЕ"},
      {"T1109", "УСЛУГИ"},
      {"T1207", "ПОДАКЦИЗНЫЕ ТОВАРЫ"},
      {"T1193", "АЗАРТНЫЕ ИГРЫ"},
      {"T1126", "ЛОТЕРЕИ"},
      {"T1110", "БСО"},
      {"T1108", "РАСЧЕТЫ В ИНТЕРНЕТ"},
      {"T1221", "ПРИНТЕР В АВТОМАТЕ"},
      {"T1001", "АВТОМАТИЧЕСКИЙ РЕЖИМ"},
  };
  for (const auto& [Tag, Label] : kFlags) Out.Pair(Label, YesNo(Registration, Tag));
  PairIfAny(Out, "НОМЕР АВТОМАТА", TextOf(Registration, "T1036"));
  PairIfAny(Out, "ОФД", TextOf(Registration, "T1046"));
  PairIfAny(Out, "ИНН ОФД", TextOf(Registration, "T1017"));
  PairIfAny(Out, "САЙТ ФНС", TextOf(Registration, "T1060"));
  PairIfAny(Out, "ЭЛ. АДРЕС ОТПРАВИТЕЛЯ", TextOf(Registration, "T1117"));
  PairIfAny(Out, "КАССИР", Cashier);
  Footer(Out, State, Document);
}

void PrintStorageClosingReport(Paper& Out, const RegisterState& State,
                               const IssuedDocument& Document, const std::string& Cashier) {
  Header(Out, State);
  Out.Center("ОТЧЕТ О ЗАКРЫТИИ ФН");
  PairIfAny(Out, "КАССИР", Cashier);
  Footer(Out, State, Document);
}

void PrintShiftOpeningReport(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                             const std::string& Cashier) {
  Header(Out, State);
  Out.Center("ОТЧЕТ ОБ ОТКРЫТИИ СМЕНЫ");
  Out.Pair("СМЕНА", std::to_string(State.Shift.Number));
  BacklogLines(Out, State);
  PairIfAny(Out, "КАССИР", Cashier);
  Footer(Out, State, Document);
}

void PrintShiftClosingReport(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                             const std::string& Cashier) {
  Header(Out, State);
  Out.Center("ОТЧЕТ О ЗАКРЫТИИ СМЕНЫ");
  Out.Pair("СМЕНА", std::to_string(State.Shift.Number));
  Out.Pair("ОТКРЫТА", PrintedDateTime(State.Shift.OpenedAt));
  Out.Pair("ЧЕКОВ ЗА СМЕНУ", std::to_string(State.Shift.Receipts));
  Out.Pair("ФД ЗА СМЕНУ", std::to_string(State.Shift.Documents));
  for (std::size_t Kind = 1; Kind <= State.Shift.Totals.size(); ++Kind) {
    const KindTotal& Total = State.Shift.Totals[Kind - 1];
    Out.Pair(
        ReceiptKindName(static_cast<long long>(Kind)) + ", ЧЕКОВ " + std::to_string(Total.Count),
        "=" + Money(static_cast<double>(Total.Kopecks) / 100));
  }
  BacklogLines(Out, State);
  PairIfAny(Out, "КАССИР", Cashier);
  Footer(Out, State, Document);
}

void PrintReceipt(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                  int ReceiptNumber, const Json& Request) {
  Header(Out, State);
  ReceiptTitle(Out, State, "КАССОВЫЙ ЧЕК", ReceiptNumber, Request);
  Out.Rule();
  std::size_t Index = 0;
  for (const Json& Position : Request.at("T1059")) Item(Out, ++Index, Position);
  Out.Rule();
  Totals(Out, State, Request);
  Footer(Out, State, Document);
}

void PrintCorrectionReceipt(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                            int ReceiptNumber, const Json& Request) {
  Header(Out, State);
  ReceiptTitle(Out, State, "КАССОВЫЙ ЧЕК КОРРЕКЦИИ", ReceiptNumber, Request);
  const auto Kind = Request.find("T1173");
  const bool Ordered = Kind != Request.end() && Kind->is_boolean() && Kind->get<bool>();
  Out.Pair("ТИП КОРРЕКЦИИ", Ordered ? "ПО ПРЕДПИСАНИЮ" : "САМОСТОЯТЕЛЬНО");
  const auto Base = Request.find("T1174");
  if (Base != Request.end() && Base->is_object()) {
    PairIfAny(Out, "ДАТА ДОК. ОСНОВАНИЯ", TextOf(*Base, "T1178"));
    PairIfAny(Out, "НОМЕР ДОК. ОСНОВАНИЯ", TextOf(*Base, "T1179"));
  }
  Out.Rule();
  Totals(Out, State, Request);
  Footer(Out, State, Document);
}

}  // namespace kelvo_emulator
