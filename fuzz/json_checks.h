// What the JSON targets do with a value they read: every typed reader and the
// text form on every value inside it, and the writer, whose text must read
// back strictly to the same text.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text_rules.h"
#include "driver/json/json.h"

namespace fuzz {

namespace json = driver::json;

[[noreturn]] inline void FailJson(const char* What, const std::string& A, const std::string& B) {
  std::fprintf(stderr, "fuzz check failed: %s\n[%s]\n[%s]\n", What, A.c_str(), B.c_str());
  std::abort();
}

// Conversion failures are ReadError; any other exception is a finding.
template <typename F>
void Attempt(F Read) {
  try {
    Read();
  } catch (const json::ReadError&) {
  }
}

inline void ReadValue(const json::Value* V) {
  Attempt([&] { (void)json::ReadBool(V); });
  Attempt([&] { (void)json::ReadInt(V); });
  Attempt([&] { (void)json::ReadString(V); });
  Attempt([&] { (void)json::ReadArray(V); });
  (void)json::TextForm(V);
  (void)json::TextToBoolean(std::string_view(V->Text()));
}

// Every value inside V, V itself included; at most kMaxDepth levels deep.
inline void ReadAll(const json::Value& V) {
  ReadValue(&V);
  for (const json::Member& M : V.Members()) {
    if (!json::Find(V, M.Name)) FailJson("Find misses a member", M.Name, json::Write(V));
    ReadAll(M.Val);
  }
  for (const json::Value& E : V.Elements()) ReadAll(E);
}

inline void CheckValue(const json::Value& V) {
  // The text form and Boolean reading follow the process-wide decimal
  // separator: both settings are tried.
  for (const char16_t Separator : {u'.', u','}) {
    base::SetDecimalSeparator(Separator);
    ReadAll(V);
  }
  (void)json::Find(V, "ok");
  (void)json::TextForm(nullptr);

  const std::string Text = json::Write(V);
  const std::string Again = json::Write(json::ReadStrictObject(Text));
  if (Again != Text) FailJson("written text does not read back", Text, Again);

  json::Value Copy = V;
  if (json::Write(Copy) != Text) FailJson("a copy writes differently", Text, json::Write(Copy));
  json::Value Moved = std::move(Copy);
  Copy = Moved;
  if (json::Write(Copy) != Text) FailJson("a copy writes differently", Text, json::Write(Copy));
}

}  // namespace fuzz
