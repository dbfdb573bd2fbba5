// What the register prints for each of its fiscal documents. Every document
// starts with the user's name, address, place of settlement and taxpayer
// number (ИНН), and ends with the fiscal lines (date and time, registration
// number, serial numbers, document number, fiscal sign) and a feed of three
// lines. Money is printed with two decimals.
#pragma once

#include <string>

#include "tools/emulator/register_state.h"
#include "tools/emulator/tape.h"

namespace kelvo_emulator {

void PrintRegistrationReport(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                             bool Change, const std::string& Cashier);
void PrintStorageClosingReport(Paper& Out, const RegisterState& State,
                               const IssuedDocument& Document, const std::string& Cashier);
void PrintShiftOpeningReport(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                             const std::string& Cashier);
void PrintShiftClosingReport(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                             const std::string& Cashier);
// Request is the receipt request as received and checked ("T1054", "T1059", ...).
void PrintReceipt(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                  int ReceiptNumber, const Json& Request);
void PrintCorrectionReceipt(Paper& Out, const RegisterState& State, const IssuedDocument& Document,
                            int ReceiptNumber, const Json& Request);

// Texts of the register's code tables, used on the tape.
std::string ReceiptKindName(long long Kind);  // T1054: 1 ПРИХОД ... 4 ВОЗВРАТ РАСХОДА
std::string TaxSystemName(long long System);  // T1055 and T1062 items: 1 ОСН ... 6 ПСН
std::string TaxRateName(long long Rate);      // T1199: 1 НДС 20% ... 6 БЕЗ НДС
std::string Money(double Amount);             // 21 gives "21.00"
std::string PrintedDateTime(const std::string& DateTime);  // "17.05.2024 09:30"

}  // namespace kelvo_emulator
