#pragma once
// File-dialog filters: the program keeps them in the Windows form
// ("caption|*.a;*.b|caption|*.c"); Qt's dialogs want one "caption (*.a *.b)" per
// entry. Every file dialog goes through QtNameFilters.
#include <string>
#include <string_view>
#include <vector>

// One entry of a file dialog's filter: its caption and its name patterns.
struct TFileFilter {
  std::string Caption;
  std::vector<std::string> Patterns;  // "*.jpg"
  bool operator==(const TFileFilter&) const = default;
};

// The entries of a Windows filter string, in order; a trailing caption without its
// pattern field is dropped.
std::vector<TFileFilter> ParseWindowsFilter(std::string_view filter);

// Qt's name filters, one per entry with at least one usable pattern. The caption's
// own "(*.jpg, *.jpeg)" is replaced by the blank-separated list Qt reads; "*.*"
// becomes "*" (names without a dot are files too); each pattern is joined by its
// upper-case form, since Linux names are case-sensitive and cameras write ".JPG".
std::vector<std::string> QtNameFilters(const std::vector<TFileFilter>& filters);
std::vector<std::string> QtNameFilters(std::string_view windowsFilter);

// The extension a name typed without one takes under a Qt name filter: that of its
// first "*.ext" pattern, lower-cased ("Bitmaps (*.bmp *.BMP)" gives "bmp"; "" when
// the filter names none, as "All files (*)").
std::string FilterDefaultSuffix(std::string_view qtFilter);
