#include "driver/xml_wellformed.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace driver {
namespace {

// Classes of ASCII bytes for the fast paths; every byte of 0x80 or more is
// looked at as the character it begins.
enum : std::uint8_t {
  kSpace = 1,      // white space
  kNameStart = 2,  // may begin a name
  kNameRest = 4,   // may continue a name
  kText = 8,       // stands for itself in character data
  kValue = 16,     // stands for itself in an attribute value (either quote)
  kPairLead = 32,  // leads a two-byte UTF-8 sequence: U+0080..U+07FF, all allowed
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
  std::array<std::uint8_t, 256> Classes{};
  for (int C = 0x20; C < 0x80; ++C) Classes[C] = kText | kValue;
  for (const int C : {'\t', '\n', '\r'}) Classes[C] = kSpace | kText | kValue;
  Classes[' '] |= kSpace;
  for (const int C : {'<', '&', ']'}) Classes[C] &= static_cast<std::uint8_t>(~kText);
  for (const int C : {'<', '&', '"', '\''}) Classes[C] &= static_cast<std::uint8_t>(~kValue);
  for (int C = 'a'; C <= 'z'; ++C) Classes[C] |= kNameStart | kNameRest;
  for (int C = 'A'; C <= 'Z'; ++C) Classes[C] |= kNameStart | kNameRest;
  for (const int C : {'_', ':'}) Classes[C] |= kNameStart | kNameRest;
  for (int C = '0'; C <= '9'; ++C) Classes[C] |= kNameRest;
  for (const int C : {'-', '.'}) Classes[C] |= kNameRest;
  for (int C = 0xC2; C <= 0xDF; ++C) Classes[C] = kPairLead;
  return Classes;
}
constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

std::uint8_t ClassOf(char C) { return kClasses[static_cast<unsigned char>(C)]; }

// An ASCII character that stands for itself in comments, CDATA sections and
// processing instructions: anything but the controls XML does not allow.
bool IsPlainAscii(char C) {
  const auto B = static_cast<unsigned char>(C);
  return B < 0x80 && (B >= 0x20 || ClassOf(C) & kSpace);
}

bool IsXmlChar(char32_t C) {
  return C == 0x9 || C == 0xA || C == 0xD || (C >= 0x20 && C <= 0xD7FF) ||
         (C >= 0xE000 && C <= 0xFFFD) || (C >= 0x10000 && C <= 0x10FFFF);
}

bool IsNameStartChar(char32_t C) {
  if (C < 0x80) return (kClasses[C] & kNameStart) != 0;
  return (C >= 0xC0 && C <= 0xD6) || (C >= 0xD8 && C <= 0xF6) || (C >= 0xF8 && C <= 0x2FF) ||
         (C >= 0x370 && C <= 0x37D) || (C >= 0x37F && C <= 0x1FFF) || C == 0x200C || C == 0x200D ||
         (C >= 0x2070 && C <= 0x218F) || (C >= 0x2C00 && C <= 0x2FEF) ||
         (C >= 0x3001 && C <= 0xD7FF) || (C >= 0xF900 && C <= 0xFDCF) ||
         (C >= 0xFDF0 && C <= 0xFFFD) || (C >= 0x10000 && C <= 0xEFFFF);
}

bool IsNameChar(char32_t C) {
  if (C < 0x80) return (kClasses[C] & kNameRest) != 0;
  return IsNameStartChar(C) || C == 0xB7 || (C >= 0x300 && C <= 0x36F) || C == 0x203F ||
         C == 0x2040;
}

class Checker {
 public:
  explicit Checker(std::string_view Text)
      : Begin_(Text.data()), P_(Text.data()), End_(Text.data() + Text.size()) {}

