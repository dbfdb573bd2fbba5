#include "tools/emulator/receipt_checks.h"

#include <cmath>

#include "tools/emulator/device_api.h"
#include "tools/emulator/documents.h"

namespace kelvo_emulator {

namespace {

constexpr double kItemTolerance = 0.01;    // price x quantity against the item's sum
constexpr double kTotalTolerance = 0.005;  // half a kopeck: the items and payments against T1020
constexpr double kSlack = 1e-9;            // binary fractions of decimal amounts

const char* const kPayments[] = {"T1031", "T1081", "T1215", "T1216", "T1217"};
const char* const kTaxTotals[] = {"T1102", "T1103", "T1104", "T1105", "T1106", "T1107"};
// Texts of a receipt: buyer, agent, supplier, additional attributes, cashier.
const char* const kReceiptTexts[] = {"T1227", "T1228", "T1008", "T1075", "T1044",
                                     "T1073", "T1074", "T1026", "T1005", "T1016",
                                     "T1171", "T1192", "T1084", "T1021", "T1203"};

// The members both kinds of receipt have: kind, tax system, total, payments, taxes.
void CheckCommon(const Json& Request, Errors& Found) {
  CheckCode(Request, "T1054", 1, 4, "признак расчета", Found);
  CheckCode(Request, "T1055", 1, 6, "система налогообложения", Found);
  CheckAmount(Request, "T1020", true, Found);
  for (const char* Tag : kPayments) CheckAmount(Request, Tag, false, Found);
  for (const char* Tag : kTaxTotals) CheckAmount(Request, Tag, false, Found);
}

void CheckItem(const Json& Item, const std::string& Where, Errors& Found) {
  if (!Item.is_object()) {
    Found.push_back(Where + ": нужен объект");
    return;
  }
  Errors Inner;
  CheckInteger(Item, "T1214", Inner);
  CheckInteger(Item, "T1212", Inner);
  CheckIntegerList(Item, "T1222", Inner);
  CheckObject(Item, "T1223", Inner);
  CheckObject(Item, "T1224", Inner);
  for (const char* Tag : {"T1226", "T1030", "T1197"}) CheckText(Item, Tag, Inner);
  for (const char* Tag : {"T1079", "T1023", "T1043"}) CheckAmount(Item, Tag, true, Inner);
  if (Item.contains("T1199")) CheckCode(Item, "T1199", 0, 6, "ставка НДС", Inner);
  CheckAmount(Item, "T1200", false, Inner);
  for (const std::string& Each : Inner) Found.push_back(Where + "." + Each);
}

Errors CheckReceiptMembers(const Json& Request) {
  Errors Found;
  CheckCommon(Request, Found);
  for (const char* Tag : kReceiptTexts) CheckText(Request, Tag, Found);
  CheckIntegerList(Request, "T1057", Found);
  const auto Items = Request.find("T1059");
  if (Items == Request.end() || !Items->is_array()) {
    Found.push_back("T1059: нужен список предметов расчета");
    return Found;
  }
  if (Items->empty()) Found.push_back("T1059: чек не содержит предметов расчета");
  for (std::size_t Index = 0; Index < Items->size(); ++Index)
    CheckItem((*Items)[Index], "T1059[" + std::to_string(Index) + "]", Found);
  return Found;
}

// Each item's price times quantity must give its sum.
Errors CheckItemSums(const Json& Items) {
  Errors Found;
  for (std::size_t Index = 0; Index < Items.size(); ++Index) {
    const Json& Item = Items[Index];
    const double Price = AmountOf(Item, "T1079"), Quantity = AmountOf(Item, "T1023");
    const double Sum = AmountOf(Item, "T1043");
    if (std::fabs(Price * Quantity - Sum) > kItemTolerance + kSlack)
      Found.push_back("T1059[" + std::to_string(Index) + "]: " + Money(Price) + " x " +
                      TextOf(Item, "T1023") + " = " + Money(Price * Quantity) +
                      ", а сумма предмета расчета (T1043) " + Money(Sum));
  }
  return Found;
}

std::optional<Complaint> CheckItemsAgainstTotal(const Json& Request) {
  double Sum = 0;
  for (const Json& Item : Request.at("T1059")) Sum += AmountOf(Item, "T1043");
  const double Total = AmountOf(Request, "T1020");
  if (std::fabs(Sum - Total) <= kTotalTolerance + kSlack) return std::nullopt;
  return Complaint{kWrongTotal,
                   "Неверная сумма чека",
                   {"T1020: итог " + Money(Total) + ", а сумма предметов расчета " + Money(Sum)}};
}

std::optional<Complaint> CheckPayments(const Json& Request) {
  double Paid = 0;
  for (const char* Tag : kPayments) Paid += AmountOf(Request, Tag);
  const double Total = AmountOf(Request, "T1020");
  if (Paid >= Total - kTotalTolerance - kSlack) return std::nullopt;
  return Complaint{kUnderpaid,
                   "Сумма оплаты меньше итога чека",
                   {"оплачено " + Money(Paid) + " (T1031, T1081, T1215, T1216, T1217) из " +
                    Money(Total) + " (T1020)"}};
}

}  // namespace

std::optional<Complaint> CheckReceipt(const Json& Request) {
  const Errors Members = CheckReceiptMembers(Request);
  if (!Members.empty()) return Complaint{kBadData, "Неверные данные чека", Members};
  const Errors Items = CheckItemSums(Request.at("T1059"));
  if (!Items.empty()) return Complaint{kWrongItemSum, "Неверная сумма предмета расчета", Items};
  if (auto Wrong = CheckItemsAgainstTotal(Request)) return Wrong;
  return CheckPayments(Request);
}

std::optional<Complaint> CheckCorrection(const Json& Request) {
  Errors Found;
  CheckCommon(Request, Found);
  for (const char* Tag : {"T1192", "T1021", "T1203"}) CheckText(Request, Tag, Found);
  CheckFlag(Request, "T1173", Found);
  const auto Base = Request.find("T1174");
  if (Base != Request.end() && !Base->is_object()) {
    Found.push_back("T1174: нужен объект с основанием коррекции");
  } else if (Base != Request.end()) {
    for (const char* Tag : {"T1178", "T1179"}) {
      Errors Inner;
      CheckText(*Base, Tag, Inner);
      for (const std::string& Each : Inner) Found.push_back("T1174." + Each);
    }
  }
  if (!Found.empty()) return Complaint{kBadData, "Неверные данные чека коррекции", Found};
  return CheckPayments(Request);
}

}  // namespace kelvo_emulator
