#include "platform/charset.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <mutex>
#include <string>

#include "base/ascii.h"
#include "base/utf.h"
#include "platform/single_byte.h"

namespace platform {
namespace {

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
        base::SameAsciiNameIgnoringCase(Trim(Parameter.substr(0, Equals)), "charset")) {
      std::string_view Value = Trim(Parameter.substr(Equals + 1));
      if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"')
        Value = Value.substr(1, Value.size() - 2);
      return Value;
    }
    Start = End < ContentType.size() ? End : std::string_view::npos;
  }
  return {};
}

// 8-bit charsets, decoded through the system's converters.
struct SingleByteCharset {
  const char* Iconv;
  unsigned CodePage;
};
constexpr SingleByteCharset kSingleByte[] = {
    {"CP1250", 1250},        {"CP1251", 1251},       {"CP1252", 1252},       {"CP1253", 1253},
    {"CP1254", 1254},        {"CP1255", 1255},       {"CP1256", 1256},       {"CP1257", 1257},
    {"CP1258", 1258},        {"KOI8-R", 20866},      {"KOI8-U", 21866},      {"IBM866", 866},
    {"MAC-CYRILLIC", 10007}, {"ISO-8859-1", 28591},  {"ISO-8859-2", 28592},  {"ISO-8859-3", 28593},
    {"ISO-8859-4", 28594},   {"ISO-8859-5", 28595},  {"ISO-8859-6", 28596},  {"ISO-8859-7", 28597},
    {"ISO-8859-8", 28598},   {"ISO-8859-9", 28599},  {"ISO-8859-10", 28600}, {"ISO-8859-11", 874},
    {"ISO-8859-13", 28603},  {"ISO-8859-14", 28604}, {"ISO-8859-15", 28605}, {"ISO-8859-16", 28606},
};
constexpr int kFirstWindows = 0, kKoi8r = 9, kKoi8u = 10, kIbm866 = 11, kMacCyrillic = 12,
              kFirstIso = 13;
constexpr int kSingleByteCount = sizeof kSingleByte / sizeof kSingleByte[0];

// The table of a charset, made once per process on first use (several
// driver objects may ask at once); null when the system cannot convert it.
const SingleByteTable* TableOf(int Index) {
  static std::once_flag Made[kSingleByteCount];
  static SingleByteTable Tables[kSingleByteCount];
  static bool Usable[kSingleByteCount];
  std::call_once(Made[Index], [Index] {
    Usable[Index] =
        MakeSingleByteTable(kSingleByte[Index].Iconv, kSingleByte[Index].CodePage, Tables[Index]);
  });
  return Usable[Index] ? &Tables[Index] : nullptr;
}

enum class Family { Utf8, Utf16, Utf16Le, Utf16Be, SingleByte };

struct Charset {
  Family Kind = Family::Utf8;
  int Index = 0;  // into kSingleByte
};

// "1".."16" (no 12) after an ISO-8859 prefix: the index of that charset.
int IsoIndex(std::string_view Number) {
  if (Number.empty() || Number.size() > 2 || Number[0] == '0') return -1;
  int N = 0;
  for (const char C : Number) {
    if (C < '0' || C > '9') return -1;
    N = N * 10 + (C - '0');
  }
  if (N < 1 || N > 16 || N == 12) return -1;
  return kFirstIso + N - 1 - (N > 12 ? 1 : 0);
}

Charset CharsetNamed(std::string_view Label) {
  std::string Name(Label);
  for (char& C : Name) C = base::AsciiLower(C);
  const auto Is = [&Name](std::initializer_list<std::string_view> Names) {
    return std::find(Names.begin(), Names.end(), Name) != Names.end();
  };
  const auto Single = [](int Index) { return Charset{Family::SingleByte, Index}; };
  if (Is({"utf-16", "utf16", "ucs-2", "unicode", "csunicode", "iso-10646-ucs-2"}))
    return {Family::Utf16};
  if (Is({"utf-16le", "utf16le"})) return {Family::Utf16Le};
  if (Is({"utf-16be", "utf16be"})) return {Family::Utf16Be};
  for (const std::string_view Prefix : {"windows-125", "cp125", "x-cp125"})
    if (Name.size() == Prefix.size() + 1 && Name.compare(0, Prefix.size(), Prefix) == 0 &&
        Name.back() >= '0' && Name.back() <= '8')
      return Single(kFirstWindows + (Name.back() - '0'));
  for (const std::string_view Prefix : {"iso-8859-", "iso8859-", "iso_8859-", "iso8859"})
    if (Name.compare(0, Prefix.size(), Prefix) == 0)
      if (const int Index = IsoIndex(std::string_view(Name).substr(Prefix.size())); Index >= 0)
        return Single(Index);
  if (Is({"koi8-r", "koi8r", "koi", "koi8", "cskoi8r"})) return Single(kKoi8r);
  if (Is({"koi8-u", "koi8u", "koi8-ru"})) return Single(kKoi8u);
  if (Is({"ibm866", "cp866", "866", "csibm866"})) return Single(kIbm866);
  if (Is({"x-mac-cyrillic", "mac-cyrillic", "maccyrillic", "x-mac-ukrainian"}))
    return Single(kMacCyrillic);
  if (Is({"us-ascii", "ascii", "latin1", "l1", "iso-ir-100", "cp819", "ibm819"}))
    return Single(kFirstIso);
  if (Is({"latin2", "l2"})) return Single(kFirstIso + 1);
  if (Is({"cyrillic", "iso-ir-144"})) return Single(kFirstIso + 4);
  if (Is({"latin9", "l9"})) return Single(kFirstIso + 13);
  return {};
}

