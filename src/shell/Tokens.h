#pragma once
// The shared tokenizer of the program's statement files (interface info,
// questionnaires): blanks and the punctuation , = ' : ; [ ] { } ( ) < > / and
// backslash separate tokens, and a token in single quotes keeps them.
#include <string>
#include <string_view>

struct TToken {
  int Start = 0;    // 1-based position of the first character (the quote included)
  int Finish = 0;   // 1-based position of the last character (the quote included); 0 when none
  std::string Text; // without the quotes; empty when the line holds no token
};

bool IsTokenDelimiter(char c);
// The first token of `line` after its leading delimiters. A quoted token runs to
// the next quote, or to the end of the line when the quote is never closed.
TToken GetToken(std::string_view line);
// Deletes characters 1 to `finish` of `line` and trims the rest.
void DeleteToken(std::string& line, int finish);
