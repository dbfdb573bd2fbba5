#include "tools/emulator/text.h"

#include <cerrno>
#include <cstdlib>

namespace kelvo_emulator {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char C) {
  if (C >= 'A' && C <= 'Z') return C - 'A';
  if (C >= 'a' && C <= 'z') return C - 'a' + 26;
  if (C >= '0' && C <= '9') return C - '0' + 52;
  if (C == '+') return 62;
  if (C == '/') return 63;
  return -1;
}

bool IsContinuation(char C) { return (static_cast<unsigned char>(C) & 0xC0) == 0x80; }

// Byte offset of character Count of a UTF-8 text (its size when shorter).
std::size_t OffsetOfColumn(const std::string& Utf8, std::size_t Count) {
  std::size_t Offset = 0;
  for (std::size_t Seen = 0; Offset < Utf8.size(); ++Offset) {
    if (IsContinuation(Utf8[Offset])) continue;
    if (Seen++ == Count) return Offset;
  }
  return Utf8.size();
}

}  // namespace

std::string Dump(const Json& Value) {
  return Value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Base64Encode(const std::string& Bytes) {
  std::string Out;
  Out.reserve((Bytes.size() + 2) / 3 * 4);
  std::size_t I = 0;
  for (; I + 3 <= Bytes.size(); I += 3) {
    const unsigned V = static_cast<unsigned char>(Bytes[I]) << 16 |
                       static_cast<unsigned char>(Bytes[I + 1]) << 8 |
                       static_cast<unsigned char>(Bytes[I + 2]);
    Out += kAlphabet[V >> 18 & 63];
    Out += kAlphabet[V >> 12 & 63];
    Out += kAlphabet[V >> 6 & 63];
    Out += kAlphabet[V & 63];
  }
  if (I + 1 == Bytes.size()) {
    const unsigned V = static_cast<unsigned char>(Bytes[I]) << 16;
    Out += kAlphabet[V >> 18 & 63];
    Out += kAlphabet[V >> 12 & 63];
    Out += "==";
  } else if (I + 2 == Bytes.size()) {
    const unsigned V =
        static_cast<unsigned char>(Bytes[I]) << 16 | static_cast<unsigned char>(Bytes[I + 1]) << 8;
    Out += kAlphabet[V >> 18 & 63];
    Out += kAlphabet[V >> 12 & 63];
    Out += kAlphabet[V >> 6 & 63];
    Out += '=';
  }
  return Out;
}

std::optional<std::string> Base64Decode(const std::string& Text) {
  std::string Body = Text;
  while (!Body.empty() && Body.back() == '=') Body.pop_back();
  if (Text.size() - Body.size() > 2 || Body.size() % 4 == 1) return std::nullopt;
  std::string Out;
  unsigned Bits = 0;
  int Count = 0;
  for (char C : Body) {
    const int V = Base64Value(C);
    if (V < 0) return std::nullopt;
    Bits = Bits << 6 | static_cast<unsigned>(V);
    Count += 6;
    if (Count >= 8) {
      Count -= 8;
      Out += static_cast<char>(Bits >> Count & 0xFF);
    }
  }
  return Out;
}

std::size_t Columns(const std::string& Utf8) {
  std::size_t Count = 0;
  for (char C : Utf8) {
    if (!IsContinuation(C)) ++Count;
  }
  return Count;
}

std::string TakeColumns(const std::string& Utf8, std::size_t Count) {
  return Utf8.substr(0, OffsetOfColumn(Utf8, Count));
}

std::string DropColumns(const std::string& Utf8, std::size_t Count) {
  return Utf8.substr(OffsetOfColumn(Utf8, Count));
}

std::string HtmlEscape(const std::string& Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (char C : Text) {
    switch (C) {
      case '&': Out += "&amp;"; break;
      case '<': Out += "&lt;"; break;
      case '>': Out += "&gt;"; break;
      case '"': Out += "&quot;"; break;
      case '\'': Out += "&#39;"; break;
      default: Out += C;
    }
  }
  return Out;
}

bool ParseInt(const std::string& Text, long long& Value) {
  if (Text.empty()) return false;
  std::size_t Start = (Text[0] == '-' || Text[0] == '+') ? 1 : 0;
  if (Start == Text.size()) return false;
  for (std::size_t I = Start; I < Text.size(); ++I) {
    if (Text[I] < '0' || Text[I] > '9') return false;
  }
  errno = 0;
  Value = std::strtoll(Text.c_str(), nullptr, 10);
  return errno == 0;
}

}  // namespace kelvo_emulator
