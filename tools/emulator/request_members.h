// Members of a device request: how the register reads them, and the checks
// that complain about a member of the wrong type or value. Each check adds
// its complaint, "TAG: what is wanted", to Found and adds nothing when the
// member is fine.
#pragma once

#include <string>
#include <vector>

#include "tools/emulator/text.h"

namespace kelvo_emulator {

using Errors = std::vector<std::string>;

bool IsDigits(const std::string& Text);  // one digit or more, nothing else

// A code sent as a whole JSON number or as a string of digits ("1").
bool ReadCode(const Json& Value, long long& Code);

// Reading members as the tape prints them; a missing member or one of
// another type gives the empty text, 0.0 and 0.
std::string TextOf(const Json& Object, const char* Key);  // a number in its JSON form
double AmountOf(const Json& Object, const char* Key);
long long CodeOf(const Json& Object, const char* Key);

// A code from Low to High (ReadCode); required.
void CheckCode(const Json& Object, const char* Tag, long long Low, long long High, const char* What,
               Errors& Found);
// A number of 0 or more.
void CheckAmount(const Json& Object, const char* Tag, bool Required, Errors& Found);
// Optional members of one JSON type.
void CheckInteger(const Json& Object, const char* Tag, Errors& Found);
void CheckText(const Json& Object, const char* Tag, Errors& Found);
void CheckFlag(const Json& Object, const char* Tag, Errors& Found);
void CheckObject(const Json& Object, const char* Tag, Errors& Found);
void CheckIntegerList(const Json& Object, const char* Tag, Errors& Found);
// The cashier's name (T1021) and taxpayer number (T1203), both optional texts.
void CheckCashier(const Json& Object, Errors& Found);

}  // namespace kelvo_emulator