// A leading byte-order mark decides the charset whatever the label says, and
// is not part of the text (as browsers read bodies).
Charset WithByteOrderMark(std::string_view& Body, Charset Named) {
  const auto Starts = [&Body](std::string_view Mark) {
    return Body.substr(0, Mark.size()) == Mark;
  };
  if (Starts("\xEF\xBB\xBF")) {
    Body.remove_prefix(3);
    return {Family::Utf8};
  }
  if (Starts("\xFF\xFE")) {
    Body.remove_prefix(2);
    return {Family::Utf16Le};
  }
  if (Starts("\xFE\xFF")) {
    Body.remove_prefix(2);
    return {Family::Utf16Be};
  }
  // UTF-16 without a mark: a JSON text begins with an ASCII character, so a
  // zero byte first means big-endian; little-endian otherwise.
  if (Named.Kind == Family::Utf16)
    return {Body.size() >= 2 && Body[0] == '\0' && Body[1] != '\0' ? Family::Utf16Be
                                                                   : Family::Utf16Le};
  return Named;
}

// UTF-16 units from bytes; an odd byte at the end is U+FFFD. Lone surrogates
// stay: the conversion to UTF-8 replaces them.
std::u16string Utf16Units(std::string_view Body, bool BigEndian) {
  std::u16string Units;
  Units.reserve(Body.size() / 2 + 1);
  for (std::size_t I = 0; I + 1 < Body.size(); I += 2) {
    const auto A = static_cast<unsigned char>(Body[I]);
    const auto B = static_cast<unsigned char>(Body[I + 1]);
    Units.push_back(static_cast<char16_t>(BigEndian ? (A << 8) | B : (B << 8) | A));
  }
  if (Body.size() % 2) Units.push_back(u'\uFFFD');
  return Units;
}

std::u16string FromTable(std::string_view Body, const SingleByteTable& Table) {
  std::u16string Out;
  Out.reserve(Body.size());
  for (const char C : Body) Out.push_back(Table[static_cast<unsigned char>(C)]);
  return Out;
}

bool IsAscii(std::string_view Text) {
  unsigned char Any = 0;
  for (const char C : Text) Any |= static_cast<unsigned char>(C);
  return Any < 0x80;
}

// The body as UTF-8, by the charset it is in.
std::string ToUtf8(std::string_view Body, Charset C) {
  switch (C.Kind) {
    case Family::Utf16Le: return base::Utf16ToUtf8(Utf16Units(Body, false));
    case Family::Utf16Be: return base::Utf16ToUtf8(Utf16Units(Body, true));
    case Family::SingleByte:
      if (IsAscii(Body)) return std::string(Body);
      if (const SingleByteTable* Table = TableOf(C.Index))
        return base::Utf16ToUtf8(FromTable(Body, *Table));
      break;  // no converter on this system: read as UTF-8
    case Family::Utf8:
    case Family::Utf16: break;
  }
  return IsAscii(Body) ? std::string(Body) : base::WellFormedUtf8(Body);
}

}  // namespace

std::u16string DecodeBody(std::string_view Body, std::string_view ContentType) {
  return base::Utf8ToUtf16(DecodeBodyUtf8(Body, ContentType));
}

std::string DecodeBodyUtf8(std::string_view Body, std::string_view ContentType) {
  const Charset C = WithByteOrderMark(Body, CharsetNamed(CharsetOf(ContentType)));
  return ToUtf8(Body, C);
}

}  // namespace platform
