#include "tools/emulator/tape.h"

#include "tools/emulator/text.h"

namespace kelvo_emulator {

namespace {

std::string TrimRight(std::string Text) {
  while (!Text.empty() && Text.back() == ' ') Text.pop_back();
  return Text;
}

std::string TrimLeft(const std::string& Text) {
  const std::size_t First = Text.find_first_not_of(' ');
  return First == std::string::npos ? std::string() : Text.substr(First);
}

// Control characters other than the line feed print as blanks.
std::string Printable(const std::string& Text) {
  std::string Out = Text;
  for (char& C : Out) {
    const auto Byte = static_cast<unsigned char>(C);
    if ((Byte < 0x20 && C != '\n') || Byte == 0x7F) C = ' ';
  }
  return Out;
}

void WrapParagraph(std::string Rest, std::size_t Width, std::vector<std::string>& Out) {
  Rest = TrimRight(Rest);
  while (Columns(Rest) > Width) {
    const std::string Head = TakeColumns(Rest, Width + 1);
    const std::size_t Blank = Head.find_last_of(' ');
    if (Blank != std::string::npos && Head.find_first_not_of(' ') < Blank) {
      Out.push_back(TrimRight(Rest.substr(0, Blank)));
      Rest = TrimLeft(Rest.substr(Blank + 1));
    } else {
      Out.push_back(TakeColumns(Rest, Width));
      Rest = DropColumns(Rest, Width);
    }
  }
  if (!Rest.empty() || Out.empty()) Out.push_back(Rest);
}

}  // namespace

std::vector<std::string> Wrap(const std::string& Text, std::size_t Width) {
  std::vector<std::string> Lines;
  const std::string Clean = Printable(Text);
  std::size_t Start = 0;
  for (;;) {
    const std::size_t End = Clean.find('\n', Start);
    std::vector<std::string> Paragraph;
    WrapParagraph(Clean.substr(Start, End == std::string::npos ? End : End - Start), Width,
                  Paragraph);
    Lines.insert(Lines.end(), Paragraph.begin(), Paragraph.end());
    if (End == std::string::npos) break;
    Start = End + 1;
  }
  return Lines;
}

void Paper::Put(const std::string& Text, Align How) {
  for (const std::string& Line : Wrap(Text, kWidth)) {
    const std::size_t Free = kWidth - Columns(Line);
    std::size_t Pad = 0;
    if (How == Align::Center) Pad = Free / 2;
    if (How == Align::Right) Pad = Free;
    Lines_.push_back(Line.empty() ? Line : std::string(Pad, ' ') + Line);
  }
}

void Paper::Left(const std::string& Text) { Put(Text, Align::Left); }
void Paper::Center(const std::string& Text) { Put(TrimLeft(Text), Align::Center); }
void Paper::Right(const std::string& Text) { Put(Text, Align::Right); }

void Paper::Pair(const std::string& Text, const std::string& Value) {
  const std::string Left = TrimRight(Printable(Text));
  const std::string Right = TrimLeft(Printable(Value));
  const std::size_t Used = Columns(Left) + Columns(Right);
  if (Left.find('\n') == std::string::npos && Right.find('\n') == std::string::npos &&
      Used + 1 <= kWidth) {
    Lines_.push_back(TrimRight(Left + std::string(kWidth - Used, ' ') + Right));
    return;
  }
  Put(Left, Align::Left);
  Put(Right, Align::Right);
}

void Paper::Rule() { Lines_.push_back(std::string(kWidth, '-')); }

void Paper::Feed(int Lines) {
  for (int I = 0; I < Lines; ++I) Lines_.emplace_back();
}

std::string TapeHtml(const std::vector<std::string>& Lines, const std::string& Caption) {
  std::string Page =
      "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>KELVO-1F: лента</title>\n<style>\n"
      "body{margin:0;padding:24px 0;background:#cfd3d6;font-family:sans-serif}\n"
      ".caption{width:52ch;margin:0 auto 12px;color:#444;font-size:13px}\n"
      ".roll{width:48ch;margin:0 auto;padding:18px 2ch;background:#fffef7;color:#222;"
      "box-shadow:0 2px 10px rgba(0,0,0,.35);white-space:pre;"
      "font:14px/1.35 \"DejaVu Sans Mono\",\"Liberation Mono\",monospace}\n"
      ".empty{color:#999;font-style:italic}\n"
      "</style>\n</head>\n<body>\n<div class=\"caption\">";
  Page += HtmlEscape(Caption);
  Page += "</div>\n<div class=\"roll\">";
  if (Lines.empty()) Page += "<span class=\"empty\">(лента пуста)</span>";
  for (const std::string& Line : Lines) Page += HtmlEscape(Line) + "\n";
  Page += "</div>\n</body>\n</html>\n";
  return Page;
}

}  // namespace kelvo_emulator
