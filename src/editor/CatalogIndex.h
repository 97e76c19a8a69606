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

// The index of a run, owned by the run and read when the catalogue window is
// installed (RegisterFormCatalog).
class TCatalogIndex {
 public:
  // Rebuilds the index from `file`; an empty index when the file is missing or
  // unreadable.
  void Load(const fs::path& file);
  const std::vector<TCatalogInfo>& Entries() const { return entries_; }

  // The page of the first entry of that kind matching `name`: models and palettes
  // by equal names, templates when either name contains the other (the callers
  // pass a template's path or a layer's source file). Empty when none matches, and
  // for an empty name, which would otherwise match every entry.
  std::string FindPage(char kind, std::string_view name) const;

 private:
  std::vector<TCatalogInfo> entries_;
};

class IPageView;

// The catalogue's contents page, shown when a page is missing.
inline constexpr std::string_view kCatalogIndexPage = "Index.htm";

// Shows catalogue page `page` (relative to `folder`; ".htm" added when it has no
// extension; letter case not significant) in `view`. A page shown already is not
// reloaded; a missing page or one that does not load shows the contents page
// instead; when that fails too the view keeps what it showed.
void ShowCatalogPageIn(IPageView& view, const fs::path& folder, std::string_view page);

// The catalogue window, installed by its layer with the index it offers pages
// from (which outlives the installation): shows a page, creating the window on
// first use. Nothing for an empty page or without a window. The installation is
// the process's one port to that window: the main window, the desk's layers, the
// browser and the ready solutions reach it through the calls below.
void SetCatalogPresenter(std::function<void(const std::string& page)> show, const TCatalogIndex* index = nullptr);
void ShowCatalogPage(const std::string& page);
// The page a caller offers ("Show catalog info", an info icon): the installed
// index's, but empty while no catalogue window can show it.
std::string OfferedCatalogPage(char kind, std::string_view name);
