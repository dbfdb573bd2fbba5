// The well-formedness check of host documents against Expat, a conforming
// parser: for any text both must come to the same verdict (a document type
// declaration, which Expat takes, is always refused here), and a text the
// check passes must load in the parser the driver reads with.
//
// Bytes below 0x80 stand for themselves; every other byte stands for one
// character of a small set on which the editions of XML 1.0 agree (letters,
// name characters that may not start a name, a character allowed only in
// text, characters XML forbids; a byte-order mark first), so that a disagreement is a fault of the
// check and not a difference between editions.
#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <pugixml.hpp>

#include "driver/xml_wellformed.h"

namespace {

const char* const kPalette[] = {
    "\xD0\x96",      // Ж, a letter
    "\xC3\x97",      // ×, text only
    "\xC2\xB7",      // middle dot, a name character that cannot start a name
    "\xCC\x81",      // combining acute accent, likewise
    "\xEF\xBF\xBE",  // U+FFFE, forbidden
    "\xC3\xB7",      // ÷, text only
    "\xC3\x80",      // À, a letter
    "\xE2\x80\xA8",  // U+2028, text only
};
// The first byte may stand for a byte-order mark instead. (Elsewhere U+FEFF
// is a name character in one edition and not in the other.)
constexpr std::uint8_t kByteOrderMark = 0xFF;

struct ExpatVerdict {
  bool Accepted = false;
  bool DocumentType = false;  // Expat met a document type declaration
};

ExpatVerdict Expat(const std::string& Utf8) {
  ExpatVerdict Verdict;
  XML_Parser Parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(Parser, &Verdict);
  XML_SetStartDoctypeDeclHandler(
      Parser, [](void* Data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        static_cast<ExpatVerdict*>(Data)->DocumentType = true;
      });
  Verdict.Accepted =
      XML_Parse(Parser, Utf8.data(), static_cast<int>(Utf8.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(Parser);
  return Verdict;
}

[[noreturn]] void Fail(const char* What, const std::string& Text) {
  std::fprintf(stderr, "fuzz check failed: %s\n%s\n", What, Text.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::string Text;
  Text.reserve(Size);
  for (std::size_t I = 0; I < Size; ++I)
    if (I == 0 && Data[I] == kByteOrderMark)
      Text += "\xEF\xBB\xBF";
    else if (Data[I] < 0x80)
      Text.push_back(static_cast<char>(Data[I]));
    else
      Text += kPalette[Data[I] & 7];

  const driver::XmlCheck Check = driver::CheckWellFormedXml(Text);
  const ExpatVerdict Oracle = Expat(Text);
  if (Oracle.DocumentType) {
    if (Check) Fail("a document type declaration passed", Text);
  } else if (static_cast<bool>(Check) != Oracle.Accepted) {
    Fail(Check ? "passed what Expat refuses" : Check.Fault, Text);
  }
  if (Check) {
    std::string Copy = Text;
    pugi::xml_document Document;
    if (!Document.load_buffer_inplace(Copy.data(), Copy.size(), pugi::parse_default,
                                      pugi::encoding_utf8))
      Fail("passed what the driver's parser refuses", Text);
  }
  return 0;
}
