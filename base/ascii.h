// Comparisons of names: element, attribute, header and parameter names.
#pragma once

#include <cstddef>
#include <string_view>

namespace base {

// Exactly equal, letter case included (the names of the host's documents).
inline bool SameName(const char* Name, const char* Expected) {
  // Names are short and differ early: compared in place, without a call.
  while (*Expected && *Name == *Expected) ++Name, ++Expected;
  return *Name == *Expected;
}

inline char AsciiLower(char C) {
  return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

// Equal but for the letter case of ASCII letters (HTTP header names, charset
// and parameter names).
inline bool SameAsciiNameIgnoringCase(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (AsciiLower(A[I]) != AsciiLower(B[I])) return false;
  return true;
}

}  // namespace base
