#include "tools/emulator/request_members.h"

namespace kelvo_emulator {

namespace {

// The member, or null when it is missing.
const Json& MemberOf(const Json& Object, const char* Key) {
  static const Json kMissing;
  const auto Member = Object.find(Key);
  return Member == Object.end() ? kMissing : *Member;
}

void Complain(const char* Tag, const std::string& What, Errors& Found) {
  Found.push_back(std::string(Tag) + ": " + What);
}

}  // namespace

bool IsDigits(const std::string& Text) {
  if (Text.empty()) return false;
  for (char C : Text) {
    if (C < '0' || C > '9') return false;
  }
  return true;
}

bool ReadCode(const Json& Value, long long& Code) {
  if (Value.is_number_integer()) {
    Code = Value.get<long long>();
    return true;
  }
  return Value.is_string() && IsDigits(Value.get<std::string>()) &&
         ParseInt(Value.get<std::string>(), Code);
}

std::string TextOf(const Json& Object, const char* Key) {
  const Json& Member = MemberOf(Object, Key);
  if (Member.is_string()) return Member.get<std::string>();
  if (Member.is_number()) return Dump(Member);
  return {};
}

double AmountOf(const Json& Object, const char* Key) {
  const Json& Member = MemberOf(Object, Key);
  return Member.is_number() ? Member.get<double>() : 0.0;
}

long long CodeOf(const Json& Object, const char* Key) {
  long long Code = 0;
  return ReadCode(MemberOf(Object, Key), Code) ? Code : 0;
}

void CheckCode(const Json& Object, const char* Tag, long long Low, long long High, const char* What,
               Errors& Found) {
  long long Code = 0;
  if (!ReadCode(MemberOf(Object, Tag), Code) || Code < Low || Code > High)
    Complain(Tag, std::string(What) + " от " + std::to_string(Low) + " до " + std::to_string(High),
             Found);
}

void CheckAmount(const Json& Object, const char* Tag, bool Required, Errors& Found) {
  const Json& Member = MemberOf(Object, Tag);
  if (Member.is_null() && !Required) return;
  if (!Member.is_number()) return Complain(Tag, "нужно число", Found);
  if (Member.get<double>() < 0) Complain(Tag, "сумма не может быть отрицательной", Found);
}

void CheckInteger(const Json& Object, const char* Tag, Errors& Found) {
  const Json& Member = MemberOf(Object, Tag);
  if (!Member.is_null() && !Member.is_number_integer()) Complain(Tag, "нужно целое число", Found);
}

void CheckText(const Json& Object, const char* Tag, Errors& Found) {
  const Json& Member = MemberOf(Object, Tag);
  if (!Member.is_null() && !Member.is_string()) Complain(Tag, "нужна строка", Found);
}

void CheckFlag(const Json& Object, const char* Tag, Errors& Found) {
  const Json& Member = MemberOf(Object, Tag);
  if (!Member.is_null() && !Member.is_boolean()) Complain(Tag, "нужно true или false", Found);
}

void CheckObject(const Json& Object, const char* Tag, Errors& Found) {
  const Json& Member = MemberOf(Object, Tag);
  if (!Member.is_null() && !Member.is_object()) Complain(Tag, "нужен объект", Found);
}

void CheckIntegerList(const Json& Object, const char* Tag, Errors& Found) {
  const Json& Member = MemberOf(Object, Tag);
  if (Member.is_null()) return;
  bool Fine = Member.is_array();
  for (const Json& Item : Fine ? Member : Json::array()) Fine = Fine && Item.is_number_integer();
  if (!Fine) Complain(Tag, "нужен список целых чисел", Found);
}

void CheckCashier(const Json& Object, Errors& Found) {
  CheckText(Object, "T1021", Found);
  CheckText(Object, "T1203", Found);
}

}  // namespace kelvo_emulator