  XmlCheck Run() {
    if (Starts("\xEF\xBB\xBF")) P_ += 3;
    if (Starts("<?xml") && P_ + 5 < End_ && ((ClassOf(P_[5]) & kSpace) || Starts("<?xml?>")))
      Declaration();
    Misc();
    if (Ok() && P_ == End_) Fail("the document has no element");
    if (Ok() && Starts("<!DOCTYPE")) Fail("a document type declaration");
    if (Ok() && (*P_ != '<' || Starts("<!") || Starts("</") || Starts("<?")))
      Fail("text outside the document element");
    if (Ok() && StartTag()) Content();
    Misc();
    if (Ok() && P_ != End_)
      Fail((*P_ == '<' && P_ + 1 < End_ && (ClassOf(P_[1]) & kNameStart))
               ? "a second document element"
               : "content after the document element");
    return Ok() ? XmlCheck{} : XmlCheck{Fault_, static_cast<std::size_t>(FaultAt_ - Begin_)};
  }

 private:
  bool Ok() const { return Fault_ == nullptr; }
  bool Fail(const char* What) {
    if (Ok()) {
      Fault_ = What;
      FaultAt_ = P_;
    }
    P_ = End_;
    return false;
  }
  // Literals are short: compared in place, byte by byte.
  template <std::size_t Size>
  bool Starts(const char (&Literal)[Size]) const {
    if (static_cast<std::size_t>(End_ - P_) < Size - 1) return false;
    for (std::size_t I = 0; I + 1 < Size; ++I)
      if (P_[I] != Literal[I]) return false;
    return true;
  }
  template <std::size_t Size>
  bool Take(const char (&Literal)[Size]) {
    if (!Starts(Literal)) return false;
    P_ += Size - 1;
    return true;
  }
  bool SkipSpace() {
    const char* const Start = P_;
    while (P_ < End_ && ClassOf(*P_) & kSpace) ++P_;
    return P_ != Start;
  }

  // The character at P_ (UTF-8), advancing past it; false when the bytes do
  // not form one.
  bool NextChar(char32_t& C) {
    const auto Byte = [this](std::ptrdiff_t I) { return static_cast<unsigned char>(P_[I]); };
    const unsigned char Lead = Byte(0);
    int Extra = 0;
    char32_t Min = 0;
    if (Lead < 0x80) {
      C = Lead;
    } else if (Lead >= 0xC2 && Lead <= 0xDF) {
      C = Lead & 0x1F, Extra = 1, Min = 0x80;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
      C = Lead & 0x0F, Extra = 2, Min = 0x800;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
      C = Lead & 0x07, Extra = 3, Min = 0x10000;
    } else {
      return false;
    }
    if (End_ - P_ <= Extra) return false;
    for (int I = 1; I <= Extra; ++I) {
      if ((Byte(I) & 0xC0) != 0x80) return false;
      C = (C << 6) | (Byte(I) & 0x3F);
    }
    if (C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) return false;
    P_ += 1 + Extra;
    return true;
  }

  // Whether the four bytes from P on are all of class Class (a single bit).
  static bool FourOf(const char* P, std::uint8_t Class) {
    return (ClassOf(P[0]) & ClassOf(P[1]) & ClassOf(P[2]) & ClassOf(P[3]) & Class) != 0;
  }

  // The first byte from P on that is not of class Class, four bytes at a
  // time while it can.
  const char* SkipClass(const char* P, std::uint8_t Class) const {
    while (End_ - P >= 4 && FourOf(P, Class)) P += 4;
    while (P < End_ && ClassOf(*P) & Class) ++P;
    return P;
  }

  // Skips characters that stand for themselves (bytes of class Plain, and the
  // two-byte characters of Cyrillic and other alphabets): the bulk of every
  // document, so it is one tight loop.
  void SkipPlain(std::uint8_t Plain) {
    const char* P = P_;
    while (P < End_) {
      const std::uint8_t Class = ClassOf(*P);
      if (Class & Plain) {
        ++P;
      } else if (Class & kPairLead && P + 1 < End_ &&
                 (static_cast<unsigned char>(P[1]) & 0xC0) == 0x80) {
        P += 2;
      } else {
        break;
      }
    }
    P_ = P;
  }

  // One character of text that is not plain ASCII: it must be one XML allows.
  bool OtherChar() {
    char32_t C = 0;
    if (!NextChar(C)) return Fail("bytes that are not UTF-8");
    return IsXmlChar(C) || Fail("a character XML does not allow");
  }

