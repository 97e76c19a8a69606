#pragma once
// The catalogue's index: which information page belongs to a model, a palette or
// a template ("Catalog.txt" in the program folder: kind; name; page).
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

struct TCatalogInfo {
  char Kind = 'T';   // 'M' model, 'P' palette, 'T' template
  std::string Name;  // upper case
  std::string Page;  // upper case, relative to CatalogDir; ".htm" when written without extension
};

extern std::vector<TCatalogInfo> CatalogIndex;

// Rebuilds CatalogIndex from ExePath + "Catalog.txt"; an empty index when the file
// is missing or unreadable.
void LoadCatalogIndex();
void LoadCatalogIndex(const fs::path& file);

// The page of the first entry of that kind matching `name`: models and palettes by
// equal names, templates when either name contains the other (the callers pass a
// template's path or a layer's source file). Empty when none matches.
std::string FindCatalogPage(char kind, std::string_view name);
