#include "driver/host_text.h"

#include "driver/text.h"
#include "platform/codepage.h"

namespace driver {

namespace {

constexpr std::size_t kPiece = 32 * 1024;

// Room for the whole text: the system code pages turn a byte below 0x80 into
// at most one UTF-8 byte and one from 0x80 into at most three (checked as
// the text is converted).
std::size_t Utf8Bound(std::string_view Text) {
  std::size_t High = 0;
  for (const char C : Text) High += static_cast<unsigned char>(C) >= 0x80;
  return Text.size() + 2 * High;
}

}  // namespace

std::string AnsiToUtf8(std::string_view Text) {
  if (Text.size() <= kPiece) return Utf16ToUtf8(platform::AnsiToWide(Text));
  std::string Out(Utf8Bound(Text), '\0');
  std::size_t Size = 0;
  while (!Text.empty()) {
    std::size_t Length = Text.size();
    if (Length > kPiece) {
      const std::size_t Close = Text.find('>', kPiece);
      Length = Close == std::string_view::npos ? Text.size() : Close + 1;
    }
    const std::u16string Wide = platform::AnsiToWide(Text.substr(0, Length));
    // Every code unit takes at most three bytes; where the room left might
    // not do, the piece is measured (a code page the bound does not hold for
    // gets more room).
    if (Out.size() - Size < 3 * Wide.size()) {
      const std::size_t Bytes = Utf8Length(Wide);
      if (Out.size() - Size < Bytes) Out.resize(Size + Bytes);
    }
    Size += Utf16ToUtf8(Wide, Out.data() + Size);
    Text.remove_prefix(Length);
  }
  Out.resize(Size);
  return Out;
}

}  // namespace driver
