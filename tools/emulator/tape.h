// The register's printer: lines of at most 48 characters on a paper roll.
// Texts longer than a line wrap at a blank when there is one, otherwise at
// the 48th character; a line feed in a text starts a new line; other control
// characters print as blanks. Lines are kept without trailing blanks.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kelvo_emulator {

class Paper {
 public:
  static constexpr std::size_t kWidth = 48;

  void Left(const std::string& Text);
  void Center(const std::string& Text);
  void Right(const std::string& Text);
  // A text at the left and a value at the right of one line; when both do
  // not fit on one line, the text comes first and the value right-aligned
  // on the line after it.
  void Pair(const std::string& Text, const std::string& Value);
  void Rule();  // a horizontal rule across the line
  void Feed(int Lines);

  const std::vector<std::string>& Lines() const { return Lines_; }

 private:
  enum class Align { Left, Center, Right };
  void Put(const std::string& Text, Align How);
  std::vector<std::string> Lines_;
};

// Breaks a text into the lines it takes at the given width.
std::vector<std::string> Wrap(const std::string& Text, std::size_t Width);

// The tape as an HTML page showing a paper roll; Caption is a line above it.
std::string TapeHtml(const std::vector<std::string>& Lines, const std::string& Caption);

}  // namespace kelvo_emulator
