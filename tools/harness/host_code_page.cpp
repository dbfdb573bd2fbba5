#include "tools/harness/host_code_page.h"

#include <array>
#include <unordered_map>

namespace harness {
namespace {

struct CodePage {
  std::array<char16_t, 128> High{};  // bytes 0x80..0xFF
  std::unordered_map<char16_t, char> Back;

  CodePage() {
    for (unsigned Byte = 0x80; Byte < 0x100; ++Byte) {
      const char16_t C = SystemCp1251Char(static_cast<unsigned char>(Byte));
      High[Byte - 0x80] = C == u'\uFFFD' && Byte == 0x98 ? u'\u0098' : C;
      Back.emplace(High[Byte - 0x80], static_cast<char>(Byte));
    }
  }
};

const CodePage& Table() {
  static const CodePage Page;
  return Page;
}

}  // namespace

std::string ToHostCodePage(std::u16string_view Text) {
  const CodePage& Page = Table();
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size(); ++I) {
    const char16_t C = Text[I];
    // A surrogate pair is one character: one "?".
    if (C >= 0xD800 && C <= 0xDBFF && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 &&
        Text[I + 1] <= 0xDFFF)
      ++I;
    if (C < 0x80) {
      Out.push_back(static_cast<char>(C));
    } else {
      const auto Found = Page.Back.find(C);
      Out.push_back(Found == Page.Back.end() ? '?' : Found->second);
    }
  }
  return Out;
}

std::u16string FromHostCodePage(std::string_view Bytes) {
  const CodePage& Page = Table();
  std::u16string Out;
  Out.reserve(Bytes.size());
  for (const char B : Bytes) {
    const auto Byte = static_cast<unsigned char>(B);
    Out.push_back(Byte < 0x80 ? Byte : Page.High[Byte - 0x80]);
  }
  return Out;
}

}  // namespace harness