  // Text up to Terminator, every character one XML allows.
  template <std::size_t Size>
  bool CharsUntil(const char (&Terminator)[Size], const char* Unclosed) {
    while (P_ < End_) {
      if (Take(Terminator)) return true;
      if (IsPlainAscii(*P_)) {
        ++P_;
      } else if (static_cast<unsigned char>(*P_) < 0x80) {
        return Fail("a character XML does not allow");
      } else if (!OtherChar()) {
        return false;
      }
    }
    return Fail(Unclosed);
  }

  bool Name(std::string_view& Out) {
    const char* const Start = P_;
    char32_t C = 0;
    if (P_ < End_ && ClassOf(*P_) & kNameStart) {
      ++P_;
    } else if (P_ == End_ || !NextChar(C) || !IsNameStartChar(C)) {
      P_ = Start;
      return false;
    }
    while (P_ < End_) {
      P_ = SkipClass(P_, kNameRest);
      if (P_ == End_ || static_cast<unsigned char>(*P_) < 0x80) break;
      const char* const Here = P_;
      if (!NextChar(C) || !IsNameChar(C)) {
        P_ = Here;
        break;
      }
    }
    Out = std::string_view(Start, static_cast<std::size_t>(P_ - Start));
    return true;
  }

  // Names repeat from element to element: when the name at P_ is Known (a
  // name read before) byte for byte, followed by a byte that cannot continue
  // a name, it is taken without looking at its characters again.
  bool KnownName(std::string_view Known, std::string_view& Out) {
    const std::size_t Size = Known.size();
    if (Size == 0 || static_cast<std::size_t>(End_ - P_) <= Size ||
        std::memcmp(P_, Known.data(), Size) != 0)
      return false;
    const auto Next = static_cast<unsigned char>(P_[Size]);
    if (Next >= 0x80 || kClasses[Next] & kNameRest) return false;
    Out = std::string_view(P_, Size);
    P_ += Size;
    return true;
  }

  // "=" with optional white space around it, then a quoted value whose
  // characters are checked by the caller's rule.
  bool Equals() {
    if (P_ < End_ && *P_ == '=') {  // as nearly always: no blanks around it
      ++P_;
    } else {
      SkipSpace();
      if (!Take("=")) return Fail("an attribute without \"=\"");
    }
    SkipSpace();
    return true;
  }

  // <?xml version="1.x" encoding="..." standalone="yes|no"?>
  void Declaration() {
    P_ += 5;
    std::string_view Key;
    const auto Pseudo = [&](const char* Wanted, auto&& Valid) {
      const char* const Here = P_;
      if (!SkipSpace() || !Name(Key) || Key != Wanted) {
        P_ = Here;
        return false;
      }
      if (!Equals()) return false;
      if (P_ == End_ || (*P_ != '"' && *P_ != '\'')) return Fail("a malformed XML declaration");
      const char Quote = *P_++;
      const char* const Start = P_;
      while (P_ < End_ && *P_ != Quote) ++P_;
      if (P_ == End_ || !Valid(std::string_view(Start, static_cast<std::size_t>(P_ - Start))))
        return Fail("a malformed XML declaration");
      ++P_;
      return true;
    };
    // Letters, digits and "_.-", as conforming parsers take it (the editions
    // of XML 1.0 before the fifth, less their ":"; an empty one is taken too).
    const auto Version = [](std::string_view V) {
      return std::all_of(V.begin(), V.end(), [](char C) {
        return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') ||
               C == '_' || C == '.' || C == '-';
      });
    };
    const auto EncodingName = [](std::string_view V) {
      const auto Letter = [](char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); };
      if (V.empty() || !Letter(V.front())) return false;
      return std::all_of(V.begin(), V.end(), [&](char C) {
        return Letter(C) || (C >= '0' && C <= '9') || C == '.' || C == '_' || C == '-';
      });
    };
    const auto YesNo = [](std::string_view V) { return V == "yes" || V == "no"; };
    if (!Pseudo("version", Version)) {
      Fail("a malformed XML declaration");
      return;
    }
    if (Ok()) Pseudo("encoding", EncodingName);
    if (Ok()) Pseudo("standalone", YesNo);
    if (!Ok()) return;
    SkipSpace();
    if (!Take("?>")) Fail("a malformed XML declaration");
  }

