// The process's ANSI code page, converted by the system: characters it lacks
// become the system's best-fit character or its default "?".
#include <windows.h>

#include <climits>

#include "base/utf.h"
#include "platform/codepage.h"

namespace platform {
namespace {

// The system converters take int lengths; longer text goes in pieces.
constexpr std::size_t kPiece = INT_MAX / 4;

// Text on its way to UTF-8 is widened this much at a time, each piece ending
// after a ">" (a byte that is never part of a multi-byte character in any
// system code page), so a long package never exists as wide text in full.
constexpr std::size_t kUtf8Piece = 32 * 1024;

}  // namespace

std::string WideToAnsi(std::u16string_view Text) {
  std::string Out;
  while (!Text.empty()) {
    std::size_t Length = Text.size() < kPiece ? Text.size() : kPiece;
    // Keep a surrogate pair within one piece.
    if (Length < Text.size() && Text[Length - 1] >= 0xD800 && Text[Length - 1] <= 0xDBFF) --Length;
    const auto* Wide = reinterpret_cast<const wchar_t*>(Text.data());
    const int Count = static_cast<int>(Length);
    const int Bytes = WideCharToMultiByte(CP_ACP, 0, Wide, Count, nullptr, 0, nullptr, nullptr);
    if (Bytes > 0) {
      const std::size_t At = Out.size();
      Out.resize(At + static_cast<std::size_t>(Bytes));
      WideCharToMultiByte(CP_ACP, 0, Wide, Count, &Out[At], Bytes, nullptr, nullptr);
    }
    Text.remove_prefix(Length);
  }
  return Out;
}

std::u16string AnsiToWide(std::string_view Text) {
  std::u16string Out;
  while (!Text.empty()) {
    // A lead byte of a double-byte code page stays with its trail byte.
    std::size_t Length = Text.size() < kPiece ? Text.size() : kPiece;
    if (Length < Text.size() && IsDBCSLeadByte(static_cast<BYTE>(Text[Length - 1]))) --Length;
    const int Count = static_cast<int>(Length);
    const int Units = MultiByteToWideChar(CP_ACP, 0, Text.data(), Count, nullptr, 0);
    if (Units > 0) {
      const std::size_t At = Out.size();
      Out.resize(At + static_cast<std::size_t>(Units));
      MultiByteToWideChar(CP_ACP, 0, Text.data(), Count, reinterpret_cast<wchar_t*>(&Out[At]),
                          Units);
    }
    Text.remove_prefix(Length);
  }
  return Out;
}

std::string AnsiToUtf8(std::string_view Text) {
  std::string Out;
  while (!Text.empty()) {
    std::size_t Length = Text.size();
    if (Length > kUtf8Piece) {
      const std::size_t Close = Text.find('>', kUtf8Piece);
      Length = Close == std::string_view::npos ? Text.size() : Close + 1;
    }
    const std::u16string Wide = AnsiToWide(Text.substr(0, Length));
    const std::size_t At = Out.size();
    Out.resize(At + base::Utf8Length(Wide));
    base::Utf16ToUtf8(Wide, Out.data() + At);
    Text.remove_prefix(Length);
  }
  return Out;
}

}  // namespace platform
