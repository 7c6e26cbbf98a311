#pragma once
// The chat word filter behind BadFilterDLL.
//
// Word file "filter.bcd"
// ----------------------
// A UTF-8 text file, one entry a line:
//   - the first line is the signature "TOVRIK-BADFILTER 1" (format version 1);
//     a file without it is refused, so that a stray or truncated file is
//     never taken for an empty list;
//   - a line starting with "#" is a comment, a blank line is ignored;
//   - every other line is one offensive word or phrase; blanks around it are
//     dropped, blanks inside it belong to it.
// Latin letters in a word match either case. Words are held in code page
// 949, the encoding of every chat text the client filters; a word that has
// no form in that code page is reported and passed over.
//
// Matching works on CP949 characters, never on bytes: a word matches only
// where a character starts, so the second byte of a two-byte syllable never
// begins a match, and letter case is folded only for one-byte characters.
// Every byte of every occurrence (overlapping ones included) is replaced,
// so a two-byte syllable becomes two replacement characters.

#include <string>
#include <string_view>
#include <vector>

namespace tovrik::badfilter {

class BadWordFilter {
 public:
  // Reads a word file; false (with the reason on stderr) when it cannot be
  // read or is not a word file. The words read before stay in force then.
  bool LoadFile(const std::string& path);
  // Parses the text of a word file.
  bool LoadText(std::string_view text, std::string& error);

  // 0 turns the filter off, anything else on (the default).
  int SetLevel(int level);

  // True when the text holds a word of the list.
  bool IsBad(std::string_view text) const;

  // Copies the text into out (at most outSize - 1 bytes and a terminator,
  // never splitting a two-byte character) with every occurrence of a word
  // replaced byte for byte by `replacement`. True when something was
  // replaced. Nothing is written when outSize is 0.
  bool Replace(std::string_view text, char* out, size_t outSize, char replacement) const;

  size_t wordCount() const { return words_.size(); }

 private:
  // Byte ranges [begin, end) of every occurrence.
  std::vector<std::pair<size_t, size_t>> FindAll(std::string_view text) const;
  size_t MatchAt(std::string_view text, size_t at) const;

  std::vector<std::string> words_;  // CP949, Latin letters lower case, longest first
  int level_ = 1;
};

// True for a byte that starts a two-byte CP949 character followed by a valid
// second byte.
bool StartsDoubleByte(std::string_view text, size_t at);

}  // namespace tovrik::badfilter
