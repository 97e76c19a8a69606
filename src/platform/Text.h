#pragma once
// String helpers with the program's semantics: ASCII-only case mapping, trimming of
// every character up to blank, ";" fields, and substring tests where an empty
// needle matches nothing.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Removes leading and trailing characters with codes 0..32.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// True when `needle` occurs in `text`; an empty needle matches nothing.
bool Contains(std::string_view text, std::string_view needle);
bool ContainsNoCase(std::string_view text, std::string_view needle);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// `text` without the first occurrence of `needle`, compared ignoring ASCII case
// (unchanged when it does not occur or is empty).
std::string RemoveFirstNoCase(std::string_view text, std::string_view needle);

// Splits at every `delimiter`; "a;;b" gives {"a", "", "b"}, "" gives {""}. Not trimmed.
std::vector<std::string> SplitFields(std::string_view text, char delimiter = ';');
// Field `index` (1-based) of `text` cut at `delimiter`, trimmed; "" when absent.
std::string Field(std::string_view text, int index, char delimiter = ';');
// Joins with `delimiter` between the parts.
std::string JoinFields(const std::vector<std::string>& parts, char delimiter = ';');

// Integer conversion of trimmed text: optional sign, decimal digits, or hexadecimal
// after "$" or "0x". Empty text, other characters or overflow give nullopt.
std::optional<int> ParseInt(std::string_view text);
std::optional<std::int64_t> ParseInt64(std::string_view text);
int ParseIntDef(std::string_view text, int fallback);