  // White space, comments and processing instructions around the element.
  void Misc() {
    while (Ok()) {
      SkipSpace();
      if (Take("<!--"))
        Comment();
      else if (Starts("<?"))
        ProcessingInstruction();
      else
        return;
    }
  }

  void Comment() {
    while (P_ < End_) {
      if (Take("--")) {
        if (!Take(">")) Fail("\"--\" inside a comment");
        return;
      }
      if (IsPlainAscii(*P_))
        ++P_;
      else if (static_cast<unsigned char>(*P_) < 0x80)
        Fail("a character XML does not allow");
      else if (!OtherChar())
        return;
    }
    Fail("a comment is not closed");
  }

  void ProcessingInstruction() {
    P_ += 2;
    std::string_view Target;
    if (!Name(Target)) {
      Fail("a malformed processing instruction");
      return;
    }
    const auto Lower = [](char C) { return static_cast<char>(C >= 'A' && C <= 'Z' ? C + 32 : C); };
    if (Target.size() == 3 && Lower(Target[0]) == 'x' && Lower(Target[1]) == 'm' &&
        Lower(Target[2]) == 'l') {
      Fail("an XML declaration that is not at the start");
      return;
    }
    if (Take("?>")) return;
    if (!SkipSpace()) {
      Fail("a malformed processing instruction");
      return;
    }
    CharsUntil("?>", "a processing instruction is not closed");
  }

  // After "&": a predefined entity or a character reference to a character
  // XML allows. No other entity exists: the documents declare none.
  bool Reference() {
    const char* const Ampersand = P_++;
    const auto Refuse = [&](const char* What) {
      P_ = Ampersand;
      return Fail(What);
    };
    if (Take("#")) {
      const bool Hex = Take("x");
      const char* const Start = P_;
      std::uint32_t Code = 0;
      for (; P_ < End_; ++P_) {
        const char C = *P_;
        unsigned Digit = 0;
        if (C >= '0' && C <= '9')
          Digit = static_cast<unsigned>(C - '0');
        else if (Hex && C >= 'a' && C <= 'f')
          Digit = static_cast<unsigned>(C - 'a' + 10);
        else if (Hex && C >= 'A' && C <= 'F')
          Digit = static_cast<unsigned>(C - 'A' + 10);
        else
          break;
        Code = std::min<std::uint32_t>(Code * (Hex ? 16 : 10) + Digit, 0x110000);
      }
      if (P_ == Start || !Take(";")) return Refuse("a malformed character reference");
      return IsXmlChar(Code) || Refuse("a reference to a character XML does not allow");
    }
    std::string_view Entity;
    if (!Name(Entity) || !Take(";")) return Refuse("a \"&\" that begins no reference");
    for (const char* Known : {"lt", "gt", "amp", "apos", "quot"})
      if (Entity == Known) return true;
    return Refuse("a reference to an undeclared entity");
  }

  bool AttributeValue() {
    if (P_ == End_ || (*P_ != '"' && *P_ != '\'')) return Fail("an attribute value without quotes");
    const char Quote = *P_++;
    while (P_ < End_) {
      SkipPlain(kValue);
      if (P_ == End_) break;
      const char C = *P_;
      if (C == Quote) {
        ++P_;
        return true;
      } else if (C == '"' || C == '\'') {
        ++P_;
      } else if (C == '<') {
        return Fail("a \"<\" inside an attribute value");
      } else if (C == '&') {
        if (!Reference()) return false;
      } else if (static_cast<unsigned char>(C) < 0x80) {
        return Fail("a character XML does not allow");
      } else if (!OtherChar()) {
        return false;
      }
    }
    return Fail("an attribute value is not closed");
  }

  // A name's bit in a 64-bit filter, from its length and three of its bytes.
  static std::uint64_t FilterBit(std::string_view Name) {
    const auto Byte = [&](std::size_t I) { return static_cast<std::uint32_t>(Name[I]) & 0xFF; };
    const std::uint32_t Key = static_cast<std::uint32_t>(Name.size()) ^ (Byte(0) << 8) ^
                              (Byte(Name.size() / 2) << 16) ^ (Byte(Name.size() - 1) << 24);
    return std::uint64_t{1} << ((Key * 0x9E3779B1u) >> 26);
  }

