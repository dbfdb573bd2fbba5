#include "bench/packages.h"

#include <cstdio>

namespace bench {

const char kReceiptAnswer[] =
    R"({"ok":true,"code":0,"message":"","data":{"T1042":7,"T1038":12,"T1040":1544,)"
    R"("T1012":"2024-05-17T09:30:00","T1077":3826186040,"T1060":"www.nalog.gov.ru"}})";
const char kShiftStatusAnswer[] = R"({"ok":true,"shiftNo":12,"shiftStatus":1,"checkNo":6})";
const char kExchangeStatusAnswer[] = R"({"ok":true,"msgCountForExch":3,"noOfFirstDocForExch":1541,)"
                                     R"("DateTimeOfFirstDocForExch":"2024-05-17T09:30:00"})";

namespace {

const char* const kGoods[] = {"Молоко 3,2% 1 л", "Хлеб бородинский", "Сыр российский 45%",
                              "Пакет-майка",     "Яблоки сезонные",  "Вода питьевая 1,5 л"};

std::string Money(long Kopecks) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%ld.%02ld", Kopecks / 100, Kopecks % 100);
  return Text;
}

}  // namespace

std::string SalePackage(int Positions) {
  std::string Xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CheckPackage>\n"
      "  <Parameters PaymentType=\"1\" TaxVariant=\"0\" CashierName=\"Иванова Анна\" "
      "CashierVATIN=\"500100732259\" CustomerEmail=\"buyer@example.com\"/>\n  <Positions>\n";
  long Total = 0;
  for (int I = 0; I < Positions; ++I) {
    const long Price = 1990 + (I * 737) % 50000;  // kopecks
    const int Quantity = 1 + I % 3;
    const long Sum = Price * Quantity;
    const bool Reduced = I % 4 == 0;  // 10% on food, 20% on the rest
    const long TaxSum = Reduced ? Sum * 10 / 110 : Sum * 20 / 120;
    Total += Sum;
    Xml += "    <FiscalString Name=\"";
    Xml += kGoods[I % 6];
    Xml += " арт. " + std::to_string(100000 + I) + "\" Quantity=\"" + std::to_string(Quantity) +
           "\" PriceWithDiscount=\"" + Money(Price) + "\" SumWithDiscount=\"" + Money(Sum) +
           "\" DiscountSum=\"0\" Department=\"1\" Tax=\"" + (Reduced ? "10" : "20") +
           "\" TaxSum=\"" + Money(TaxSum) +
           "\" SignMethodCalculation=\"4\" SignCalculationObject=\"1\" MeasurementUnit=\"шт\"/>\n";
  }
  Xml += "  </Positions>\n  <Payments Cash=\"" + Money(Total) + "\" ElectronicPayment=\"0\"/>\n";
  Xml += "</CheckPackage>\n";
  return Xml;
}

}  // namespace bench
