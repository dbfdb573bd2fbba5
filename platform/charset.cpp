#include "platform/charset.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "driver/text.h"
#include "platform/cp1251.h"

namespace platform {
namespace {

// KOI8-R bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> kKoi8rHighHalf = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, 0x252C, 0x2534, 0x253C, 0x2580,
    0x2584, 0x2588, 0x258C, 0x2590, 0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7, 0x2550, 0x2551, 0x2552, 0x0451,
    0x2553, 0x2554, 0x2555, 0x2556, 0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565, 0x2566, 0x2567, 0x2568, 0x2569,
    0x256A, 0x256B, 0x256C, 0x00A9, 0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x044F, 0x0440, 0x0441,
    0x0442, 0x0443, 0x0436, 0x0432, 0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413, 0x0425, 0x0418, 0x0419, 0x041A,
    0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,
};

char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool SameName(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (Lower(A[I]) != Lower(B[I])) return false;
  return true;
}

std::string_view Trim(std::string_view S) {
  const auto Blank = [](char C) { return C == ' ' || C == '\t'; };
  while (!S.empty() && Blank(S.front())) S.remove_prefix(1);
  while (!S.empty() && Blank(S.back())) S.remove_suffix(1);
  return S;
}

// The value of the charset parameter, unquoted; empty when there is none.
std::string_view CharsetOf(std::string_view ContentType) {
  std::size_t Start = ContentType.find(';');
  while (Start != std::string_view::npos) {
    // A parameter runs to the next ';' outside quotes.
    std::size_t End = Start + 1;
    bool Quoted = false;
    for (; End < ContentType.size(); ++End) {
      if (ContentType[End] == '"')
        Quoted = !Quoted;
      else if (ContentType[End] == '\\' && Quoted)
        ++End;
      else if (ContentType[End] == ';' && !Quoted)
        break;
    }
    const std::string_view Parameter =
        ContentType.substr(Start + 1, std::min(End, ContentType.size()) - Start - 1);
    const std::size_t Equals = Parameter.find('=');
    if (Equals != std::string_view::npos &&
        SameName(Trim(Parameter.substr(0, Equals)), "charset")) {
      std::string_view Value = Trim(Parameter.substr(Equals + 1));
      if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"')
        Value = Value.substr(1, Value.size() - 2);
      return Value;
    }
    Start = End < ContentType.size() ? End : std::string_view::npos;
  }
  return {};
}

std::u16string FromHighHalf(std::string_view Body, const std::array<char16_t, 128>& HighHalf) {
  std::u16string Out;
  Out.reserve(Body.size());
  for (const char C : Body) {
    const auto B = static_cast<unsigned char>(C);
    Out.push_back(B < 0x80 ? B : HighHalf[B - 0x80]);
  }
  return Out;
}

std::u16string FromLatin1(std::string_view Body) {
  std::u16string Out;
  Out.reserve(Body.size());
  for (const char C : Body) Out.push_back(static_cast<unsigned char>(C));
  return Out;
}

enum class Charset { Utf8, Windows1251, Koi8r, Latin1 };

Charset CharsetNamedIn(std::string_view ContentType) {
  const std::string_view Name = CharsetOf(ContentType);
  const auto Is = [Name](std::initializer_list<std::string_view> Names) {
    for (const std::string_view Known : Names)
      if (SameName(Name, Known)) return true;
    return false;
  };
  if (Is({"windows-1251", "cp1251"})) return Charset::Windows1251;
  if (Is({"koi8-r"})) return Charset::Koi8r;
  if (Is({"us-ascii", "iso-8859-1", "latin1"})) return Charset::Latin1;
  return Charset::Utf8;
}

bool IsAscii(std::string_view Text) {
  unsigned char Any = 0;
  for (const char C : Text) Any |= static_cast<unsigned char>(C);
  return Any < 0x80;
}

}  // namespace

std::u16string DecodeBody(std::string_view Body, std::string_view ContentType) {
  switch (CharsetNamedIn(ContentType)) {
    case Charset::Windows1251: return Cp1251ToWide(Body);
    case Charset::Koi8r: return FromHighHalf(Body, kKoi8rHighHalf);
    case Charset::Latin1: return FromLatin1(Body);
    case Charset::Utf8: break;
  }
  return driver::Utf8ToUtf16(Body);
}

std::string DecodeBodyUtf8(std::string_view Body, std::string_view ContentType) {
  if (IsAscii(Body)) return std::string(Body);
  switch (CharsetNamedIn(ContentType)) {
    case Charset::Windows1251: return Cp1251ToUtf8(Body);
    case Charset::Utf8: return driver::WellFormedUtf8(Body);
    default: return driver::Utf16ToUtf8(DecodeBody(Body, ContentType));
  }
}

}  // namespace platform
