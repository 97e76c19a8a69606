#include "editor/CatalogIndex.h"

#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/HelpPages.h"

namespace {

// Far above any real index; a larger file is not an index.
constexpr std::size_t kMaxIndexBytes = 16u << 20;

struct TPresenter {
  std::function<void(const std::string&)> Show;
  const TCatalogIndex* Index = nullptr;
};

// The installed catalogue window: the process's port to it (SetCatalogPresenter).
TPresenter& Presenter() {
  static TPresenter presenter;
  return presenter;
}

// Entries write folders with a backslash, paths on this system with "/".
std::string Slashed(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

char UpperKind(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

void TCatalogIndex::Load(const fs::path& file) {
  entries_.clear();
  const auto bytes = ReadFileBytes(file, kMaxIndexBytes);
  if (!bytes) return;
  for (const TextRecord& record : TextRecords(DecodeText(*bytes))) {
    const std::string kind = Field(record.text, 1);
    if (kind.empty()) continue;
    const char k = UpperKind(kind.front());
    if (k != 'M' && k != 'P' && k != 'T') continue;
    std::string page = UpperAscii(Field(record.text, 3));
    if (!page.empty() && ExtractFileExt(page).empty()) page += ".htm";
    entries_.push_back({k, UpperAscii(Field(record.text, 2)), std::move(page)});
  }
}

std::string TCatalogIndex::FindPage(char kind, std::string_view name) const {
  if (Trim(name).empty()) return {};
  const char k = UpperKind(kind);
  for (const TCatalogInfo& entry : entries_) {
    if (entry.Kind != k) continue;
    const bool matches = k == 'T' ? ContainsNoCase(Slashed(name), Slashed(entry.Name)) ||
                                        ContainsNoCase(Slashed(entry.Name), Slashed(name))
                                  : EqualsNoCase(entry.Name, name);
    if (matches) return entry.Page;
  }
  return {};
}

void ShowCatalogPageIn(IPageView& view, const fs::path& folder, std::string_view page) {
  std::string name(Trim(page));
  if (name.empty()) return;
  if (ExtractFileExt(name).empty()) name += ".htm";
  if (!ShowPageFile(view, PageInFolder(folder, name))) ShowPageFile(view, PageInFolder(folder, kCatalogIndexPage));
}

void SetCatalogPresenter(std::function<void(const std::string& page)> show, const TCatalogIndex* index) {
  Presenter() = {std::move(show), index};
}

void ShowCatalogPage(const std::string& page) {
  if (!page.empty() && Presenter().Show) Presenter().Show(page);
}

std::string OfferedCatalogPage(char kind, std::string_view name) {
  const TPresenter& presenter = Presenter();
  return presenter.Show && presenter.Index ? presenter.Index->FindPage(kind, name) : std::string();
}