  // Names whose filter bit is new cannot have been given before; only the
  // others are compared with the earlier names. Many are sorted instead.
  bool DistinctAttributes() {
    const std::size_t Count = Attributes_.size();
    if (Count > 32) {
      std::sort(Attributes_.begin(), Attributes_.end());
      return std::adjacent_find(Attributes_.begin(), Attributes_.end()) == Attributes_.end() ||
             Fail("an attribute given twice");
    }
    std::uint64_t Seen = 0;
    for (std::size_t I = 0; I < Count; ++I) {
      const std::string_view A = Attributes_[I];
      const std::uint64_t Bit = FilterBit(A);
      if (Seen & Bit) {
        for (std::size_t J = 0; J < I; ++J)
          if (Attributes_[J] == A) return Fail("an attribute given twice");
      }
      Seen |= Bit;
    }
    return true;
  }

  // A start tag at P_; true when it opened an element that needs an end tag
  // (it is then open), false for an empty element or a fault.
  bool StartTag() {
    ++P_;
    std::string_view Element;
    if (!KnownName(LastElement_, Element) && !Name(Element))
      return Fail("a malformed element name");
    LastElement_ = Element;
    Attributes_.clear();
    bool Repeated = true;  // the names so far are those of the last element's attributes
    while (Ok()) {
      const bool Space = SkipSpace();
      if (P_ == End_) return Fail("a start tag is not closed");
      const bool Open = Take(">");
      if (Open || Take("/>")) {
        // The last attributes were distinct; the same names again are too.
        if (!(Repeated && Attributes_.size() == LastAttributes_.size()) && !DistinctAttributes())
          return false;
        if (!Attributes_.empty()) std::swap(Attributes_, LastAttributes_);
        if (Open) Open_.push_back(Element);
        return Open;
      }
      std::string_view Attribute;
      const std::size_t Index = Attributes_.size();
      if (!Space) return Fail("a malformed attribute");
      if (!(Repeated && Index < LastAttributes_.size() &&
            KnownName(LastAttributes_[Index], Attribute))) {
        Repeated = false;
        if (!Name(Attribute)) return Fail("a malformed attribute");
      }
      Attributes_.push_back(Attribute);
      if (!Equals() || !AttributeValue()) return false;
    }
    return false;
  }

  bool EndTag() {
    P_ += 2;
    std::string_view Element;
    if (!KnownName(Open_.back(), Element) && !Name(Element)) return Fail("a malformed end tag");
    SkipSpace();
    if (!Take(">")) return Fail("a malformed end tag");
    if (Element != Open_.back()) return Fail("an end tag that does not match its element");
    Open_.pop_back();
    return true;
  }

  // The content of the document element, up to its end tag.
  void Content() {
    while (Ok() && !Open_.empty()) {
      SkipPlain(kText);
      if (P_ == End_) {
        Fail("an element is not closed");
        return;
      }
      const char C = *P_;
      if (C == '<') {
        if (Starts("</"))
          EndTag();
        else if (Take("<!--"))
          Comment();
        else if (Take("<![CDATA["))
          CharsUntil("]]>", "a CDATA section is not closed");
        else if (Starts("<?"))
          ProcessingInstruction();
        else if (Starts("<!"))
          Fail("a declaration inside the document element");
        else
          StartTag();
      } else if (C == '&') {
        Reference();
      } else if (C == ']') {
        if (Starts("]]>")) Fail("\"]]>\" in text");
        ++P_;
      } else if (static_cast<unsigned char>(C) < 0x80) {
        Fail("a character XML does not allow");
      } else {
        OtherChar();
      }
    }
  }

  const char* const Begin_;
  const char* P_;
  const char* const End_;
  const char* Fault_ = nullptr;
  const char* FaultAt_ = nullptr;
  std::vector<std::string_view> Open_;
  std::vector<std::string_view> Attributes_;
  // The names of the last start tag and of the last attributes (of the last
  // start tag that had any); all were checked.
  std::string_view LastElement_;
  std::vector<std::string_view> LastAttributes_;
};

}  // namespace

XmlCheck CheckWellFormedXml(std::string_view Utf8) { return Checker(Utf8).Run(); }

}  // namespace driver
