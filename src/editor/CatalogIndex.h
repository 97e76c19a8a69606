#pragma once
// The catalogue's index: which information page belongs to a model, a palette or
// a template ("Catalog.txt" in the program folder: kind; name; page).
#include <filesystem>
#include <functional>
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
// template's path or a layer's source file). Empty when none matches, and for an
// empty name, which would otherwise match every entry.
std::string FindCatalogPage(char kind, std::string_view name);

class IPageView;

// The catalogue's contents page, shown when a page is missing.
inline constexpr std::string_view kCatalogIndexPage = "Index.htm";

// Shows catalogue page `page` (relative to `folder`; ".htm" added when it has no
// extension; letter case not significant) in `view`. A page shown already is not
// reloaded; a missing page or one that does not load shows the contents page
// instead; when that fails too the view keeps what it showed.
void ShowCatalogPageIn(IPageView& view, const fs::path& folder, std::string_view page);

// The catalogue window, installed by its layer: shows a page, creating the
// window on first use. Nothing for an empty page or without a window.
void SetCatalogPresenter(std::function<void(const std::string& page)> show);
void ShowCatalogPage(const std::string& page);
// The page a caller offers ("Show catalog info", an info icon): FindCatalogPage's,
// but empty while no catalogue window can show it.
std::string OfferedCatalogPage(char kind, std::string_view name);
