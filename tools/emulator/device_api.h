// The register's device API: the endpoints under "/api/1/", each one a small
// function of the register's state and the request.
//
// Every answer is one JSON object. A request carried out answers "ok" true
// (POST endpoints: "code" 0, "message" "" and the results in "data"; GET
// endpoints: the results at the top level). A refusal answers
//   {"ok":false,"code":N,"message":"...","errors":["...", ...]}
// with one of the codes below, a Russian message and details in "errors".
// Refusals come with HTTP status 200, like any answer of the register; an
// unknown path answers 404 and a known path with the wrong method 405, both
// with a refusal of code 2.
#pragma once

#include <string>

#include "tools/emulator/register_state.h"

namespace kelvo_emulator {

// Refusal codes and messages:
//    1 "Неверный формат запроса"     the body is not a JSON object
//    2 "Неизвестная команда"         no such endpoint ("Неверный метод запроса": wrong method)
//    3 "Неверные данные чека", ...   a member is missing or wrong ("errors" names it)
//   10 "ККТ не зарегистрирована"     the fiscal storage holds no registration
//   11 "ККТ уже зарегистрирована"    registration without a reason code (T1101)
//   12 "Архив ФН закрыт"             the fiscal storage is closed
//   20 "Смена уже открыта"
//   21 "Смена не открыта"
//   22 "Смена превысила 24 часа"     a receipt on a shift open for 24 hours or more
//   23 "Операция невозможна при открытой смене"   re-registration, closing the storage
//   30 "Неверная сумма чека"          the items' sums (T1043) do not add up to T1020
//   31 "Неверная сумма предмета расчета"   an item's T1079 x T1023 is not its T1043
//   32 "Сумма оплаты меньше итога чека"    the payments do not cover T1020
enum RefusalCode : int {
  kBadRequest = 1,
  kUnknownCommand = 2,
  kBadData = 3,
  kNotRegistered = 10,
  kAlreadyRegistered = 11,
  kStorageClosed = 12,
  kShiftAlreadyOpen = 20,
  kShiftNotOpen = 21,
  kShiftExpired = 22,
  kShiftMustBeClosed = 23,
  kWrongTotal = 30,
  kWrongItemSum = 31,
  kUnderpaid = 32,
};

struct Answer {
  int Status = 200;
  Json Body;
  bool Changed = false;  // the state changed: it must be saved
};

// Carries out one request of the device API on State. Path is without the
// query; Body is the request body as received.
Answer HandleDeviceRequest(RegisterState& State, const std::string& Method, const std::string& Path,
                           const std::string& Body);

}  // namespace kelvo_emulator
